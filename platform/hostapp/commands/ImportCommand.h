// travex-host import: a new motion from a file of points in one step, made by the module's own
// editor: its import button, the options a user would set, and OK.
#pragma once

#include "commands/HostCommand.h"

HostCommand AddImportCommand(CLI::App& app, const HostOptions& options);
