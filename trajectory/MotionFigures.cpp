#include "MotionFigures.h"

#include <algorithm>
#include <cmath>
#include <string>

SegmentFigures SegmentFigures::Of(const CubicSegment& segment, double positionStep) {
    SegmentFigures row;
    row.startTime = segment.startTime;
    row.timeStep = segment.duration;
    row.positionStep = positionStep;
    row.averageSpeed = row.positionStep / row.timeStep;
    row.totalTravel = segment.TotalTravel();
    const SegmentExtremum speed = segment.PeakSpeed();
    row.peakSpeed = speed.value;
    row.peakSpeedTime = segment.startTime + speed.at;
    const SegmentExtremum acceleration = segment.PeakAcceleration();
    row.peakAcceleration = acceleration.value;
    row.peakAccelerationTime = segment.startTime + acceleration.at;
    row.jerk = segment.Jerk();
    return row;
}

SegmentFigures MotionFigures::SegmentOf(const TrajectoryPreview& preview, size_t i) {
    const std::vector<double>& positions = preview.GetPositions();
    return SegmentFigures::Of(preview.GetSegments()[i], positions[i + 1] - positions[i]);
}

MotionFigures MotionFigures::Of(const TrajectoryPreview& preview, bool keepSegments) {
    MotionFigures figures;
    const std::vector<CubicSegment>& segments = preview.GetSegments();
    figures.points = preview.GetPointCount();
    if (segments.empty()) return figures;
    if (keepSegments) figures.segments.reserve(segments.size());
    figures.duration = preview.GetEndTime() - preview.GetStartTime();
    figures.smallestTimeStep = segments.front().duration;
    for (size_t i = 0; i < segments.size(); ++i) {
        const int index = static_cast<int>(i);
        const SegmentFigures row = SegmentOf(preview, i);
        figures.netTravel += row.positionStep;
        figures.totalTravel += row.totalTravel;
        if (row.peakSpeed > figures.peakSpeed.value) {
            figures.peakSpeed = {row.peakSpeed, row.peakSpeedTime, index};
        }
        if (row.peakAcceleration > figures.peakAcceleration.value) {
            figures.peakAcceleration = {row.peakAcceleration, row.peakAccelerationTime, index};
        }
        if (std::abs(row.jerk) > figures.peakJerk.value) {
            figures.peakJerk = {std::abs(row.jerk), row.startTime, index};
        }
        if (row.timeStep < figures.smallestTimeStep) {
            figures.smallestTimeStep = row.timeStep;
            figures.smallestTimeStepSegment = index;
        }
        if (keepSegments) figures.segments.push_back(row);
    }
    return figures;
}

// The segments come one at a time, as the preview makes them, and none is kept.
double MotionFigures::PeakAccelerationOf(const std::vector<double>& times,
                                         const std::vector<double>& positions) {
    if (!TrajectoryPreview::CheckPoints(times, positions, nullptr)) return 0;
    double peak = 0;
    TrajectoryPreview::ForEachSegment(times, positions, [&peak](const CubicSegment& segment) {
        peak = std::max(peak, segment.PeakAcceleration().value);
    });
    return peak;
}

double MotionFigures::PeakSpeedOf(const std::vector<double>& times,
                                  const std::vector<double>& positions) {
    if (!TrajectoryPreview::CheckPoints(times, positions, nullptr)) return 0;
    double peak = 0;
    TrajectoryPreview::ForEachSegment(times, positions, [&peak](const CubicSegment& segment) {
        peak = std::max(peak, segment.PeakSpeed().value);
    });
    return peak;
}
