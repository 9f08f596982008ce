#include <GridPlacement.h>
#include <MotionFigures.h>
#include <MotionProfile.h>
#include <StepRules.h>
#include <TrajectoryPreview.h>
#include <gtest/gtest.h>

#include <algorithm>
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
    TrajectoryPreview preview;
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

// The fewest points of any table on the grid within the tolerance, the acceleration bound and
// even steps, by dynamic programming over every choice of times, the positions rounded as the
// placement rounds them: a floor for the placement, which also bounds the jumps and the central
// difference. The preview of a
// piece is linear in the velocities at its ends, so for the velocity at its start, those at its
// end that keep it within the bounds form an interval; the gap is sampled 8 times an IU.
size_t FewestPoints(const ReferenceMotion& reference, double tolerance, double acceleration) {
    const int n = static_cast<int>(std::round(reference.Duration()));
    std::vector<double> p(static_cast<size_t>(n) + 1, 0);
    for (int t = 1; t <= n; ++t) p[t] = std::round(reference.PositionAt(t));
    const auto slope = [&](int a, int b) { return (p[b] - p[a]) / (b - a); };
    const auto velocity = [&](int a, int b, int c) {
        return TrajectoryPreview::InnerVelocity(slope(a, b), b - a, slope(b, c), c - b);
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
                // Even steps: no step more than twice its neighbour.
                if (k - j > 2 * (j - i) || 2 * (k - j) < j - i) continue;
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
                    placed.HoldsEveryBound() ? "" : " (a bound not held)");
        if (!placed.HoldsEveryBound() || fewest == SIZE_MAX) continue;
        EXPECT_LE(fewest, placed.times.size());
        EXPECT_LE(placed.times.size(), fewest + fewest / 2 + 1);
        placedTotal += placed.times.size();
        fewestTotal += fewest;
    }
    std::printf(
        "together: %zu points placed, %zu the fewest within the tolerance, the "
        "acceleration and even steps\n",
        placedTotal, fewestTotal);
}

// A table judged apart from the placement: each piece rebuilt from Hermite's basis with the
// model's velocities (or the plain central difference), sampled 32 times an IU for the gap; the
// acceleration from the basis' second derivatives at the pieces' ends, where a linear
// acceleration peaks.
struct Judged {
    double deviation = 0;
    double peakAcceleration = 0;
    double largestJump = 0;    // beyond the reference's own, at a point
    double shortestRatio = 1;  // of neighbouring steps that meet at no break
    double robustDeviation = 0;
    double robustPeakAcceleration = 0;
};

Judged JudgeTable(const std::vector<double>& times, const std::vector<double>& positions,
                  const ReferenceMotion& reference) {
    TrajectoryPreview preview;
    std::string error;
    EXPECT_TRUE(preview.Build(times, positions, error)) << error;
    const std::vector<double>& model = preview.GetPointVelocities();
    const size_t n = times.size();
    std::vector<double> central(n, 0);
    for (size_t i = 1; i + 1 < n; ++i) {
        central[i] = (positions[i + 1] - positions[i - 1]) / (times[i + 1] - times[i - 1]);
    }
    const std::vector<double> breaks = reference.Breaks();
    const auto isBreak = [&](double t) {
        for (const double b : breaks) {
            if (std::round(b) == t) return true;
        }
        return false;
    };
    const double end = reference.Duration();
    const auto referenceJump = [&](double t) {
        if (!isBreak(t)) return 0.0;
        const double after = t >= std::round(end) ? 0 : reference.AccelerationAt(t);
        const double before = t <= 0 ? 0 : reference.AccelerationAt(std::min(t, end) - 1e-7);
        return after - before;
    };
    Judged judged;
    // Hermite's cubic on one piece with end velocities va, vb: position and acceleration.
    const auto judgeWith = [&](const std::vector<double>& v, double& deviation, double& peak,
                               double* jump) {
        double arriving = 0;
        for (size_t i = 0; i + 1 < n; ++i) {
            const double dt = times[i + 1] - times[i];
            const int samples = std::max(32, static_cast<int>(32 * dt));
            for (int k = 0; k <= samples; ++k) {
                const double u = static_cast<double>(k) / samples;
                const double h00 = 2 * u * u * u - 3 * u * u + 1, h01 = 1 - h00;
                const double h10 = u * u * u - 2 * u * u + u, h11 = u * u * u - u * u;
                const double p = h00 * positions[i] + h01 * positions[i + 1] +
                                 dt * (h10 * v[i] + h11 * v[i + 1]);
                const double t = times[i] + u * dt;
                deviation =
                    std::max(deviation, std::abs(p - reference.PositionAt(std::min(t, end))));
            }
            // p'' at u = 0 and u = 1 from the basis' second derivatives.
            const double d = positions[i + 1] - positions[i];
            const double a0 = (6 * d - dt * (4 * v[i] + 2 * v[i + 1])) / (dt * dt);
            const double a1 = (-6 * d + dt * (2 * v[i] + 4 * v[i + 1])) / (dt * dt);
            peak = std::max({peak, std::abs(a0), std::abs(a1)});
            if (jump) {
                *jump = std::max(*jump, std::abs(a0 - arriving - referenceJump(times[i])));
            }
            arriving = a1;
        }
        if (jump) *jump = std::max(*jump, std::abs(-arriving - referenceJump(times[n - 1])));
    };
    judgeWith(model, judged.deviation, judged.peakAcceleration, &judged.largestJump);
    judgeWith(central, judged.robustDeviation, judged.robustPeakAcceleration, nullptr);
    for (size_t i = 1; i + 1 < n; ++i) {
        if (isBreak(times[i])) continue;
        const double a = times[i] - times[i - 1], b = times[i + 1] - times[i];
        judged.shortestRatio = std::min(judged.shortestRatio, std::min(a, b) / std::max(a, b));
    }
    return judged;
}

// The best near-uniform table: times round(k·T/n) for the fewest n whose table keeps within
// the tolerance and the acceleration bound, judged as above. Empty when none does.
struct NearUniform {
    std::vector<double> times, positions;
    Judged judged;
};

NearUniform BestNearUniform(const ReferenceMotion& reference, double tolerance,
                            double acceleration) {
    const double whole = std::round(reference.Duration());
    for (int n = 1; n <= whole; ++n) {
        NearUniform table;
        for (int k = 0; k <= n; ++k) {
            const double t = std::round(k * whole / n);
            table.times.push_back(t);
            table.positions.push_back(
                k == 0 ? 0 : std::round(reference.PositionAt(std::min(t, reference.Duration()))));
        }
        // The cheap test first: the points' own rounding alone may already exceed the bound.
        table.judged = JudgeTable(table.times, table.positions, reference);
        if (table.judged.deviation <= tolerance &&
            table.judged.peakAcceleration <= acceleration * (1 + 1e-9)) {
            return table;
        }
    }
    return {};
}

// Every bound of a smooth table, judged apart from the placement; the placement's own figures
// agree with the judged ones.
void ExpectSmooth(const GridPlacement& placed, const ReferenceMotion& reference, double peak,
                  double jumpBound, double tolerance = 1) {
    const Judged judged = JudgeTable(placed.times, placed.positions, reference);
    EXPECT_LE(judged.deviation, tolerance + 1e-6);
    EXPECT_NEAR(judged.deviation, placed.largestDeviation, 2e-3);
    EXPECT_LE(judged.peakAcceleration, 1.1 * peak * (1 + 1e-9));
    EXPECT_NEAR(judged.peakAcceleration, placed.peakAcceleration, 1e-9 * peak);
    EXPECT_GE(judged.shortestRatio, 0.5);
    EXPECT_NEAR(judged.shortestRatio, placed.shortestToNeighbour, 1e-12);
    EXPECT_LE(judged.largestJump, jumpBound * (1 + 1e-9));
    EXPECT_NEAR(judged.largestJump, placed.largestJump, 1e-6 * peak);
    EXPECT_LE(judged.robustDeviation, 2 * tolerance + 1e-6);
    EXPECT_NEAR(judged.robustDeviation, placed.robustDeviation, 2e-3);
    EXPECT_LE(judged.robustPeakAcceleration, 1.25 * peak * (1 + 1e-9));
    EXPECT_TRUE(placed.HoldsEveryBound());
}

// The seven rest-to-rest laws as single moves: 10 rot in 0.5 s on the built-in setup (2000 IU a
// revolution, 1250 IU a second) and 100 mm in 2 s on the linear axis (800 IU a mm, 1000 a
// second). Each placed table holds every bound with fewer points than the best near-uniform
// table, and all of them together at most 85 % of theirs.
TEST(GridPlacement, TheFourteenMovesAreSmoothWithFewerPointsThanTheBestNearUniformTables) {
    using Kind = MotionLaw::Kind;
    const Kind laws[] = {Kind::Cubic,    Kind::Harmonic,     Kind::Cycloidal,        Kind::Poly345,
                         Kind::Poly4567, Kind::ModifiedSine, Kind::ModifiedTrapezoid};
    const std::pair<double, double> moves[] = {{20000, 625}, {80000, 2000}};
    size_t placedTotal = 0, evenTotal = 0;
    std::printf("%-18s %5s %4s | %6s %5s %5s %5s %5s | %6s %5s %5s %5s %5s\n", "law", "IU", "in",
                "points", "dev.", "acc.", "jump", "ratio", "even", "dev.", "acc.", "jump", "ratio");
    for (const auto& [distance, duration] : moves) {
        for (const Kind law : laws) {
            MotionProfile profile;
            ProfileFault fault;
            ASSERT_TRUE(profile.Build({{law, distance, duration, 1}}, fault)) << fault.message;
            const double peak = profile.PeakAcceleration();
            GridPlacementOptions options;
            options.referencePeakAcceleration = peak;
            const GridPlacement placed = PlaceOnGrid(profile, options);
            const NearUniform even = BestNearUniform(profile, 1, 1.1 * peak);
            const Judged judged = JudgeTable(placed.times, placed.positions, profile);
            const std::string name(MotionLaw::Of(law).Name());
            std::printf(
                "%-18s %5.0f %4.0f | %6zu %5.3f %5.3f %5.3f %5.3f | %6zu %5.3f %5.3f %5.3f "
                "%5.3f\n",
                name.c_str(), distance, duration, placed.times.size(), judged.deviation,
                judged.peakAcceleration / peak, judged.largestJump / peak, judged.shortestRatio,
                even.times.size(), even.judged.deviation, even.judged.peakAcceleration / peak,
                even.judged.largestJump / peak, even.judged.shortestRatio);
            SCOPED_TRACE(name + " over " + std::to_string(duration) + " IU");
            ExpectOnGrid(placed, profile);
            ExpectSmooth(placed, profile, peak, std::max(0.5 * peak, even.judged.largestJump));
            // Where no near-uniform table holds the acceleration, the placement still does.
            if (even.times.empty()) continue;
            EXPECT_EQ(placed.nearUniformPoints, even.times.size());
            // Two points are a cubic's own ends: nothing fewer exists.
            if (even.times.size() > 2) {
                EXPECT_LT(placed.times.size(), even.times.size());
            }
            placedTotal += placed.times.size();
            evenTotal += even.times.size();
        }
    }
    std::printf("together: %zu points placed, %zu in the best near-uniform tables (%.0f %%)\n",
                placedTotal, evenTotal, 100.0 * placedTotal / evenTotal);
    EXPECT_LE(placedTotal, 0.85 * evenTotal);
}

TEST(GridPlacement, KeepsDwellsAndCruisesExactAndStepsEvenBetweenBreaks) {
    // Out, rest, a poly5 into a cruise and out of it, rest, back: as a designed cam runs.
    MotionProfile profile;
    ProfileFault fault;
    using Kind = MotionLaw::Kind;
    ASSERT_TRUE(profile.Build({{Kind::Cycloidal, 5000.4, 300, 1},
                               {Kind::Dwell, 0, 200, 2},
                               {Kind::Poly5, 2000, 150, 3},
                               {Kind::Cruise, 6000, 300, 4},
                               {Kind::Poly5, 2000, 150, 5},
                               {Kind::Dwell, 0, 100, 6},
                               {Kind::Poly345, -15000.4, 500, 7},
                               {Kind::Dwell, 0, 250, 8}},
                              fault))
        << fault.message;
    const double peak = profile.PeakAcceleration();
    GridPlacementOptions options;
    options.referencePeakAcceleration = peak;
    const GridPlacement placed = PlaceOnGrid(profile, options);
    ExpectOnGrid(placed, profile);
    ExpectSmooth(placed, profile, peak, std::max(0.5 * peak, placed.jumpBound));
    for (size_t i = 0; i < placed.times.size(); ++i) {
        const double t = placed.times[i];
        const ProfileSegment& segment =
            profile.GetSegments()[profile.SegmentIndexAt(std::min(t, profile.Duration() - 1e-9))];
        if (segment.law.GetKind() == Kind::Dwell) {
            EXPECT_EQ(placed.positions[i], std::round(segment.startPosition)) << "point " << i;
        }
        if (segment.law.GetKind() == Kind::Cruise) {
            const double line = segment.startPosition +
                                segment.distance * (t - segment.startTime) / segment.duration;
            EXPECT_LE(std::abs(placed.positions[i] - line), 0.5 + 1e-9) << "point " << i;
        }
    }
}

TEST(GridPlacement, TakesNoPositionStepBeyondWhatTheTableHolds) {
    // A cubic of 5·10^9 IU: its two ends alone would step beyond 2^31 - 1 IU.
    const Moves cubic = Single(Cubic(), 5e9, 1000);
    for (const int step : {0, 1000}) {
        GridPlacementOptions options;
        options.uniformStep = step;
        const GridPlacement placed = PlaceOnGrid(cubic, options);
        ASSERT_GE(placed.times.size(), 2u);
        if (step == 0) ExpectOnGrid(placed, cubic);
        bool stepsHeld = true;
        for (size_t i = 1; i < placed.positions.size(); ++i) {
            stepsHeld = stepsHeld && std::abs(placed.positions[i] - placed.positions[i - 1]) <=
                                         kMaxPositionStepIU;
        }
        // A uniform step the user asked for is told, not mended.
        EXPECT_EQ(stepsHeld, step == 0);
        if (step != 0) {
            EXPECT_FALSE(placed.withinSpacing);
        }
    }
}

TEST(GridPlacement, ReachesNoWorseThanTheBestNearUniformTableWhereTheAccelerationCannotBeHeld) {
    // Short moves for their distance: no near-uniform table within the tolerance holds the
    // acceleration; the placement reaches as low, and says which bound it misses.
    const Moves moves[] = {Single(Cycloid(), 1000, 100), Single(Cycloid(), 1000, 300)};
    for (const Moves& move : moves) {
        const double peak = move.PeakAcceleration();
        GridPlacementOptions options;
        options.referencePeakAcceleration = peak;
        const GridPlacement placed = PlaceOnGrid(move, options);
        ExpectOnGrid(placed, move);
        const Judged judged = JudgeTable(placed.times, placed.positions, move);
        EXPECT_NEAR(judged.deviation, placed.largestDeviation, 2e-3);
        EXPECT_NEAR(judged.peakAcceleration, placed.peakAcceleration, 1e-9 * peak);
        EXPECT_EQ(placed.HoldsEveryBound(),
                  judged.deviation <= 1 && judged.peakAcceleration <= 1.1 * peak * (1 + 1e-12) &&
                      judged.shortestRatio >= 0.5 && judged.robustDeviation <= 2 &&
                      judged.robustPeakAcceleration <= 1.25 * peak * (1 + 1e-12) &&
                      judged.largestJump <= placed.jumpBound * (1 + 1e-9));
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
    EXPECT_TRUE(placement.HoldsEveryBound());
    // Even steps: the long rest's steps grow from the short ones at its ends, doubling at most.
    EXPECT_LE(placement.times.size(), 60u);
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
            ExpectSmooth(placement, move, move.PeakAcceleration(),
                         std::max(0.5 * move.PeakAcceleration(), placement.jumpBound), tolerance);
            const Sampled sampled = SampleTable(placement.times, placement.positions, move);
            EXPECT_LE(sampled.deviation, tolerance + 1e-6);
            EXPECT_NEAR(sampled.deviation, placement.largestDeviation, 1e-3);
            EXPECT_LE(sampled.peakAcceleration, 1.1 * move.PeakAcceleration() * (1 + 1e-9));
            EXPECT_DOUBLE_EQ(sampled.peakAcceleration, placement.peakAcceleration);
        }
    }
}

}  // namespace
