// A subcommand of travex-host. Each one is a single function that puts the subcommand and its
// options on the command line and hands back what runs when the user chose it; main() keeps
// the list of these functions.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>

#include "HostSession.h"

struct HostCommand {
    CLI::App* subcommand = nullptr;  // parsed() tells whether the user chose it
    std::function<int()> run;        // returns the exit status
};

// `options` are the command's global options; they are filled in when the line is parsed, so
// a command reads them only when it runs.
using AddHostCommandFn = HostCommand (*)(CLI::App& app, const HostOptions& options);
