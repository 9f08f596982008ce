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

SegmentTurns CubicSegment::Turns() const {
    // The velocity 3·c3·τ² + 2·c2·τ + v0 changes sign at most twice.
    double roots[2];
    int count = 0;
    const double a = 3 * c3, b = 2 * c2, c = v0;
    if (a == 0) {
        if (b != 0) roots[count++] = -c / b;
    } else {
        const double discriminant = b * b - 4 * a * c;
        if (discriminant > 0) {
            // The form that does not cancel when b dominates.
            const double q = -0.5 * (b + std::copysign(std::sqrt(discriminant), b));
            roots[count++] = q / a;
            if (q != 0) roots[count++] = c / q;
        }
    }
    std::sort(roots, roots + count);
    SegmentTurns turns;
    for (int i = 0; i < count; ++i) {
        if (roots[i] > 0 && roots[i] < duration) turns.at[turns.count++] = roots[i];
    }
    return turns;
}

double CubicSegment::TotalTravel() const {
    double travel = 0;
    double from = 0;
    for (const double turn : Turns()) {
        travel += std::abs(PositionAt(turn) - PositionAt(from));
        from = turn;
    }
    return travel + std::abs(PositionAt(duration) - PositionAt(from));
}
