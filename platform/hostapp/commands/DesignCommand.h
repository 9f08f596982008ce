// travex-host design: a motion from a profile of motion laws, its points placed on the drive's
// grid, the fewest found within a tolerance or at uniform steps.
#pragma once

#include "commands/HostCommand.h"

HostCommand AddDesignCommand(CLI::App& app, const HostOptions& options);
