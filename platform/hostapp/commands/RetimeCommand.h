// travex-host retime: a motion's times changed so that its preview holds the drive's limits,
// its positions kept; the result is checked by the module before it is written.
#pragma once

#include "commands/HostCommand.h"

HostCommand AddRetimeCommand(CLI::App& app, const HostOptions& options);
