// The text of a motion profile: one segment a line, `#` starts a comment, values in the setup's
// units (docs/motion-design.md):
//     LAW DISTANCE POSITION-UNIT DURATION TIME-UNIT     cycloidal 10 rot 0.5 s
//     dwell DURATION TIME-UNIT                          dwell 100 ms
#pragma once

#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "MotionProfile.h"

enum class ProfileUnitKind { Position, Time };

// The units a profile may name; the caller knows them (a setup's), this library does not.
struct ProfileUnits {
    // IU in one of the named unit, or nothing where there is no such unit.
    std::function<std::optional<double>(ProfileUnitKind, std::string_view)> iuPerUnit;
    // The names there are, for messages: "rot, deg, IU".
    std::string positionNames;
    std::string timeNames;
};

// What the tables that are to follow a profile can hold; a profile beyond them is refused at
// once, before any point is placed.
struct ProfileBounds {
    // The latest time of a table, time IU.
    double longestIU = std::numeric_limits<double>::infinity();
    // The largest position step from one point to the next, IU.
    double largestStepIU = std::numeric_limits<double>::infinity();
};

// Reads a profile. The end of every segment is moved to the nearest whole time IU, since the
// drive's table can place a point nowhere else. False with "FILE:LINE: message" (FILE is
// `fileName`) at the first fault, and `profile` is left untouched.
bool ParseMotionProfile(std::string_view text, const std::string& fileName,
                        const ProfileUnits& units, MotionProfile& profile, std::string& error,
                        const ProfileBounds& bounds = {});
