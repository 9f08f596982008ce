// A motion profile read from a file, in the units of the session's setup: what design and the
// --profile of show and plot read.
#pragma once

#include <DriveSetup.h>
#include <MotionProfile.h>

#include <string>
#include <string_view>

// Reads the profile at `path` ("-" for standard input). False with the message otherwise:
// "FILE:LINE: why" for a fault in the text, so that an editor can jump to it. A profile longer
// than a motion can hold, or faster than a table can step, is such a fault.
// `positionUnit` and `timeUnit`, when given, receive the setup's units of the first that the
// profile's lines name (left as they are where it names none).
bool ReadMotionProfile(const std::string& path, const CDriveSetup& setup, MotionProfile& profile,
                       std::string& error, CMC_Unit* positionUnit = nullptr,
                       CMC_Unit* timeUnit = nullptr);

// The same for a profile's text, named `name` in messages.
bool ParseMotionProfileText(std::string_view text, const std::string& name,
                            const CDriveSetup& setup, MotionProfile& profile, std::string& error,
                            CMC_Unit* positionUnit = nullptr, CMC_Unit* timeUnit = nullptr);
