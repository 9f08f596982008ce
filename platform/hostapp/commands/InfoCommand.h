// travex-host info: what the module says about itself and about the setup.
#pragma once

#include "commands/HostCommand.h"

HostCommand AddInfoCommand(CLI::App& app, const HostOptions& options);
