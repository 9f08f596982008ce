#include "PreviewEnvelope.h"

#include <algorithm>
#include <cmath>

namespace {

// Where the quantity may turn inside a segment: the zeros of its derivative.
int TurningPoints(const CubicSegment& segment, MotionQuantity quantity, double turns[2]) {
    int count = 0;
    if (quantity == MotionQuantity::Speed) {
        if (segment.c3 != 0) turns[count++] = -segment.c2 / (3 * segment.c3);
    } else if (quantity == MotionQuantity::Position) {
        const double a = 3 * segment.c3, b = 2 * segment.c2, c = segment.v0;
        if (a == 0) {
            if (b != 0) turns[count++] = -c / b;
        } else {
            const double discriminant = b * b - 4 * a * c;
            if (discriminant >= 0) {
                const double q = -0.5 * (b + std::copysign(std::sqrt(discriminant), b));
                turns[count++] = q / a;
                if (q != 0) turns[count++] = c / q;
            }
        }
    }
    return count;
}

}  // namespace

double SegmentValue(const CubicSegment& segment, MotionQuantity quantity, double tau) {
    switch (quantity) {
        case MotionQuantity::Position:
            return segment.PositionAt(tau);
        case MotionQuantity::Speed:
            return segment.VelocityAt(tau);
        case MotionQuantity::Acceleration:
            return segment.AccelerationAt(tau);
        case MotionQuantity::Jerk:
            return segment.Jerk();
    }
    return 0;
}

double PreviewValueAt(const TrajectoryPreview& preview, MotionQuantity quantity, double t) {
    // Before the start and after the end the drive rests.
    const bool outside = t < preview.GetStartTime() || t > preview.GetEndTime();
    if (outside && quantity != MotionQuantity::Position) return 0;
    const CubicSegment& segment = preview.SegmentAt(t);
    return SegmentValue(segment, quantity,
                        std::clamp(t - segment.startTime, 0.0, segment.duration));
}

std::vector<EnvelopeColumn> PreviewEnvelope(const TrajectoryPreview& preview,
                                            MotionQuantity quantity, double from, double to,
                                            int columns) {
    std::vector<EnvelopeColumn> envelope(static_cast<size_t>(std::max(columns, 0)));
    if (envelope.empty() || preview.GetSegments().empty() || !(to > from)) return envelope;
    const double width = (to - from) / columns;
    for (int c = 0; c < columns; ++c) {
        EnvelopeColumn& column = envelope[static_cast<size_t>(c)];
        column.first = PreviewValueAt(preview, quantity, from + c * width);
        column.last =
            PreviewValueAt(preview, quantity, c + 1 == columns ? to : from + (c + 1) * width);
        column.low = std::min(column.first, column.last);
        column.high = std::max(column.first, column.last);
    }
    const auto include = [&](double t, double value) {
        if (t < from || t > to) return;
        const int c = std::min(columns - 1, static_cast<int>((t - from) / width));
        EnvelopeColumn& column = envelope[static_cast<size_t>(c)];
        column.low = std::min(column.low, value);
        column.high = std::max(column.high, value);
    };
    for (const CubicSegment& segment : preview.GetSegments()) {
        // Both sides of each point: the acceleration jumps there.
        include(segment.startTime, SegmentValue(segment, quantity, 0));
        include(segment.startTime + segment.duration,
                SegmentValue(segment, quantity, segment.duration));
        double turns[2];
        const int count = TurningPoints(segment, quantity, turns);
        for (int i = 0; i < count; ++i) {
            if (turns[i] > 0 && turns[i] < segment.duration) {
                include(segment.startTime + turns[i], SegmentValue(segment, quantity, turns[i]));
            }
        }
    }
    return envelope;
}
