// What a drive can do at most, as a setup states it: the bounds that a motion's preview is
// checked against. Each may be absent.
#pragma once

#include <optional>

struct CMC_DriveLimits {
    std::optional<double> maxSpeed;         // IU per time IU
    std::optional<double> maxAcceleration;  // IU per time IU squared
    std::optional<double> maxJerk;          // IU per time IU cubed
};
