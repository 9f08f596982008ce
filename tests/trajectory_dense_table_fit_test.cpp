// Fitting real data: the noise of a log estimated and not followed, never more points than
// rows, and no step longer than a table holds.
#include <DenseTableFit.h>
#include <StepRules.h>
#include <TrajectoryPreview.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

struct Rows {
    std::vector<double> times, positions;
};

// A cycloidal move of `distance` IU in `duration` time IU, a row every `step` time IU, with
// uniform noise of ±`noise` IU on every row but the first.
Rows CycloidLog(double distance, double duration, double step, double noise, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> scatter(-noise, noise);
    Rows rows;
    for (int k = 0;; ++k) {
        const double t = std::min(k * step, duration);
        const double u = t / duration;
        rows.times.push_back(t);
        rows.positions.push_back(distance * (u - std::sin(kTwoPi * u) / kTwoPi) +
                                 (k == 0 ? 0 : scatter(random)));
        if (t == duration) break;
    }
    return rows;
}

TEST(DenseTableFit, EstimatesTheNoiseOfALogAndNotTheShapeOfItsMove) {
    // Uniform noise of ±a has a standard deviation of a/√3.
    for (const double noise : {0.0, 0.5, 2.0, 8.0}) {
        const Rows rows = CycloidLog(20000, 2500, 1.25, noise, 7);
        const double estimate = EstimateNoise(rows.times, rows.positions);
        EXPECT_NEAR(estimate, noise / std::sqrt(3.0), 0.15 * noise / std::sqrt(3.0) + 0.01)
            << noise;
    }
}

TEST(DenseTableFit, ThinsANoisyMillisecondLogTenfoldWithinTheToleranceItsNoiseAllows) {
    // 2 s at a row a millisecond (1.25 time IU), ±2 IU of noise.
    const Rows rows = CycloidLog(20000, 2500, 1.25, 2, 11);
    const DenseTableFit fit = FitDenseTable(rows.times, rows.positions, {}, false);
    EXPECT_TRUE(fit.toleranceRaised);
    EXPECT_GT(fit.tolerance, 2);
    EXPECT_FALSE(fit.keptInput);
    EXPECT_LE(fit.placement.times.size() * 10, rows.times.size());
    EXPECT_TRUE(fit.placement.withinTolerance);
    // The table against the rows themselves, sampled: no farther than the tolerance.
    TrajectoryPreview table;
    std::string error;
    ASSERT_TRUE(table.Build(fit.placement.times, fit.placement.positions, error)) << error;
    double farthest = 0;
    for (size_t i = 0; i < rows.times.size(); ++i) {
        farthest =
            std::max(farthest, std::abs(table.PositionAt(rows.times[i]) - rows.positions[i]));
    }
    EXPECT_LE(farthest, fit.tolerance + 1e-9);

    // Given explicitly, the asked tolerance wins, and is said to be below the noise.
    GridPlacementOptions options;
    options.tolerance = 1;
    const DenseTableFit insisted = FitDenseTable(rows.times, rows.positions, options, true);
    EXPECT_TRUE(insisted.toleranceBelowNoise);
    EXPECT_FALSE(insisted.toleranceRaised);
    EXPECT_EQ(insisted.tolerance, 1);
    EXPECT_LE(insisted.placement.times.size(), rows.times.size());
}

TEST(DenseTableFit, NeverPlacesMoreRowsThanItTakesAndKeepsEveryStepWithinTheTable) {
    // Few rows far apart on the grid: no placement does better than the rows themselves.
    const Rows sparse = {{0, 40, 80, 120, 160}, {0, 5, 100, 300, 310}};
    const DenseTableFit kept = FitDenseTable(sparse.times, sparse.positions, {}, false);
    EXPECT_TRUE(kept.keptInput);
    EXPECT_EQ(kept.placement.times, sparse.times);
    EXPECT_EQ(kept.placement.positions, sparse.positions);
    EXPECT_LT(kept.placement.largestDeviation, 1e-9);

    // A row a minute (75000 time IU): the rows cannot be kept, every step is cut to the table's.
    const Rows minutes = {{0, 75000, 150000, 225000}, {0, 1000, 3000, 3500}};
    const DenseTableFit cut = FitDenseTable(minutes.times, minutes.positions, {}, false);
    EXPECT_FALSE(cut.keptInput);
    ASSERT_GE(cut.placement.times.size(), 2u);
    for (size_t i = 1; i < cut.placement.times.size(); ++i) {
        EXPECT_LE(cut.placement.times[i] - cut.placement.times[i - 1], kMaxTimeStepIU) << i;
    }
    EXPECT_EQ(cut.placement.times.back(), 225000);
    EXPECT_EQ(cut.inputStepTooLong, cut.placement.times.size() >= minutes.times.size());
}

}  // namespace
