#include "CubicSegment.h"

#include <algorithm>
#include <cmath>

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
