// A speed, an acceleration or a jerk as a person writes it: a positive number, then optionally
// its units, "50 rot/s", "2000 deg/s^2" (or "deg/s²"), "1e5 rot/s^3", with the setup's unit
// names; a speed also in "rpm" where the setup has rot. A bare number is in `defaults`' units.
#pragma once

#include <MotionQuantity.h>

#include <string>
#include <string_view>

#include "DriveSetup.h"
#include "PreviewUnits.h"

// The value of a speed, an acceleration or a jerk (`kind`, never a position) in IU per time IU
// (squared for an acceleration, cubed for a jerk). False otherwise, with `error` saying what is
// wrong as the end of a sentence about the text: "is not a positive number".
bool ParseRate(std::string_view text, MotionQuantity kind, const CDriveSetup& setup,
               const PreviewUnits& defaults, double& perTimeIU, std::string& error);
