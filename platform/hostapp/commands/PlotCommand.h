// travex-host plot: a motion's preview drawn into an SVG, PNG or PDF file.
#pragma once

#include "commands/HostCommand.h"

HostCommand AddPlotCommand(CLI::App& app, const HostOptions& options);
