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

// The moving average of x (linear between nodes) over a window of `width` of the path, narrowed
// near the ends so that it stays centred.
std::vector<double> Smoothed(const std::vector<double>& nodes, const std::vector<double>& x,
                             double width) {
    const size_t count = nodes.size();
    std::vector<double> integral(count, 0);
    for (size_t k = 1; k < count; ++k) {
        integral[k] = integral[k - 1] + 0.5 * (x[k - 1] + x[k]) * (nodes[k] - nodes[k - 1]);
    }
    // The integral up to s, x linear between nodes.
    size_t cursor = 0;
    const auto integralAt = [&](double s) {
        while (cursor > 0 && nodes[cursor] > s) --cursor;
        while (cursor + 2 < count && nodes[cursor + 1] <= s) ++cursor;
        const double span = nodes[cursor + 1] - nodes[cursor];
        const double into = std::clamp(s - nodes[cursor], 0.0, span);
        const double slope = span > 0 ? (x[cursor + 1] - x[cursor]) / span : 0;
        return integral[cursor] + into * (x[cursor] + 0.5 * slope * into);
    };
    std::vector<double> smoothed(count);
    const double end = nodes.back();
    for (size_t k = 0; k < count; ++k) {
        const double half = std::min({0.5 * width, nodes[k], end - nodes[k]});
        if (half <= 0) {
            smoothed[k] = x[k];
            continue;
        }
        const double high = integralAt(nodes[k] + half);
        const double low = integralAt(nodes[k] - half);
        // Never above the sweep's own: only the pace's peaks are rounded off, and what the
        // sweep held nowhere grows.
        smoothed[k] = std::min(x[k], (high - low) / (2 * half));
    }
    return smoothed;
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
    timing.Index();
    return timing;
}

void PathTiming::Index() {
    const size_t pieces = m_times.size() - 1;
    m_changes.assign(pieces, 0);
    for (size_t k = 0; k < pieces; ++k) {
        const double span = m_nodes[k + 1] - m_nodes[k];
        const double r0 = m_rates[k], r1 = m_rates[k + 1];
        if (span > 0) m_changes[k] = (r1 * r1 - r0 * r0) / (2 * span);
    }
    m_span = Duration() / static_cast<double>(pieces);
    m_pieceAt.assign(pieces, 0);
    size_t k = 0;
    for (size_t b = 0; b < pieces; ++b) {
        const double t = m_span * static_cast<double>(b);
        while (k + 1 < pieces && m_times[k + 1] <= t) ++k;
        m_pieceAt[b] = k;
    }
}

PathTiming PathTiming::Slower(double factor) const {
    PathTiming timing = *this;
    for (double& rate : timing.m_rates) rate /= factor;
    for (double& time : timing.m_times) time *= factor;
    timing.m_span *= factor;
    for (double& change : timing.m_changes) change /= factor * factor;
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
            const double bucket = m_span > 0 ? std::floor(t / m_span) : 0;
            size_t k = m_pieceAt[static_cast<size_t>(
                std::clamp(bucket, 0.0, static_cast<double>(m_pieceAt.size() - 1)))];
            while (k < last && m_times[k + 1] <= t) ++k;
            m_last = k;
        }
    }
    const size_t k = m_last;
    const double r0 = m_rates[k];
    const double change = m_changes[k];
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
    const size_t k =
        std::min(m_nodes.size() - 2,
                 static_cast<size_t>(std::max<std::ptrdiff_t>(0, after - m_nodes.begin() - 1)));
    const double span = m_nodes[k + 1] - m_nodes[k];
    if (span <= 0) return m_times[k];
    // ṡ² is linear in s over the piece: the time is the distance over the mean rate.
    const double r0 = m_rates[k];
    const double r1 = m_rates[k + 1];
    const double r =
        std::sqrt(std::max(0.0, r0 * r0 + (r1 * r1 - r0 * r0) * (s - m_nodes[k]) / span));
    return m_times[k] + (r0 + r > 0 ? 2 * (s - m_nodes[k]) / (r0 + r) : 0);
}

PathTiming FastestTiming(const TrajectoryPreview& path, const TimingLimits& limits) {
    const std::vector<CubicSegment>& segments = path.GetSegments();
    const double total = path.GetEndTime();

    // The grid, and for each interval the segment that holds it.
    std::vector<double> nodes = {0};
    std::vector<size_t> holder;
    for (size_t i = 0; i < segments.size(); ++i) {
        const CubicSegment& segment = segments[i];
        const int parts =
            std::max(kLeastIntervalsPerSegment,
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
        bound[k] = std::min(bound[k], x);
        bound[k + 1] = std::min(bound[k + 1], x);
    }

    // Over interval k, s̈ = u is constant, and the acceleration q'·u + q''·ṡ² is held at its
    // ends and its middle: linear bounds on u for a given x at its start.
    const double A = limits.maxAcceleration.value_or(0);
    const auto paces = [&](size_t k, double x, double reach, double& low, double& high) {
        const double span = nodes[k + 1] - nodes[k];
        low = -x / (2 * span);
        high = (reach - x) / (2 * span);
        if (!limits.maxAcceleration) return;
        const CubicSegment& segment = segments[holder[k]];
        const double from = nodes[k] - segment.startTime, to = nodes[k + 1] - segment.startTime;
        const double middle = 0.5 * (from + to);
        const double q1[3] = {segment.VelocityAt(from), segment.VelocityAt(middle),
                              segment.VelocityAt(to)};
        const double q2[3] = {segment.AccelerationAt(from), segment.AccelerationAt(middle),
                              segment.AccelerationAt(to)};
        // ṡ² = x + 2·σ·u at σ into the interval; its middle too, where a pace that changes
        // fast near rest would otherwise overshoot unseen.
        const double alpha[3] = {q1[0], q1[1] + span * q2[1], q1[2] + 2 * span * q2[2]};
        for (int end = 0; end < 3; ++end) {
            const double beta = q2[end] * x;
            if (alpha[end] > 0) {
                low = std::max(low, (-A - beta) / alpha[end]);
                high = std::min(high, (A - beta) / alpha[end]);
            } else if (alpha[end] < 0) {
                low = std::max(low, (A - beta) / alpha[end]);
                high = std::min(high, (-A - beta) / alpha[end]);
            } else if (std::abs(beta) > A) {
                high = low - 1;
            }
        }
    };
    // Backward: the most x at each node from which the pace can still keep every later bound.
    // The x that can go on form an interval from 0: found by bisection where the bound cannot.
    std::vector<double> reachable = bound;
    for (size_t k = count - 1; k-- > 0;) {
        double low = 0, high = 0;
        const auto goesOn = [&](double x) {
            paces(k, x, reachable[k + 1], low, high);
            return low <= high;
        };
        if (goesOn(reachable[k])) continue;
        double good = 0, bad = reachable[k];
        for (int round = 0; round < 60 && bad - good > 1e-12 * bad; ++round) {
            const double middle = 0.5 * (good + bad);
            (goesOn(middle) ? good : bad) = middle;
        }
        reachable[k] = good;
    }
    // Forward: the fastest pace that stays within what can go on.
    std::vector<double> x(count);
    x[0] = reachable[0];
    for (size_t k = 0; k + 1 < count; ++k) {
        const double span = nodes[k + 1] - nodes[k];
        double low = 0, high = 0;
        paces(k, x[k], reachable[k + 1], low, high);
        x[k + 1] = std::clamp(x[k] + 2 * span * high, 0.0, reachable[k + 1]);
    }
    if (limits.smoothing > 0) x = Smoothed(nodes, x, limits.smoothing * total);
    std::vector<double> rates(count);
    for (size_t k = 0; k < count; ++k) rates[k] = std::sqrt(x[k]);
    // Two neighbouring nodes at rest would never be passed.
    for (size_t k = 0; k + 1 < count; ++k) {
        if (rates[k] == 0 && rates[k + 1] == 0) rates[k + 1] = std::sqrt(bound[k + 1]) * 1e-6;
    }
    return PathTiming::FromRates(std::move(nodes), std::move(rates));
}
