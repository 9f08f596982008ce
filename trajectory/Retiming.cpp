#include "Retiming.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "GridPlacement.h"
#include "ReferenceMotion.h"
#include "RunByRun.h"
#include "StepRules.h"

namespace {

// Durations checked one IU after another above a least found by bisection: the placement is
// not strictly monotonic in the duration, and a least must hold every longer duration.
constexpr int kCheckedAbove = 4;
// The share of the path over which a per-segment pace is averaged.
constexpr double kSmoothing = 1.0 / 64;
// Paces tried one after another, each 1/256 of the sweep's duration slower, before a search:
// fewer where every placement costs much.
constexpr int kPacesTried = 64;
constexpr int kPacesTriedOnLongTables = 16;
constexpr double kLongTableIU = 20000;
// Paces of a run-by-run motion tried, each slowed as its placed table needs. Under an
// acceleration limit, a share of it, and corners rounded over a share of the time to speed (the
// placement's steps overshoot sharper corners by more than the share leaves). Without an
// acceleration limit the table's own peak stands for it, as in the sweep.
struct RunPaceTried {
    double acceleration;  // share of the acceleration the pace keeps
    double ramp;          // share of the time to speed
};
// The ones easier to place first: where one fails, the grid is too
// coarse for the next.
constexpr RunPaceTried kRunPaces[] = {{0.9, 1.0 / 3}, {0.9, 1.0 / 6}};
// A sweep's result this close to the least time is not tried again run by run.
constexpr double kCloseToFastest = 1.05;
constexpr int kRunPacesTried = 4;
constexpr double kRunSlowerAtLeast = 1.005;
// Moves of single points by an IU that a stretched table may take to come within the tolerance.
constexpr int kNudges = 32;
// Bisections restarted from a failure above the least before the search gives up.
constexpr int kRestarts = 8;

double StretchFor(double speed, double acceleration, double jerk, const MotionLimits& limits) {
    double stretch = 0;
    if (limits.maxSpeed) stretch = std::max(stretch, speed / *limits.maxSpeed);
    if (limits.maxAcceleration) {
        stretch = std::max(stretch, std::sqrt(acceleration / *limits.maxAcceleration));
    }
    if (limits.maxJerk) stretch = std::max(stretch, std::cbrt(jerk / *limits.maxJerk));
    return stretch;
}

// The table's preview passed at the pace of a timing, as a motion to place points on.
class RetimedPath : public ReferenceMotion {
public:
    RetimedPath(const TrajectoryPreview& path, const PathTiming& timing)
        : m_path(path), m_timing(timing) {}

    double Duration() const override { return m_timing.Duration(); }
    double PositionAt(double t) const override { return m_path.PositionAt(m_timing.At(t).s); }
    double VelocityAt(double t) const override {
        const PathTiming::Moment moment = m_timing.At(t);
        return m_path.VelocityAt(moment.s) * moment.rate;
    }
    double AccelerationAt(double t) const override {
        const PathTiming::Moment moment = m_timing.At(t);
        return m_path.AccelerationAt(moment.s) * moment.rate * moment.rate +
               m_path.VelocityAt(moment.s) * moment.change;
    }
    // Where the path stands still a while, the new table keeps a point at each end, so that
    // the stretch between them is kept exactly.
    std::vector<double> Breaks() const override {
        std::vector<double> breaks = {0};
        const std::vector<CubicSegment>& segments = m_path.GetSegments();
        for (size_t i = 0; i < segments.size(); ++i) {
            const auto still = [&](size_t j) {
                const CubicSegment& segment = segments[j];
                return segment.v0 == 0 && segment.c2 == 0 && segment.c3 == 0;
            };
            const bool before = i > 0 && still(i - 1);
            if (i > 0 && before != still(i)) {
                breaks.push_back(m_timing.TimeOf(segments[i].startTime));
            }
        }
        breaks.push_back(Duration());
        std::sort(breaks.begin(), breaks.end());
        return breaks;
    }

private:
    const TrajectoryPreview& m_path;
    const PathTiming& m_timing;
};

// The least whole duration from which on `holds` is true, searched up (and, with `searchDown`,
// down) from `guess`; 0 when none up to the longest motion.
template <class Predicate>
double LeastHolding(double guess, bool searchDown, Predicate holds) {
    double low = 0, high = 0;  // low fails (or is not to be searched), high holds
    const auto searchUp = [&](double from) {
        for (double step = std::max(1.0, std::floor(from / 64));; step *= 2) {
            const double next = std::min(from + step, kLongestMotionIU);
            if (holds(next)) {
                high = next;
                return true;
            }
            low = next;
            if (next == kLongestMotionIU) return false;
        }
    };
    guess = std::clamp(std::ceil(guess), 1.0, kLongestMotionIU);
    if (holds(guess)) {
        high = guess;
        low = guess - 1;
        for (double step = 1; searchDown && high > 1; step *= 2) {
            const double next = std::max(1.0, high - step);
            if (!holds(next)) {
                low = next;
                break;
            }
            high = next;
            low = 0;
        }
    } else {
        low = guess;
        if (!searchUp(guess)) return 0;
    }
    for (int restart = 0; restart <= kRestarts; ++restart) {
        while (high - low > 1) {
            const double middle = std::floor((low + high) / 2);
            (holds(middle) ? high : low) = middle;
        }
        double failing = 0;
        for (int j = 1; j <= kCheckedAbove && high + j <= kLongestMotionIU && !failing; ++j) {
            if (!holds(high + j)) failing = high + j;
        }
        if (!failing) return high;
        low = failing;
        if (!searchUp(failing)) return 0;
    }
    return high;
}

// The peak |acceleration| of a path at a new pace, sampled four times an IU and at least 8192
// times: a pace that changes fast near rest bends it between coarser samples.
double DensePeakAcceleration(const ReferenceMotion& path) {
    const double end = path.Duration();
    const int samples = static_cast<int>(std::min(1e8, std::max(8192.0, 4 * end)));
    double peak = 0;
    for (int i = 0; i <= samples; ++i) {
        peak = std::max(peak, std::abs(path.AccelerationAt(end * i / samples)));
    }
    return peak;
}

}  // namespace

double NeededStretch(const MotionFigures& figures, const MotionLimits& limits) {
    return StretchFor(figures.peakSpeed.value, figures.peakAcceleration.value,
                      figures.peakJerk.value, limits);
}

bool Retimer::Load(std::vector<double> times, std::vector<double> positions,
                   const MotionLimits& limits, std::string& error) {
    m_uniform.clear();
    m_least.reset();
    if (!m_preview.Build(std::move(times), std::move(positions), error)) return false;
    if (m_preview.GetTimes().front() != 0 || m_preview.GetPositions().front() != 0) {
        error = "a table to retime starts at (0, 0)";
        return false;
    }
    m_limits = limits;
    m_figures = MotionFigures::Of(m_preview);
    m_holds = NeededStretch(m_figures, m_limits) <= 1;
    return true;
}

bool Retimer::Judge(const std::vector<double>& times, const std::vector<double>& positions) const {
    TrajectoryPreview preview;
    std::string error;
    if (!preview.Build(times, positions, error)) return false;
    return NeededStretch(MotionFigures::Of(preview, false), m_limits) <= 1;
}

RetimedTable Retimer::Place(const PathTiming& timing, double peakAcceleration) const {
    return Place(RetimedPath(m_preview, timing), peakAcceleration);
}

RetimedTable Retimer::Place(const ReferenceMotion& path, double peakAcceleration) const {
    GridPlacementOptions options;
    options.referencePeakAcceleration = peakAcceleration;
    // The placement may raise the peak acceleration by a tenth: not beyond the limit.
    if (m_limits.maxAcceleration && options.referencePeakAcceleration > 0) {
        options.accelerationShare =
            std::min(options.accelerationShare,
                     *m_limits.maxAcceleration / options.referencePeakAcceleration);
    }
    GridPlacement placement = PlaceOnGrid(path, options);
    RetimedTable result;
    result.times = std::move(placement.times);
    result.positions = std::move(placement.positions);
    result.changed = true;
    // A table that strays from the path does not hold, whatever its peaks: it would cut corners.
    result.holds = placement.withinTolerance && Judge(result.times, result.positions);
    if (result.holds || !m_limits.maxJerk) return result;
    // The fewest points come with short steps beside long ones, and a short step's cubic turns
    // sharply: a jerk limit asks for even steps. Each position's rounding (half an IU) moves a
    // jerk by up to 12/h³ at steps of h: steps from where that is a twentieth of the limit.
    const double shortest = std::ceil(std::cbrt(240 / *m_limits.maxJerk));
    for (const double factor : {1.0, 1.5, 2.0, 3.0}) {
        const double step = shortest * factor;
        if (step > kMaxTimeStepIU || step * 4 > path.Duration()) break;
        options.uniformStep = static_cast<int>(step);
        GridPlacement even = PlaceOnGrid(path, options);
        if (!even.withinTolerance || !Judge(even.times, even.positions)) continue;
        result.times = std::move(even.times);
        result.positions = std::move(even.positions);
        result.holds = true;
        break;
    }
    return result;
}

const RetimedTable& Retimer::PlacedUniformly(double duration) {
    const auto found = m_uniform.find(duration);
    if (found != m_uniform.end()) return found->second;
    const double own = m_preview.GetEndTime();
    const double factor = duration / own;
    // The preview's own peak, exact, scales with the square of the pace.
    return m_uniform[duration] = Place(PathTiming::Scaled(own, factor),
                                       m_figures.peakAcceleration.value / (factor * factor));
}

bool Retimer::LeastDuration(double& least, std::string& error) {
    const double own = m_preview.GetEndTime();
    // The path's own figures scale exactly with the pace; a placement within 1 IU of it may
    // smooth a spike, seldom by more than half: what would need more than twice the longest
    // motion is refused at once, not after placing points for minutes.
    const double needed = NeededStretch(m_figures, m_limits) * own;
    if (!(needed <= 2 * kLongestMotionIU)) {
        char about[64];
        std::snprintf(about, sizeof about, "%.3g", needed);
        error = std::string("it would take about ") + about + " time IU, more than the " +
                std::to_string(static_cast<long long>(kLongestMotionIU)) +
                " that a motion can hold";
        return false;
    }
    least = LeastHolding(needed, true,
                         [this](double duration) { return PlacedUniformly(duration).holds; });
    if (least == 0) {
        error = "no duration up to the longest that a motion can hold keeps the limits";
        return false;
    }
    m_least = least;
    return true;
}

RetimedTable Retimer::LongerThanLeast(double duration) {
    const RetimedTable& least = PlacedUniformly(*m_least);
    const double own = m_preview.GetEndTime();
    const double factor = duration / own;
    const PathTiming timing = PathTiming::Scaled(own, factor);
    const RetimedPath path(m_preview, timing);
    GridPlacement table;
    // Every step grows by the same factor (> 1) before rounding: none shrinks to nothing.
    for (const double t : least.times) {
        const double at = std::min(duration, std::round(t * duration / *m_least));
        table.times.push_back(at);
        table.positions.push_back(std::round(path.PositionAt(at)));
    }
    table.times.back() = duration;
    table.positions.back() = m_preview.GetPositions().back();
    GridPlacementOptions options;
    options.referencePeakAcceleration = m_figures.peakAcceleration.value / (factor * factor);
    MeasurePlacement(path, options, table);
    // The least's table met the tolerance with the rounding of its own positions; stretched,
    // the roundings fall anew. Points beside the largest deviation are moved an IU at a time
    // while that brings it down.
    for (int nudge = 0; nudge < kNudges && !table.withinTolerance; ++nudge) {
        const auto after =
            std::upper_bound(table.times.begin(), table.times.end(), table.largestDeviationTime);
        const size_t segment = static_cast<size_t>(
            std::clamp<std::ptrdiff_t>(after - table.times.begin() - 1, 0,
                                       static_cast<std::ptrdiff_t>(table.times.size()) - 2));
        GridPlacement best = table;
        for (const size_t point : {segment, segment + 1}) {
            if (point == 0 || point + 1 >= table.times.size()) continue;
            for (const double by : {-2.0, -1.0, 1.0, 2.0}) {
                const double at = table.times[point] + by;
                if (at <= table.times[point - 1] || at >= table.times[point + 1]) continue;
                GridPlacement moved = table;
                moved.times[point] = at;
                moved.positions[point] = std::round(path.PositionAt(at));
                MeasurePlacement(path, options, moved);
                if (moved.largestDeviation < best.largestDeviation) best = std::move(moved);
            }
        }
        if (!(best.largestDeviation < table.largestDeviation)) break;
        table = std::move(best);
    }
    RetimedTable result{std::move(table.times), std::move(table.positions), true, false};
    result.holds = table.withinTolerance && Judge(result.times, result.positions);
    return result;
}

bool Retimer::Uniformly(RetimedTable& result, std::string& error) {
    if (m_holds) {
        result = {m_preview.GetTimes(), m_preview.GetPositions(), false, true};
        return true;
    }
    double least = 0;
    if (!LeastDuration(least, error)) return false;
    result = PlacedUniformly(std::max(least, std::ceil(m_preview.GetEndTime())));
    return true;
}

PathTiming Retimer::Sweep(std::optional<double> speed, double acceleration) const {
    return FastestTiming(m_preview, {speed, acceleration, m_limits.maxJerk, kSmoothing,
                                     !m_limits.maxSpeed && !m_limits.maxAcceleration});
}

RetimedTable Retimer::RunByRun(const std::vector<PathRun>& runs, double acceleration,
                               double ramp) const {
    const double speed = m_limits.maxSpeed.value_or(std::numeric_limits<double>::infinity());
    RetimedTable table;
    double factor = 1;
    for (int tried = 0; tried < kRunPacesTried; ++tried) {
        const double peak = acceleration / (factor * factor);
        table = Place(RunByRunMotion(runs, {speed / factor, peak, ramp * factor}), peak);
        if (table.holds) break;
        // Slowed by what the placed table needs, or a little where it strayed from the path.
        TrajectoryPreview preview;
        std::string error;
        if (!preview.Build(table.times, table.positions, error)) break;
        const double needed = NeededStretch(MotionFigures::Of(preview, false), m_limits);
        // Within the limits but not within 1 IU of the path: the corners are too sharp for the
        // grid, and a slower pace does not round them.
        if (needed <= 1) break;
        factor *= std::max(kRunSlowerAtLeast, needed);
    }
    return table;
}

namespace {

struct RunCount {
    size_t moving = 0;
    double still = 0;
};

RunCount CountOf(const std::vector<PathRun>& runs) {
    RunCount count;
    for (const PathRun& run : runs) {
        if (run.still > 0) {
            count.still += run.still;
        } else {
            ++count.moving;
        }
    }
    return count;
}

}  // namespace

bool Retimer::KeepsRuns(const RetimedTable& table, const std::vector<PathRun>& runs) const {
    TrajectoryPreview preview;
    std::string error;
    if (!preview.Build(table.times, table.positions, error)) return false;
    const RunCount before = CountOf(runs), after = CountOf(RunsOf(preview));
    return after.moving <= before.moving && after.still >= before.still - 1;
}

bool Retimer::BySegment(RetimedTable& result, std::string& error) {
    if (m_holds) {
        result = {m_preview.GetTimes(), m_preview.GetPositions(), false, true};
        return true;
    }
    if (!BySweep(result, error)) return false;
    // Under speed and acceleration alone each run may go rest to rest on its own, its corners
    // rounded so that a table can follow them; whichever holds in less time.
    if (m_limits.maxJerk || m_preview.GetEndTime() > kLongTableIU ||
        result.times.back() <= kCloseToFastest * FastestPossible()) {
        return true;
    }
    const std::vector<PathRun> runs = RunsOf(m_preview);
    // The longest run's time to speed, which the corners are rounded by a share of.
    double longest = 0;
    for (const PathRun& run : runs) longest = std::max(longest, std::abs(run.to - run.from));
    for (const RunPaceTried& pace : kRunPaces) {
        const double acceleration = pace.acceleration * SweepAcceleration();
        if (!(acceleration > 0 && longest > 0)) break;
        double toSpeed = std::sqrt(longest / acceleration);
        if (m_limits.maxSpeed) toSpeed = std::min(toSpeed, *m_limits.maxSpeed / acceleration);
        RetimedTable candidate = RunByRun(runs, acceleration, pace.ramp * toSpeed);
        candidate.holds = candidate.holds && KeepsRuns(candidate, runs);
        // Where one fails, the grid is too coarse for the sharper corners of the next.
        if (!candidate.holds) break;
        if (candidate.times.back() < result.times.back()) result = std::move(candidate);
    }
    return true;
}

bool Retimer::BySweep(RetimedTable& result, std::string& error) {
    RetimedTable uniform;
    if (!Uniformly(uniform, error)) return false;
    const PathTiming fastest = Sweep(m_limits.maxSpeed, SweepAcceleration());
    // Slowing the whole pace by a factor divides its acceleration by the factor squared.
    const double peak = DensePeakAcceleration(RetimedPath(m_preview, fastest));
    // What the sweep could not see between its nodes, and the jerk that a change of pace adds,
    // are made up by passing the whole of it a little slower.
    std::map<double, RetimedTable> placed;
    const auto at = [&](double duration) -> const RetimedTable& {
        const auto found = placed.find(duration);
        if (found != placed.end()) return found->second;
        const double factor = duration / fastest.Duration();
        return placed[duration] = Place(fastest.Slower(factor), peak / (factor * factor));
    };
    // Placements are not monotonic in the duration: short steps up from the sweep's first.
    const double uniformDuration = uniform.times.back();
    const double first = std::ceil(fastest.Duration());
    const double step = std::max(1.0, std::round(first / 256));
    // Under a jerk limit each failing pace is placed again at even steps, which costs more.
    const int paces =
        first > kLongTableIU || m_limits.maxJerk ? kPacesTriedOnLongTables : kPacesTried;
    for (int tried = 0; tried < paces; ++tried) {
        const double duration = first + tried * step;
        if (duration >= uniformDuration) break;
        if (at(duration).holds) {
            result = at(duration);
            return true;
        }
    }
    // Further up, each placement of a long table costs much: the first pace that holds is
    // found by doubling the slow-down, then halving the stretch between it and the last that
    // failed.
    double failing = first + (paces - 1) * step, holding = 0;
    for (double more = 2 * step; failing + 1 < uniformDuration; more *= 2) {
        const double next = std::min(failing + more, uniformDuration - 1);
        if (at(next).holds) {
            holding = next;
            break;
        }
        failing = next;
    }
    if (holding == 0) {
        result = uniform;
        return true;
    }
    while (holding - failing > std::max(1.0, step / 4)) {
        const double middle = std::round(0.5 * (failing + holding));
        (at(middle).holds ? holding : failing) = middle;
    }
    result = at(holding);
    return true;
}

bool Retimer::ToDuration(double duration, RetimedTable& result, std::string& error) {
    if (!(duration >= 1) || duration > kLongestMotionIU) {
        error = "a duration from 1 IU to the longest that a motion can hold is needed";
        return false;
    }
    if (duration == m_preview.GetEndTime()) {
        result = {m_preview.GetTimes(), m_preview.GetPositions(), false, m_holds};
        return true;
    }
    result = PlacedUniformly(duration);
    if (result.holds) return true;
    // The placement is not monotonic in the duration: the steps that held at the least, each
    // a little longer, hold where its own choice does not.
    double least = 0;
    std::string unused;
    if (!m_least && (!m_limits.Any() || !LeastDuration(least, unused))) return true;
    if (duration > *m_least) {
        RetimedTable stretched = LongerThanLeast(duration);
        if (stretched.holds) result = std::move(stretched);
    }
    return true;
}

double Retimer::FastestPossible() const {
    if (!m_limits.maxSpeed && !m_limits.maxAcceleration) {
        return FastestTiming(m_preview, {{}, SweepAcceleration(), {}, 0, false}).Duration();
    }
    return LeastRunsDuration(RunsOf(m_preview), m_limits.maxSpeed, SweepAcceleration());
}

double Retimer::SweepAcceleration() const {
    return m_limits.maxAcceleration.value_or(m_figures.peakAcceleration.value);
}
