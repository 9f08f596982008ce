// travex-host fit: a dense table (a motion, or a file of points as import reads it) thinned to
// the fewest points on the drive's grid whose preview keeps within a tolerance of its own.
#pragma once

#include "commands/HostCommand.h"

HostCommand AddFitCommand(CLI::App& app, const HostOptions& options);
