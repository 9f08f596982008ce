#include "Retiming.h"

#include <algorithm>
#include <cmath>

#include "GridPlacement.h"
#include "ReferenceMotion.h"

namespace {

// Durations checked one IU after another above a least found by bisection: the placement is
// not strictly monotonic in the duration, and a least must hold every longer duration.
constexpr int kCheckedAbove = 4;
// Bisections restarted from a failure above the least before the search gives up.
constexpr int kRestarts = 8;

double StretchFor(double speed, double acceleration, double jerk, const RetimeLimits& limits) {
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
    RetimedPath(const CTrajectoryPreview& path, const PathTiming& timing)
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
        return breaks;
    }

private:
    const CTrajectoryPreview& m_path;
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

}  // namespace

double NeededStretch(const MotionFigures& figures, const RetimeLimits& limits) {
    return StretchFor(figures.peakSpeed.value, figures.peakAcceleration.value,
                      figures.peakJerk.value, limits);
}

bool Retimer::Load(std::vector<double> times, std::vector<double> positions,
                   const RetimeLimits& limits, std::string& error) {
    m_uniform.clear();
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
    CTrajectoryPreview preview;
    std::string error;
    if (!preview.Build(times, positions, error)) return false;
    return NeededStretch(MotionFigures::Of(preview), m_limits) <= 1;
}

RetimedTable Retimer::Place(const PathTiming& timing) const {
    const RetimedPath path(m_preview, timing);
    GridPlacementOptions options;
    options.referencePeakAcceleration = SampledPeakAcceleration(path);
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
    result.holds = Judge(result.times, result.positions);
    return result;
}

const RetimedTable& Retimer::PlacedUniformly(double duration) {
    const auto found = m_uniform.find(duration);
    if (found != m_uniform.end()) return found->second;
    const double own = m_preview.GetEndTime();
    return m_uniform[duration] = Place(PathTiming::Scaled(own, duration / own));
}

bool Retimer::LeastDuration(double& least, std::string& error) {
    const double own = m_preview.GetEndTime();
    // The path's own figures scale exactly with the pace; a placement within 1 IU of it may
    // smooth a spike, seldom by more than half: what would need more than twice the longest
    // motion is refused at once, not after placing points for minutes.
    const double needed = NeededStretch(m_figures, m_limits) * own;
    if (needed > 2 * kLongestMotionIU) {
        error = "it would take about " + std::to_string(static_cast<long long>(needed)) +
                " time IU, more than the " +
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
    return true;
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

bool Retimer::BySegment(RetimedTable& result, std::string& error) {
    if (m_holds) {
        result = {m_preview.GetTimes(), m_preview.GetPositions(), false, true};
        return true;
    }
    RetimedTable uniform;
    if (!Uniformly(uniform, error)) return false;
    const PathTiming fastest =
        FastestTiming(m_preview, {m_limits.maxSpeed, m_limits.maxAcceleration, m_limits.maxJerk,
                                  true});
    // What the sweep could not see between its nodes, and the jerk that a change of pace adds,
    // are made up by passing the whole of it a little slower.
    std::map<double, RetimedTable> placed;
    const auto at = [&](double duration) -> const RetimedTable& {
        const auto found = placed.find(duration);
        if (found != placed.end()) return found->second;
        return placed[duration] = Place(fastest.Slower(duration / fastest.Duration()));
    };
    const double uniformDuration = uniform.times.back();
    const double least = LeastHolding(fastest.Duration(), false, [&](double duration) {
        return duration >= uniformDuration || at(duration).holds;
    });
    result = least > 0 && least < uniformDuration ? at(least) : uniform;
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
    return true;
}

double Retimer::FastestPossible() const {
    return FastestTiming(m_preview, {m_limits.maxSpeed, m_limits.maxAcceleration, {}, false})
        .Duration();
}
