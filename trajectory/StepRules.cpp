#include "StepRules.h"

#include <cmath>

std::vector<StepNearBound> FindStepsNearBounds(const MotionFigures& figures) {
    std::vector<StepNearBound> near;
    for (size_t i = 0; i < figures.segments.size(); ++i) {
        const SegmentFigures& segment = figures.segments[i];
        const int index = static_cast<int>(i);
        if (segment.timeStep >= kNearStepShare * kMaxTimeStepIU) {
            near.push_back({StepNearBound::Step::Time, index, segment.timeStep, kMaxTimeStepIU});
        }
        const double position = std::abs(segment.positionStep);
        if (position >= kNearStepShare * kMaxPositionStepIU) {
            near.push_back({StepNearBound::Step::Position, index, position, kMaxPositionStepIU});
        }
    }
    return near;
}
