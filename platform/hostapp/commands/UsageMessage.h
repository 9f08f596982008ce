// What travex-host says about its own command line: help, and usage errors in its own words
// with a hint to the help that fits.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

// Prints "travex-host: WHAT (see travex-host [COMMAND] --help)" on standard error and returns
// kExitFailure.
int ReportUsageError(CLI::App& app, const CLI::ParseError& failure);

// The commands (no topic), or one command's options; kExitFailure for an unknown topic.
int ShowHelp(CLI::App& app, const std::string& topic);
