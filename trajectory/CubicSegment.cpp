#include "CubicSegment.h"

#include <algorithm>
#include <cmath>

CubicSegment CubicSegment::Hermite(double startTime, double duration, double p0, double p1,
                                   double v0, double v1) {
    const double average = (p1 - p0) / duration;
    CubicSegment segment;
    segment.startTime = startTime;
    segment.duration = duration;
    segment.p0 = p0;
    segment.v0 = v0;
    segment.c2 = (3 * average - 2 * v0 - v1) / duration;
    segment.c3 = (v0 + v1 - 2 * average) / (duration * duration);
    return segment;
}

SegmentExtremum CubicSegment::PeakSpeed() const {
    SegmentExtremum peak{std::abs(v0), 0};
    const double atEnd = std::abs(VelocityAt(duration));
    if (atEnd > peak.value) peak = {atEnd, duration};
    if (c3 != 0) {
        const double turn = -c2 / (3 * c3);
        if (turn > 0 && turn < duration) {
            const double inside = std::abs(VelocityAt(turn));
            if (inside > peak.value) peak = {inside, turn};
        }
    }
    return peak;
}

SegmentExtremum CubicSegment::PeakAcceleration() const {
    const double atStart = std::abs(AccelerationAt(0));
    const double atEnd = std::abs(AccelerationAt(duration));
    return atEnd > atStart ? SegmentExtremum{atEnd, duration} : SegmentExtremum{atStart, 0};
}

double CubicSegment::TotalTravel() const {
    // The velocity 3·c3·τ² + 2·c2·τ + v0 changes sign at most twice.
    double stops[2];
    int count = 0;
    const double a = 3 * c3, b = 2 * c2, c = v0;
    if (a == 0) {
        if (b != 0) stops[count++] = -c / b;
    } else {
        const double discriminant = b * b - 4 * a * c;
        if (discriminant > 0) {
            // The form that does not cancel when b dominates.
            const double q = -0.5 * (b + std::copysign(std::sqrt(discriminant), b));
            stops[count++] = q / a;
            if (q != 0) stops[count++] = c / q;
        }
    }
    std::sort(stops, stops + count);
    double travel = 0;
    double from = 0;
    for (int i = 0; i < count; ++i) {
        if (stops[i] <= from || stops[i] >= duration) continue;
        travel += std::abs(PositionAt(stops[i]) - PositionAt(from));
        from = stops[i];
    }
    return travel + std::abs(PositionAt(duration) - PositionAt(from));
}
