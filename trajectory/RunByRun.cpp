#include "RunByRun.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A turn the grid cannot show: positions are whole IU.
constexpr double kSmallestTurn = 0.5;
// Beside a still stretch, the last stretch of a run over which it moves less than this (a quarter
// of an IU, for the rounding of a break's time) ends in a point of its own, up to so many time
// IU long.
constexpr double kQuietTravel = 0.25;
constexpr int kLongestQuiet = 64;

bool StandsStill(const CubicSegment& segment) {
    return segment.v0 == 0 && segment.c2 == 0 && segment.c3 == 0;
}

}  // namespace

std::vector<PathRun> RunsOf(const TrajectoryPreview& path) {
    std::vector<PathRun> runs;
    double start = path.GetPositions().front(), extreme = start;
    int direction = 0;
    const auto closeAt = [&](double end) {
        if (end != start) runs.push_back({start, end, 0});
        start = extreme = end;
        direction = 0;
    };
    const auto reach = [&](double x) {
        if (direction == 0) {
            if (std::abs(x - start) > kSmallestTurn) {
                direction = x > start ? 1 : -1;
                extreme = x;
            }
        } else if ((x - extreme) * direction >= 0) {
            extreme = x;
        } else if ((extreme - x) * direction > kSmallestTurn) {
            closeAt(extreme);
            direction = x > start ? 1 : -1;
            extreme = x;
        }
    };
    for (const CubicSegment& segment : path.GetSegments()) {
        if (StandsStill(segment)) {
            closeAt(segment.p0);
            if (!runs.empty() && runs.back().still > 0 && runs.back().from == segment.p0) {
                runs.back().still += segment.duration;
            } else {
                runs.push_back({segment.p0, segment.p0, segment.duration});
            }
            continue;
        }
        for (const double at : segment.Turns()) reach(segment.PositionAt(at));
        reach(segment.PositionAt(segment.duration));
    }
    closeAt(path.GetPositions().back());
    return runs;
}

double LeastRunsDuration(const std::vector<PathRun>& runs, std::optional<double> speed,
                         double acceleration) {
    double total = 0;
    for (const PathRun& run : runs) {
        const double distance = std::abs(run.to - run.from);
        if (run.still > 0) {
            total += run.still;
        } else if (!speed || distance < *speed * *speed / acceleration) {
            total += 2 * std::sqrt(distance / acceleration);
        } else {
            total += distance / *speed + *speed / acceleration;
        }
    }
    return total;
}

RunByRunMotion::RunByRunMotion(const std::vector<PathRun>& runs, const RunPace& pace) {
    const double A = pace.acceleration;
    const double J = pace.ramp > 0 ? A / pace.ramp : std::numeric_limits<double>::infinity();
    // From rest to speed v: the time, symmetric about its middle, so the distance is v·time/2.
    const auto toSpeed = [&](double v) {
        if (pace.ramp <= 0) return v / A;
        return v >= A * pace.ramp ? v / A + pace.ramp : 2 * std::sqrt(v / J);
    };
    double now = 0;
    m_breaks.push_back(0);
    std::vector<double> stills;  // where each still stretch starts and ends
    for (const PathRun& run : runs) {
        if (run.still > 0) {
            m_stretches.push_back({now, run.from, 0, 0, 0});
            stills.push_back(now);
            now += run.still;
            stills.push_back(now);
            m_breaks.push_back(now);
            continue;
        }
        const double distance = std::abs(run.to - run.from);
        const double direction = run.to > run.from ? 1 : -1;
        // The highest speed from which the run can still stop in time.
        double v = std::min(pace.speed, std::sqrt(distance * A));
        double cruise = 0;
        if (v * toSpeed(v) <= distance) {
            cruise = (distance - v * toSpeed(v)) / v;
        } else {
            double low = 0, high = v;
            for (int round = 0; round < 200 && high - low > 1e-15 * high; ++round) {
                const double middle = 0.5 * (low + high);
                (middle * toSpeed(middle) <= distance ? low : high) = middle;
            }
            v = low;
        }
        const double a = pace.ramp > 0 && v < A * pace.ramp ? std::sqrt(v * J) : A;
        const double ramp = pace.ramp > 0 ? a / J : 0;
        const double steady = v / a - ramp;
        struct Phase {
            double duration, acceleration, jerk;
        };
        const Phase phases[] = {{ramp, 0, J},  {steady, a, 0},  {ramp, a, -J}, {cruise, 0, 0},
                                {ramp, 0, -J}, {steady, -a, 0}, {ramp, -a, J}};
        double p = 0, speed = 0;
        for (const Phase& phase : phases) {
            if (!(phase.duration > 0)) continue;
            m_stretches.push_back({now, run.from + direction * p, direction * speed,
                                   direction * phase.acceleration, direction * phase.jerk});
            const double tau = phase.duration;
            p += tau * (speed + tau * (0.5 * phase.acceleration + tau * phase.jerk / 6));
            speed += tau * (phase.acceleration + 0.5 * tau * phase.jerk);
            now += tau;
        }
        m_breaks.push_back(now);
    }
    if (m_stretches.empty()) m_stretches.push_back({0, 0, 0, 0, 0});
    m_end = now;
    for (const Stretch& stretch : m_stretches) m_starts.push_back(stretch.start);
    // A run's last stretch ends where the run does, to the rounding of its sums.
    m_stretches.push_back({now, runs.empty() ? 0 : runs.back().to, 0, 0, 0});
    m_starts.push_back(now);
    // A table estimates the speed at a point from both its neighbours: a point where a run meets
    // a still stretch would carry the run's speed into it, and the table would creep there. A
    // last step over which the run hardly moves keeps the point at rest.
    for (size_t i = 0; i < stills.size(); ++i) {
        const double at = stills[i];
        const double side = i % 2 == 0 ? -1 : 1;  // the run before a start, after an end
        if (at <= 0 || at >= m_end) continue;
        int quiet = 0;
        while (quiet < kLongestQuiet &&
               std::abs(PositionAt(at + side * (quiet + 2)) - PositionAt(at)) < kQuietTravel) {
            ++quiet;
        }
        if (quiet > 0) m_breaks.push_back(at + side * quiet);
    }
    std::sort(m_breaks.begin(), m_breaks.end());
}

const RunByRunMotion::Stretch& RunByRunMotion::Piece(double t) const {
    const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), t);
    return m_stretches[static_cast<size_t>(
        std::max<std::ptrdiff_t>(0, after - m_starts.begin() - 1))];
}

double RunByRunMotion::PositionAt(double t) const {
    t = std::clamp(t, 0.0, m_end);
    const Stretch& s = Piece(t);
    const double tau = t - s.start;
    return s.position + tau * (s.velocity + tau * (0.5 * s.acceleration + tau * s.jerk / 6));
}

double RunByRunMotion::VelocityAt(double t) const {
    t = std::clamp(t, 0.0, m_end);
    const Stretch& s = Piece(t);
    const double tau = t - s.start;
    return s.velocity + tau * (s.acceleration + 0.5 * tau * s.jerk);
}

double RunByRunMotion::AccelerationAt(double t) const {
    t = std::clamp(t, 0.0, m_end);
    const Stretch& s = Piece(t);
    return s.acceleration + (t - s.start) * s.jerk;
}
