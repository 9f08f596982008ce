// travex-host translate: a motion's parameter text into its motion-language program.
#pragma once

#include "commands/HostCommand.h"

HostCommand AddTranslateCommand(CLI::App& app, const HostOptions& options);
