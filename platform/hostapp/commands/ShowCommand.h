// travex-host show: a motion's points with the preview's figures per segment, a summary and
// the segments that exceed the drive's limits; or the points as CSV for a spreadsheet.
#pragma once

#include "commands/HostCommand.h"

HostCommand AddShowCommand(CLI::App& app, const HostOptions& options);
