// The segments of a motion whose preview goes beyond the drive's limits.
#pragma once

#include <vector>

#include "MotionFigures.h"
#include "MotionLimits.h"
#include "MotionQuantity.h"

struct LimitViolation {
    MotionQuantity quantity = MotionQuantity::Speed;  // speed, acceleration or jerk
    int segment = 0;                                  // joins points segment and segment + 1
    double value = 0;  // the segment's peak, IU per time IU (squared, cubed)
    double limit = 0;
    double time = 0;  // where the peak lies (a jerk: where its segment starts), time IU
};

// Every segment whose peak exceeds a limit, by segment: speed, acceleration, jerk.
std::vector<LimitViolation> FindLimitViolations(const MotionFigures& figures,
                                                const MotionLimits& limits);
