// travex-host defaults: the parameter text of a new motion of the module's type.
#pragma once

#include "commands/HostCommand.h"

HostCommand AddDefaultsCommand(CLI::App& app, const HostOptions& options);
