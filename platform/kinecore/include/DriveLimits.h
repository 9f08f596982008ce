// What a drive can do at most, as a setup states it: the bounds that a motion's preview is
// checked against. Each may be absent.
#pragma once

#include <optional>
#include <string>

struct CMC_DriveLimits {
    std::optional<double> maxSpeed;         // IU per time IU
    std::optional<double> maxAcceleration;  // IU per time IU squared
    std::optional<double> maxJerk;          // IU per time IU cubed
    // Each as the setup wrote it ("500 mm/s"; a bare number with the units it was read in), so
    // that reports can speak the user's units; empty when absent.
    std::string maxSpeedText;
    std::string maxAccelerationText;
    std::string maxJerkText;
};
