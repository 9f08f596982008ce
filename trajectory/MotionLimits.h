// What a drive can do at most: the bounds a motion's preview is checked against and a table is
// retimed to. Each may be absent.
#pragma once

#include <optional>

struct MotionLimits {
    std::optional<double> maxSpeed;         // IU per time IU
    std::optional<double> maxAcceleration;  // IU per time IU squared
    std::optional<double> maxJerk;          // IU per time IU cubed

    bool Any() const { return maxSpeed || maxAcceleration || maxJerk; }
};
