#include "PathTiming.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// ṡ below a millionfold of the path's own pace: a finite bound where no limit gives one.
constexpr double kHighestRateSquared = 1e12;
// Grid intervals over the whole path, and at least this many in each segment of it.
constexpr double kGridIntervals = 4096;
constexpr int kLeastIntervalsPerSegment = 4;

// The largest |q'| of a segment over [from, to] (times since its start): q' is quadratic.
double LargestSpeed(const CubicSegment& segment, double from, double to) {
    double largest = std::max(std::abs(segment.VelocityAt(from)), std::abs(segment.VelocityAt(to)));
    if (segment.c3 != 0) {
        const double vertex = -segment.c2 / (3 * segment.c3);
        if (vertex > from && vertex < to) {
            largest = std::max(largest, std::abs(segment.VelocityAt(vertex)));
        }
    }
    return largest;
}

bool StandsStill(const CubicSegment& segment) {
    return segment.v0 == 0 && segment.c2 == 0 && segment.c3 == 0;
}

}  // namespace

PathTiming PathTiming::Scaled(double pathDuration, double factor) {
    return FromRates({0, pathDuration}, {1 / factor, 1 / factor});
}

PathTiming PathTiming::FromRates(std::vector<double> nodes, std::vector<double> rates) {
    PathTiming timing;
    timing.m_times.assign(nodes.size(), 0);
    for (size_t k = 1; k < nodes.size(); ++k) {
        timing.m_times[k] =
            timing.m_times[k - 1] + 2 * (nodes[k] - nodes[k - 1]) / (rates[k - 1] + rates[k]);
    }
    timing.m_nodes = std::move(nodes);
    timing.m_rates = std::move(rates);
    return timing;
}

PathTiming PathTiming::Slower(double factor) const {
    PathTiming timing = *this;
    for (double& rate : timing.m_rates) rate /= factor;
    for (double& time : timing.m_times) time *= factor;
    timing.m_last = 0;
    return timing;
}

PathTiming::Moment PathTiming::At(double t) const {
    t = std::clamp(t, 0.0, Duration());
    const size_t last = m_times.size() - 2;
    if (m_last > last || t < m_times[m_last] || t > m_times[m_last + 1]) {
        if (m_last < last && t >= m_times[m_last + 1] && t <= m_times[m_last + 2]) {
            ++m_last;
        } else {
            const auto after = std::upper_bound(m_times.begin(), m_times.end(), t);
            m_last = std::min(last, static_cast<size_t>(std::max<std::ptrdiff_t>(
                                        0, after - m_times.begin() - 1)));
        }
    }
    const size_t k = m_last;
    const double span = m_nodes[k + 1] - m_nodes[k];
    const double r0 = m_rates[k], r1 = m_rates[k + 1];
    const double change = span > 0 ? (r1 * r1 - r0 * r0) / (2 * span) : 0;
    const double tau = t - m_times[k];
    Moment moment;
    moment.s = std::clamp(m_nodes[k] + tau * (r0 + 0.5 * change * tau), m_nodes[k], m_nodes[k + 1]);
    moment.rate = std::max(0.0, r0 + change * tau);
    moment.change = change;
    return moment;
}

double PathTiming::TimeOf(double s) const {
    s = std::clamp(s, 0.0, PathDuration());
    const auto after = std::upper_bound(m_nodes.begin(), m_nodes.end(), s);
    const size_t k = std::min(m_nodes.size() - 2,
                              static_cast<size_t>(std::max<std::ptrdiff_t>(0, after - m_nodes.begin() - 1)));
    const double span = m_nodes[k + 1] - m_nodes[k];
    if (span <= 0) return m_times[k];
    // ṡ² is linear in s over the piece: the time is the distance over the mean rate.
    const double r0 = m_rates[k];
    const double r1 = m_rates[k + 1];
    const double r = std::sqrt(std::max(0.0, r0 * r0 + (r1 * r1 - r0 * r0) * (s - m_nodes[k]) / span));
    return m_times[k] + (r0 + r > 0 ? 2 * (s - m_nodes[k]) / (r0 + r) : 0);
}

PathTiming FastestTiming(const CTrajectoryPreview& path, const TimingLimits& limits) {
    const std::vector<CubicSegment>& segments = path.GetSegments();
    const double total = path.GetEndTime();

    // The grid, and for each interval the segment that holds it.
    std::vector<double> nodes = {0};
    std::vector<size_t> holder;
    for (size_t i = 0; i < segments.size(); ++i) {
        const CubicSegment& segment = segments[i];
        const int parts = std::max(kLeastIntervalsPerSegment,
                                   static_cast<int>(std::ceil(kGridIntervals * segment.duration / total)));
        for (int j = 1; j <= parts; ++j) {
            nodes.push_back(j == parts ? segment.startTime + segment.duration
                                       : segment.startTime + segment.duration * j / parts);
            holder.push_back(i);
        }
    }
    const size_t count = nodes.size();

    // The bound on x = ṡ² at each node from the intervals on both sides.
    std::vector<double> bound(count, kHighestRateSquared);
    for (size_t k = 0; k + 1 < count; ++k) {
        const CubicSegment& segment = segments[holder[k]];
        const double from = nodes[k] - segment.startTime, to = nodes[k + 1] - segment.startTime;
        double x = kHighestRateSquared;
        if (limits.neverFaster || StandsStill(segment)) x = 1;
        if (limits.maxSpeed) {
            const double speed = LargestSpeed(segment, from, to);
            if (speed > 0) x = std::min(x, (*limits.maxSpeed / speed) * (*limits.maxSpeed / speed));
        }
        if (limits.maxJerk && segment.Jerk() != 0) {
            x = std::min(x, std::pow(*limits.maxJerk / std::abs(segment.Jerk()), 2.0 / 3.0));
        }
        // Where the path momentarily stands still, only ṡ² bends it: a = q''·ṡ².
        if (limits.maxAcceleration) {
            for (const double tau : {from, to}) {
                const double curvature = std::abs(segment.AccelerationAt(tau));
                if (segment.VelocityAt(tau) == 0 && curvature > 0) {
                    x = std::min(x, *limits.maxAcceleration / curvature);
                }
            }
        }
        bound[k] = std::min(bound[k], x);
        bound[k + 1] = std::min(bound[k + 1], x);
    }

    // Over interval k, s̈ = u is constant and the acceleration q'·u + q''·x is held at its start:
    // u in [(−A − b·x)/a, (A − b·x)/a] with a = |q'|, b = q''·sign(q').
    const auto slopes = [&](size_t k, double& a, double& b) {
        const CubicSegment& segment = segments[holder[k]];
        const double tau = nodes[k] - segment.startTime;
        const double q1 = segment.VelocityAt(tau);
        a = std::abs(q1);
        b = q1 < 0 ? -segment.AccelerationAt(tau) : segment.AccelerationAt(tau);
    };
    // Backward: the most x at each node from which the pace can still come down to every
    // later bound.
    std::vector<double> reachable = bound;
    if (limits.maxAcceleration) {
        const double A = *limits.maxAcceleration;
        for (size_t k = count - 1; k-- > 0;) {
            double a = 0, b = 0;
            slopes(k, a, b);
            if (a == 0) continue;
            const double span = nodes[k + 1] - nodes[k];
            const double coefficient = 1 - 2 * span * b / a;
            if (coefficient > 0) {
                reachable[k] =
                    std::min(reachable[k], (reachable[k + 1] + 2 * span * A / a) / coefficient);
            }
        }
    }
    // Forward: as fast as the acceleration lets the pace grow, never beyond what is reachable.
    std::vector<double> x(count);
    x[0] = reachable[0];
    for (size_t k = 0; k + 1 < count; ++k) {
        const double span = nodes[k + 1] - nodes[k];
        double next = reachable[k + 1];
        if (limits.maxAcceleration) {
            double a = 0, b = 0;
            slopes(k, a, b);
            if (a > 0) next = std::min(next, x[k] + 2 * span * (*limits.maxAcceleration - b * x[k]) / a);
        }
        x[k + 1] = std::max(0.0, next);
    }
    std::vector<double> rates(count);
    for (size_t k = 0; k < count; ++k) rates[k] = std::sqrt(x[k]);
    // Two neighbouring nodes at rest would never be passed.
    for (size_t k = 0; k + 1 < count; ++k) {
        if (rates[k] == 0 && rates[k + 1] == 0) rates[k + 1] = std::sqrt(bound[k + 1]) * 1e-6;
    }
    return PathTiming::FromRates(std::move(nodes), std::move(rates));
}
