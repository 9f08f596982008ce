#include "MotionFigures.h"

#include <algorithm>
#include <cmath>
#include <string>

MotionFigures MotionFigures::Of(const CTrajectoryPreview& preview) {
    MotionFigures figures;
    const std::vector<CubicSegment>& segments = preview.GetSegments();
    const std::vector<double>& positions = preview.GetPositions();
    figures.points = preview.GetPointCount();
    if (segments.empty()) return figures;
    figures.segments.reserve(segments.size());
    figures.duration = preview.GetEndTime() - preview.GetStartTime();
    figures.smallestTimeStep = segments.front().duration;
    for (size_t i = 0; i < segments.size(); ++i) {
        const CubicSegment& segment = segments[i];
        const int index = static_cast<int>(i);
        SegmentFigures row;
        row.startTime = segment.startTime;
        row.timeStep = segment.duration;
        // From the points, not the polynomial's end, so that the steps are the table's own.
        row.positionStep = positions[i + 1] - positions[i];
        row.averageSpeed = row.positionStep / row.timeStep;
        row.totalTravel = segment.TotalTravel();
        const SegmentExtremum speed = segment.PeakSpeed();
        row.peakSpeed = speed.value;
        row.peakSpeedTime = segment.startTime + speed.at;
        const SegmentExtremum acceleration = segment.PeakAcceleration();
        row.peakAcceleration = acceleration.value;
        row.peakAccelerationTime = segment.startTime + acceleration.at;
        row.jerk = segment.Jerk();

        figures.netTravel += row.positionStep;
        figures.totalTravel += row.totalTravel;
        if (row.peakSpeed > figures.peakSpeed.value) {
            figures.peakSpeed = {row.peakSpeed, row.peakSpeedTime, index};
        }
        if (row.peakAcceleration > figures.peakAcceleration.value) {
            figures.peakAcceleration = {row.peakAcceleration, row.peakAccelerationTime, index};
        }
        if (std::abs(row.jerk) > figures.peakJerk.value) {
            figures.peakJerk = {std::abs(row.jerk), segment.startTime, index};
        }
        if (row.timeStep < figures.smallestTimeStep) {
            figures.smallestTimeStep = row.timeStep;
            figures.smallestTimeStepSegment = index;
        }
        figures.segments.push_back(row);
    }
    return figures;
}

// A point's velocity depends only on its neighbours, so a window's segments away from its ends
// are the whole table's: each window reaches a point beyond both ends of the segments it
// answers for.
double MotionFigures::PeakAccelerationOf(const std::vector<double>& times,
                                         const std::vector<double>& positions) {
    constexpr size_t kWindow = 1 << 16;
    const size_t count = std::min(times.size(), positions.size());
    double peak = 0;
    CTrajectoryPreview preview;
    std::string error;
    for (size_t first = 0; first + 1 < count; first += kWindow) {
        const size_t from = first == 0 ? 0 : first - 1;
        const size_t to = std::min(count, first + kWindow + 2);
        const std::vector<double> windowTimes(times.begin() + from, times.begin() + to);
        const std::vector<double> windowPositions(positions.begin() + from, positions.begin() + to);
        if (!preview.Build(windowTimes, windowPositions, error)) return 0;
        const size_t last = std::min(first + kWindow, count - 1);
        for (size_t segment = first; segment < last; ++segment) {
            peak = std::max(peak, preview.GetSegments()[segment - from].PeakAcceleration().value);
        }
    }
    return peak;
}
