// travex-host retime: a motion passed along the same path at a pace that holds the drive's
// limits, its points placed anew; the result is checked by the module before it is written.
#pragma once

#include "commands/HostCommand.h"

HostCommand AddRetimeCommand(CLI::App& app, const HostOptions& options);
