#include "LimitViolations.h"

#include <cmath>

std::vector<LimitViolation> FindLimitViolations(const MotionFigures& figures,
                                                const MotionLimits& limits) {
    std::vector<LimitViolation> violations;
    for (size_t i = 0; i < figures.segments.size(); ++i) {
        const SegmentFigures& segment = figures.segments[i];
        const int index = static_cast<int>(i);
        if (limits.maxSpeed && segment.peakSpeed > *limits.maxSpeed) {
            violations.push_back({MotionQuantity::Speed, index, segment.peakSpeed, *limits.maxSpeed,
                                  segment.peakSpeedTime});
        }
        if (limits.maxAcceleration && segment.peakAcceleration > *limits.maxAcceleration) {
            violations.push_back({MotionQuantity::Acceleration, index, segment.peakAcceleration,
                                  *limits.maxAcceleration, segment.peakAccelerationTime});
        }
        const double jerk = std::abs(segment.jerk);
        if (limits.maxJerk && jerk > *limits.maxJerk) {
            violations.push_back(
                {MotionQuantity::Jerk, index, jerk, *limits.maxJerk, segment.startTime});
        }
    }
    return violations;
}
