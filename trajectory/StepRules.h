// The largest step a PT table may take from one point to the next: what the drive's operands
// hold (the time step as 16 bits unsigned, the position step as 32 bits signed), in IU.
#pragma once

#include <vector>

#include "MotionFigures.h"

inline constexpr double kMaxTimeStepIU = 65535;
inline constexpr double kMaxPositionStepIU = 2147483647;
// A step counts as near its bound from this share of it on.
inline constexpr double kNearStepShare = 0.9;

struct StepNearBound {
    enum class Step { Time, Position };
    Step step = Step::Time;
    int segment = 0;
    double value = 0;  // the step, IU (its magnitude for a position)
    double bound = 0;
};

// Every step of at least kNearStepShare of its bound, by segment, the time step first.
std::vector<StepNearBound> FindStepsNearBounds(const MotionFigures& figures);
