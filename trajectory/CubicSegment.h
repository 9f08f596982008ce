// One piece of a motion's preview: the position as a cubic polynomial of the time since the
// piece's start, p(τ) = p0 + v0·τ + c2·τ² + c3·τ³ for τ in [0, duration].
#pragma once

#include <cmath>

// The largest magnitude of a quantity over a piece and the time where it occurs.
struct SegmentExtremum {
    double value = 0;  // |quantity|
    double at = 0;     // time since the piece's start
};

// The times inside a piece where its velocity changes sign, ascending: at most two.
struct SegmentTurns {
    double at[2] = {0, 0};
    int count = 0;
    const double* begin() const { return at; }
    const double* end() const { return at + count; }
};

struct CubicSegment {
    double startTime = 0;
    double duration = 0;
    double p0 = 0;
    double v0 = 0;
    double c2 = 0;
    double c3 = 0;

    // The cubic that starts at (startTime, p0) with velocity v0 and ends duration later at p1
    // with velocity v1. Inline, with PeakAcceleration: a table of a million points makes and
    // measures a million of them.
    static CubicSegment Hermite(double startTime, double duration, double p0, double p1, double v0,
                                double v1) {
        const double average = (p1 - p0) / duration;
        return {startTime,
                duration,
                p0,
                v0,
                (3 * average - 2 * v0 - v1) / duration,
                (v0 + v1 - 2 * average) / (duration * duration)};
    }

    double PositionAt(double tau) const { return p0 + tau * (v0 + tau * (c2 + tau * c3)); }
    double VelocityAt(double tau) const { return v0 + tau * (2 * c2 + tau * 3 * c3); }
    double AccelerationAt(double tau) const { return 2 * c2 + 6 * c3 * tau; }
    // Constant within the piece: the acceleration is linear in τ.
    double Jerk() const { return 6 * c3; }

    // From the polynomial's derivatives, not from samples: the speed peaks at an end or where
    // the acceleration changes sign; the acceleration is linear, so it peaks at an end.
    SegmentExtremum PeakSpeed() const;
    SegmentExtremum PeakAcceleration() const {
        const double atStart = std::abs(AccelerationAt(0));
        const double atEnd = std::abs(AccelerationAt(duration));
        return atEnd > atStart ? SegmentExtremum{atEnd, duration} : SegmentExtremum{atStart, 0};
    }
    // Strictly between the piece's ends.
    SegmentTurns Turns() const;
    // The distance covered, counting every change of direction inside the piece.
    double TotalTravel() const;
};
