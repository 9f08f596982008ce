#include <GridPlacement.h>
#include <MotionFigures.h>
#include <MotionProfile.h>
#include <StepRules.h>
#include <TrajectoryPreview.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace {

// A rest-to-rest law on u in [0, 1] in closed form: f, f' and f''.
struct Law {
    std::function<double(double)> f, df, ddf;
    double ca;  // the peak of |f''|
};

const double kTwoPi = 2 * std::numbers::pi;

Law Cycloid() {
    return {[](double u) { return u - std::sin(kTwoPi * u) / kTwoPi; },
            [](double u) { return 1 - std::cos(kTwoPi * u); },
            [](double u) { return kTwoPi * std::sin(kTwoPi * u); }, kTwoPi};
}

Law Cubic() {
    return {[](double u) { return u * u * (3 - 2 * u); }, [](double u) { return 6 * u * (1 - u); },
            [](double u) { return 6 - 12 * u; }, 6};
}

Law Poly345() {
    return {[](double u) { return u * u * u * (10 + u * (-15 + 6 * u)); },
            [](double u) { return u * u * (30 + u * (-60 + 30 * u)); },
            [](double u) { return u * (60 + u * (-180 + 120 * u)); }, 5.773502691896};
}

// Moves one after the other, each with its law, distance (IU) and duration (time IU); a law
// without a function is a dwell.
class Moves : public ReferenceMotion {
public:
    struct Move {
        Law law;
        double distance;
        double duration;
    };
    explicit Moves(std::vector<Move> moves) : m_moves(std::move(moves)) {}

    double Duration() const override {
        double sum = 0;
        for (const Move& move : m_moves) sum += move.duration;
        return sum;
    }
    double PositionAt(double t) const override { return Evaluate(t, 0); }
    double VelocityAt(double t) const override { return Evaluate(t, 1); }
    double AccelerationAt(double t) const override { return Evaluate(t, 2); }
    std::vector<double> Breaks() const override {
        std::vector<double> breaks = {0};
        for (const Move& move : m_moves) breaks.push_back(breaks.back() + move.duration);
        return breaks;
    }
    double PeakAcceleration() const {
        double peak = 0;
        for (const Move& move : m_moves) {
            if (move.law.f) {
                peak = std::max(
                    peak, move.law.ca * std::abs(move.distance) / (move.duration * move.duration));
            }
        }
        return peak;
    }

private:
    double Evaluate(double t, int derivative) const {
        double start = 0, position = 0;
        for (size_t i = 0; i < m_moves.size(); ++i) {
            const Move& move = m_moves[i];
            if (t < start + move.duration || i + 1 == m_moves.size()) {
                const double u = std::clamp((t - start) / move.duration, 0.0, 1.0);
                if (!move.law.f) return derivative == 0 ? position : 0;
                if (derivative == 0) return position + move.distance * move.law.f(u);
                if (derivative == 1) return move.distance * move.law.df(u) / move.duration;
                return move.distance * move.law.ddf(u) / (move.duration * move.duration);
            }
            start += move.duration;
            if (move.law.f) position += move.distance;
        }
        return position;
    }
    std::vector<Move> m_moves;
};

Moves Single(const Law& law, double distance, double duration) {
    return Moves({{law, distance, duration}});
}

struct Sampled {
    double deviation = 0;
    double peakAcceleration = 0;
};

// The table's preview against the reference, sampled 64 times an IU; the acceleration from the
// preview's own figures.
Sampled SampleTable(const std::vector<double>& times, const std::vector<double>& positions,
                    const ReferenceMotion& reference) {
    CTrajectoryPreview preview;
    std::string error;
    EXPECT_TRUE(preview.Build(times, positions, error)) << error;
    Sampled sampled;
    const double end = times.back();
    const int samples = static_cast<int>(end * 64);
    for (int i = 0; i <= samples; ++i) {
        const double t = end * i / samples;
        const double expected = reference.PositionAt(std::min(t, reference.Duration()));
        sampled.deviation = std::max(sampled.deviation, std::abs(preview.PositionAt(t) - expected));
    }
    sampled.peakAcceleration = MotionFigures::Of(preview).peakAcceleration.value;
    return sampled;
}

// What the drive's table requires of every placement.
void ExpectOnGrid(const GridPlacement& placement, const ReferenceMotion& reference) {
    ASSERT_GE(placement.times.size(), 2u);
    ASSERT_EQ(placement.times.size(), placement.positions.size());
    EXPECT_EQ(placement.times.front(), 0);
    EXPECT_EQ(placement.positions.front(), 0);
    EXPECT_EQ(placement.times.back(), std::round(reference.Duration()));
    for (size_t i = 0; i < placement.times.size(); ++i) {
        const double t = placement.times[i];
        EXPECT_EQ(t, std::round(t)) << "point " << i;
        if (i > 0) {
            EXPECT_GT(t, placement.times[i - 1]) << "point " << i;
            EXPECT_LE(t - placement.times[i - 1], kMaxTimeStepIU) << "point " << i;
            EXPECT_EQ(placement.positions[i],
                      std::round(reference.PositionAt(std::min(t, reference.Duration()))))
                << "point " << i;
        }
    }
    for (const double at : reference.Breaks()) {
        EXPECT_TRUE(
            std::binary_search(placement.times.begin(), placement.times.end(), std::round(at)))
            << "break " << at;
    }
}

// The fewest points of any uniform whole-IU step within both bounds, or, where none holds the
// acceleration, the lowest acceleration of a step within the tolerance.
struct Uniform {
    int step = 0;
    GridPlacement placement;
};

Uniform BestUniform(const ReferenceMotion& reference, double peak) {
    Uniform best;
    bool bestHolds = false;
    // Longer steps than 256 IU stray far from every law here, save the one step of a whole move.
    const int whole = static_cast<int>(std::round(reference.Duration()));
    for (int step = 1; step <= whole; step = step < 256 ? step + 1 : std::max(step + 1, whole)) {
        GridPlacementOptions options;
        options.uniformStep = step;
        options.referencePeakAcceleration = peak;
        GridPlacement placement = PlaceOnGrid(reference, options);
        if (!placement.withinTolerance) continue;
        const bool holds = placement.withinAcceleration;
        const bool better =
            best.step == 0 || (holds && !bestHolds) ||
            (holds && bestHolds && placement.times.size() < best.placement.times.size()) ||
            (!holds && !bestHolds && placement.peakAcceleration < best.placement.peakAcceleration);
        if (better) {
            best = {step, std::move(placement)};
            bestHolds = holds;
        }
    }
    return best;
}

// The fewest points of any table on the grid within both bounds, by dynamic programming over
// every choice of times, the positions rounded as the placement rounds them. The preview of a
// piece is linear in the velocities at its ends, so for the velocity at its start, those at its
// end that keep it within the bounds form an interval; the gap is sampled 8 times an IU.
size_t FewestPoints(const ReferenceMotion& reference, double tolerance, double acceleration) {
    const int n = static_cast<int>(std::round(reference.Duration()));
    std::vector<double> p(static_cast<size_t>(n) + 1, 0);
    for (int t = 1; t <= n; ++t) p[t] = std::round(reference.PositionAt(t));
    const auto slope = [&](int a, int b) { return (p[b] - p[a]) / (b - a); };
    const auto velocity = [&](int a, int b, int c) {
        return CTrajectoryPreview::InnerVelocity(slope(a, b), b - a, slope(b, c), c - b);
    };
    // states[i][j]: tables that end ..., h, i, j, all pieces before i within the bounds: for
    // each h (-1 when i is the first point), the fewest points.
    std::vector<std::vector<std::vector<std::pair<int, size_t>>>> states(
        n + 1, std::vector<std::vector<std::pair<int, size_t>>>(n + 1));
    for (int j = 1; j <= n; ++j) states[0][j] = {{-1, 2}};
    size_t fewest = SIZE_MAX;
    struct Sample {
        double gap, perStartVelocity, perEndVelocity;
    };
    struct Range {
        double low, high;
        size_t points;
    };
    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j <= n; ++j) {
            if (states[i][j].empty()) continue;
            const double dt = j - i, s = slope(i, j);
            std::vector<Sample> samples;
            const int count = std::max(24, 8 * (j - i));
            for (int k = 0; k <= count; ++k) {
                const double u = static_cast<double>(k) / count;
                const double h00 = 2 * u * u * u - 3 * u * u + 1, h01 = 1 - h00;
                const double h10 = u * u * u - 2 * u * u + u, h11 = u * u * u - u * u;
                samples.push_back({h00 * p[i] + h01 * p[j] - reference.PositionAt(i + u * dt),
                                   dt * h10, dt * h11});
            }
            std::vector<Range> ranges;
            for (const auto& [h, points] : states[i][j]) {
                const double vi = h < 0 ? 0 : velocity(h, i, j);
                Range range = {std::max((6 * s - 4 * vi - acceleration * dt) / 2,
                                        (6 * s - 2 * vi - acceleration * dt) / 4),
                               std::min((6 * s - 4 * vi + acceleration * dt) / 2,
                                        (6 * s - 2 * vi + acceleration * dt) / 4),
                               points};
                for (const Sample& sample : samples) {
                    const double c = sample.gap + vi * sample.perStartVelocity;
                    if (sample.perEndVelocity == 0) {
                        if (std::abs(c) > tolerance) range.high = -1e300;
                        continue;
                    }
                    const double a = (-tolerance - c) / sample.perEndVelocity;
                    const double b = (tolerance - c) / sample.perEndVelocity;
                    range.low = std::max(range.low, std::min(a, b));
                    range.high = std::min(range.high, std::max(a, b));
                }
                if (range.low <= range.high) ranges.push_back(range);
            }
            if (j == n) {
                for (const Range& range : ranges) {
                    if (range.low <= 0 && 0 <= range.high) fewest = std::min(fewest, range.points);
                }
                continue;
            }
            for (int k = j + 1; k <= n && !ranges.empty(); ++k) {
                const double vj = velocity(i, j, k);
                size_t least = SIZE_MAX;
                for (const Range& range : ranges) {
                    if (range.low <= vj && vj <= range.high) least = std::min(least, range.points);
                }
                if (least != SIZE_MAX) states[j][k].push_back({i, least + 1});
            }
        }
    }
    return fewest;
}

TEST(GridPlacement, ComesCloseToTheFewestPointsOfAnExhaustiveSearch) {
    const Moves moves[] = {
        Single(Cycloid(), 2000, 200), Single(Cycloid(), 4000, 200), Single(Cycloid(), 1200, 120),
        Single(Poly345(), 2000, 160), Single(Poly345(), 800, 100),  Single(Poly345(), -3000, 200),
    };
    size_t placedTotal = 0, fewestTotal = 0;
    for (const Moves& move : moves) {
        const double peak = move.PeakAcceleration();
        GridPlacementOptions options;
        options.referencePeakAcceleration = peak;
        const GridPlacement placed = PlaceOnGrid(move, options);
        const size_t fewest = FewestPoints(move, 1, 1.1 * peak);
        std::printf("%6.0f IU in %3.0f IU: %2zu points placed, %2zu the fewest%s\n",
                    move.PositionAt(move.Duration()), move.Duration(), placed.times.size(), fewest,
                    placed.withinAcceleration ? "" : " (acceleration not held)");
        if (!placed.withinAcceleration || fewest == SIZE_MAX) continue;
        EXPECT_LE(fewest, placed.times.size());
        EXPECT_LE(placed.times.size(), fewest + fewest / 4 + 1);
        placedTotal += placed.times.size();
        fewestTotal += fewest;
    }
    std::printf("together: %zu points placed, %zu the fewest\n", placedTotal, fewestTotal);
}

TEST(GridPlacement, KeepsWithinTheBoundsBySamplingOnTheDrivesGrid) {
    const Moves moves[] = {
        Single(Cycloid(), 20000, 625),
        Single(Poly345(), 20000, 625),
        Single(Cycloid(), 80000, 2000),
        Single(Poly345(), -3000, 400),
        // Up, rest, back: every break is a point.
        Moves({{Cycloid(), 5000, 300}, {{}, 0, 100.4}, {Poly345(), -5000, 250}}),
    };
    for (const Moves& move : moves) {
        for (const double tolerance : {1.0, 2.5}) {
            SCOPED_TRACE("duration " + std::to_string(move.Duration()) + ", tolerance " +
                         std::to_string(tolerance));
            GridPlacementOptions options;
            options.tolerance = tolerance;
            options.referencePeakAcceleration = move.PeakAcceleration();
            const GridPlacement placement = PlaceOnGrid(move, options);
            ExpectOnGrid(placement, move);
            EXPECT_TRUE(placement.withinTolerance);
            EXPECT_TRUE(placement.withinAcceleration);
            const Sampled sampled = SampleTable(placement.times, placement.positions, move);
            EXPECT_LE(sampled.deviation, tolerance + 1e-6);
            EXPECT_NEAR(sampled.deviation, placement.largestDeviation, 1e-3);
            EXPECT_LE(sampled.peakAcceleration, 1.1 * move.PeakAcceleration() * (1 + 1e-9));
            EXPECT_DOUBLE_EQ(sampled.peakAcceleration, placement.peakAcceleration);
        }
    }
}

TEST(GridPlacement, NeedsFewerPointsThanTheBestUniformStep) {
    const Moves moves[] = {Single(Cycloid(), 20000, 625), Single(Poly345(), 20000, 625),
                           Single(Cycloid(), 80000, 2000), Single(Poly345(), 80000, 2000)};
    for (const Moves& move : moves) {
        const GridPlacement placed = PlaceOnGrid(move, {});
        const Uniform uniform = BestUniform(move, SampledPeakAcceleration(move));
        std::printf(
            "%6.0f IU in %5.0f IU: %3zu points (deviation %.3f IU, acceleration %.3f of "
            "the law's); uniform step %d IU: %3zu points (%.3f IU, %.3f)\n",
            move.PositionAt(move.Duration()), move.Duration(), placed.times.size(),
            placed.largestDeviation, placed.peakAcceleration / placed.referencePeakAcceleration,
            uniform.step, uniform.placement.times.size(), uniform.placement.largestDeviation,
            uniform.placement.peakAcceleration / uniform.placement.referencePeakAcceleration);
        EXPECT_TRUE(placed.withinTolerance && placed.withinAcceleration);
        EXPECT_LT(placed.times.size(), uniform.placement.times.size());
    }
}

// The seven rest-to-rest laws as single moves: 10 rot in 0.5 s on the built-in setup (2000 IU a
// revolution, 1250 IU a second) and 100 mm in 2 s on the linear axis (800 IU a mm, 1000 a second).
TEST(GridPlacement, BeatsTheBestUniformStepOnEveryLaw) {
    using Kind = MotionLaw::Kind;
    const Kind laws[] = {Kind::Cubic,    Kind::Harmonic,     Kind::Cycloidal,        Kind::Poly345,
                         Kind::Poly4567, Kind::ModifiedSine, Kind::ModifiedTrapezoid};
    const std::pair<double, double> moves[] = {{20000, 625}, {80000, 2000}};
    size_t placedTotal = 0, uniformTotal = 0;
    std::printf("%-20s %6s %5s | %6s %9s %5s | %4s %6s %9s %5s\n", "law", "IU", "in", "points",
                "deviation", "acc.", "step", "points", "deviation", "acc.");
    for (const auto& [distance, duration] : moves) {
        for (const Kind law : laws) {
            MotionProfile profile;
            ProfileFault fault;
            ASSERT_TRUE(profile.Build({{law, distance, duration, 1}}, fault)) << fault.message;
            const double peak = profile.PeakAcceleration();
            GridPlacementOptions options;
            options.referencePeakAcceleration = peak;
            const GridPlacement placed = PlaceOnGrid(profile, options);
            const Uniform uniform = BestUniform(profile, peak);
            const std::string name(MotionLaw::Of(law).Name());
            std::printf("%-20s %6.0f %5.0f | %6zu %9.3f %5.3f | %4d %6zu %9.3f %5.3f\n",
                        name.c_str(), distance, duration, placed.times.size(),
                        placed.largestDeviation, placed.peakAcceleration / peak, uniform.step,
                        uniform.placement.times.size(), uniform.placement.largestDeviation,
                        uniform.placement.peakAcceleration / peak);
            SCOPED_TRACE(name + " over " + std::to_string(duration) + " IU");
            ExpectOnGrid(placed, profile);
            EXPECT_TRUE(placed.withinTolerance);
            const Sampled sampled = SampleTable(placed.times, placed.positions, profile);
            EXPECT_LE(sampled.deviation, 1 + 1e-6);
            EXPECT_DOUBLE_EQ(sampled.peakAcceleration, placed.peakAcceleration);
            // Where no uniform step holds the acceleration, as low as the best of them reaches.
            if (uniform.placement.withinAcceleration) {
                EXPECT_TRUE(placed.withinAcceleration);
            } else {
                EXPECT_LE(placed.peakAcceleration, uniform.placement.peakAcceleration);
            }
            if (law == Kind::Cubic) {
                EXPECT_EQ(placed.times.size(), 2u);
            } else {
                EXPECT_LT(placed.times.size(), uniform.placement.times.size());
            }
            placedTotal += placed.times.size();
            uniformTotal += uniform.placement.times.size();
        }
    }
    std::printf("together: %zu points placed, %zu at the best uniform steps (%.0f %%)\n",
                placedTotal, uniformTotal, 100.0 * placedTotal / uniformTotal);
    EXPECT_LE(placedTotal, 0.85 * uniformTotal);
}

TEST(GridPlacement, ReachesNoWorseThanTheBestUniformStepWhereTheAccelerationCannotBeHeld) {
    // Short moves for their distance: no uniform step within the tolerance holds the
    // acceleration, nor does the placement; it must reach as low with fewer points.
    const Moves moves[] = {Single(Cycloid(), 1000, 100), Single(Cycloid(), 1000, 300)};
    for (const Moves& move : moves) {
        const double peak = move.PeakAcceleration();
        GridPlacementOptions options;
        options.referencePeakAcceleration = peak;
        const GridPlacement placed = PlaceOnGrid(move, options);
        const Uniform uniform = BestUniform(move, peak);
        ASSERT_FALSE(uniform.placement.withinAcceleration);
        ExpectOnGrid(placed, move);
        EXPECT_TRUE(placed.withinTolerance);
        EXPECT_LE(placed.peakAcceleration, uniform.placement.peakAcceleration);
        EXPECT_LT(placed.times.size(), uniform.placement.times.size());
        const Sampled sampled = SampleTable(placed.times, placed.positions, move);
        EXPECT_LE(sampled.deviation, 1 + 1e-6);
        EXPECT_DOUBLE_EQ(sampled.peakAcceleration, placed.peakAcceleration);
    }
}

TEST(GridPlacement, NeedsOnlyTheEndsOfACubic) {
    // The preview of two points at rest is the cubic itself.
    const Moves cubic = Single(Cubic(), 20000, 625);
    const GridPlacement placement = PlaceOnGrid(cubic, {});
    EXPECT_EQ(placement.times, (std::vector<double>{0, 625}));
    EXPECT_EQ(placement.positions, (std::vector<double>{0, 20000}));
    EXPECT_LT(placement.largestDeviation, 1e-9);
}

TEST(GridPlacement, TakesNoStepLongerThanTheTableAllows) {
    // A long rest between two moves, and a slow cubic that would fit in a single piece.
    const Moves moves({{Cycloid(), 20000, 625}, {{}, 0, 200000}, {Cubic(), 2000, 150000}});
    const GridPlacement placement = PlaceOnGrid(moves, {});
    ExpectOnGrid(placement, moves);
    EXPECT_TRUE(placement.withinTolerance && placement.withinAcceleration);
    EXPECT_LE(placement.times.size(), 40u);
}

TEST(GridPlacement, PlacesUniformStepsUpToEachBreak) {
    const Moves moves({{Cycloid(), 1000, 100}, {{}, 0, 25}});
    GridPlacementOptions options;
    options.uniformStep = 30;
    const GridPlacement placement = PlaceOnGrid(moves, options);
    EXPECT_EQ(placement.times, (std::vector<double>{0, 30, 60, 90, 100, 125}));
    ExpectOnGrid(placement, moves);
}

TEST(GridPlacement, SaysWhatWasReachedWhereTheBoundsCannotBeHeld) {
    // At a rest half an IU off the grid no table comes within a tenth of an IU.
    const Moves moves({{Cycloid(), 100.5, 60}, {{}, 0, 40}});
    GridPlacementOptions options;
    options.tolerance = 0.1;
    const GridPlacement placement = PlaceOnGrid(moves, options);
    ExpectOnGrid(placement, moves);
    EXPECT_FALSE(placement.withinTolerance);
    EXPECT_GE(placement.largestDeviation, 0.5);
    EXPECT_NEAR(SampleTable(placement.times, placement.positions, moves).deviation,
                placement.largestDeviation, 1e-3);
}

}  // namespace
