// Fitting real data: the noise of a log estimated and not followed, never more points than
// rows, and no step longer than a table holds.
#include <DenseTableFit.h>
#include <PreviewReference.h>
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

// A slow swing logged on the grid: whole-IU positions every `step` time IU. Its rounding makes
// the rows' preview wiggle by about half an IU, which a tolerance of 1 IU barely allows.
Rows SwingOnTheGrid(int rows, double step, double amplitude, double period) {
    Rows swing;
    for (int i = 0; i < rows; ++i) {
        const double t = step * i;
        swing.times.push_back(t);
        swing.positions.push_back(std::round(amplitude * std::sin(t / period)));
    }
    return swing;
}

// The largest |table − rows' preview|, sampled every quarter IU.
double SampledDeviation(const GridPlacement& placement, const Rows& rows) {
    TrajectoryPreview table, dense;
    std::string error;
    EXPECT_TRUE(table.Build(placement.times, placement.positions, error)) << error;
    EXPECT_TRUE(dense.Build(rows.times, rows.positions, error)) << error;
    double largest = 0;
    for (double t = 0; t <= rows.times.back(); t += 0.25) {
        largest = std::max(largest, std::abs(table.PositionAt(t) - dense.PositionAt(t)));
    }
    return largest;
}

TEST(DenseTableFit, ThinsAGridLogWhoseRoundingBarelyAllowsTheTolerance) {
    // 20000 rows a hundred IU apart: the greedy's own judgement misses a few steps that the
    // table, once measured, holds; such a table was once widened away and the rows kept whole.
    const Rows rows = SwingOnTheGrid(20000, 100, 1e6, 5e7);
    const DenseTableFit fit = FitDenseTable(rows.times, rows.positions, {}, false);
    EXPECT_FALSE(fit.keptInput);
    EXPECT_TRUE(fit.placement.HoldsEveryBound());
    EXPECT_LT(fit.placement.times.size() * 20, rows.times.size());
    const double sampled = SampledDeviation(fit.placement, rows);
    EXPECT_LE(sampled, fit.placement.largestDeviation + 1e-9);
    EXPECT_GE(sampled, fit.placement.largestDeviation - 0.01);
    EXPECT_LE(sampled, 1);
}

TEST(DenseTableFit, KeepsGridRowsThatNoTableWithFewerPointsHoldsAsTheFullSearchDoes) {
    // Past the swing's turn the rows' rounding leaves no step that holds: the search on rows
    // on the grid stops there; the full search, widening its bounds, finds nothing within
    // them either. The kept rows are measured on their own preview as a second one measures
    // them.
    for (const double amplitude : {1e6, 3e5}) {
        const Rows rows = SwingOnTheGrid(4000, 100, amplitude, 1e5);
        const DenseTableFit fit = FitDenseTable(rows.times, rows.positions, {}, false);

        TrajectoryPreview dense;
        std::string error;
        ASSERT_TRUE(dense.Build(rows.times, rows.positions, error)) << error;
        const PreviewReference reference(dense);
        GridPlacementOptions options;
        options.referencePeakAcceleration = reference.PeakAcceleration();
        const GridPlacement full = PlaceOnGrid(reference, options);
        options.stopAtFirstMiss = true;
        const GridPlacement stopping = PlaceOnGrid(reference, options);
        if (stopping.stopped) {
            EXPECT_FALSE(full.HoldsEveryBound() && full.times.size() < rows.times.size())
                << amplitude;
            EXPECT_TRUE(fit.keptInput) << amplitude;
        } else {
            EXPECT_EQ(stopping.times, full.times) << amplitude;
        }
        if (!fit.keptInput) continue;
        EXPECT_EQ(fit.placement.times, rows.times);
        EXPECT_EQ(fit.placement.positions, rows.positions);
        GridPlacement measured;
        measured.times = rows.times;
        measured.positions = rows.positions;
        measured.referencePeakAcceleration = fit.placement.referencePeakAcceleration;
        measured.jumpBound = fit.placement.jumpBound;
        MeasurePlacement(reference, options, measured);
        EXPECT_NEAR(fit.placement.largestDeviation, measured.largestDeviation, 1e-12);
        EXPECT_NEAR(fit.placement.robustDeviation, measured.robustDeviation, 1e-9);
        EXPECT_EQ(fit.placement.peakAcceleration, measured.peakAcceleration);
        EXPECT_EQ(fit.placement.robustPeakAcceleration, measured.robustPeakAcceleration);
        EXPECT_EQ(fit.placement.largestJump, measured.largestJump);
        EXPECT_EQ(fit.placement.shortestToNeighbour, measured.shortestToNeighbour);
        EXPECT_EQ(fit.placement.HoldsEveryBound(), measured.HoldsEveryBound());
    }
}

}  // namespace
