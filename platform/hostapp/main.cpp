// travex-host: the stand-in host application. It plays the host's part for a motion-type
// module: builds the drive setup and a motion, supplies the host's resources, loads the module
// and calls its exports from the command line.
#include <afx.h>
#include <signal.h>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <vector>

#include "commands/DefaultsCommand.h"
#include "commands/DesignCommand.h"
#include "commands/EditCommand.h"
#include "commands/FitCommand.h"
#include "commands/HostCommand.h"
#include "commands/ImportCommand.h"
#include "commands/InfoCommand.h"
#include "commands/PlotCommand.h"
#include "commands/RetimeCommand.h"
#include "commands/ShowCommand.h"
#include "commands/TranslateCommand.h"
#include "commands/UsageMessage.h"
#include "commands/VersionCommand.h"
#include "files/ExitStatus.h"

namespace {

// What a command printed on standard output is its result: a success whose output did not all
// get out is no success.
int EndStandardOutput(int status) {
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    if (flushed && !std::ferror(stdout)) return status;
    const int failure = flushed ? 0 : errno;
    if (status != kExitSuccess) return status;
    std::string message = "cannot write standard output";
    if (failure != 0) message += std::string(": ") + std::strerror(failure);
    return ReportFailure(message.c_str());
}

// Every subcommand, in the order that --help lists them.
constexpr AddHostCommandFn kCommands[] = {
    AddInfoCommand,   AddDefaultsCommand, AddTranslateCommand, AddEditCommand, AddImportCommand,
    AddDesignCommand, AddFitCommand,      AddRetimeCommand,    AddShowCommand, AddPlotCommand,
};

int Run(int argc, char** argv) {
#ifdef _WIN32
    // Texts pass through as bytes: text mode would read CR LF as LF and write CR CR LF.
    _setmode(0, _O_BINARY);
    _setmode(1, _O_BINARY);
    _setmode(2, _O_BINARY);
#else
    // Past a file-size limit a write fails (and is reported) instead of killing the process.
    signal(SIGXFSZ, SIG_IGN);
    // A reader that has seen enough (`| head`) must not cost the outputs: a write to a closed
    // pipe fails instead, the report stops there, and the work is finished.
    signal(SIGPIPE, SIG_IGN);
#endif

    CLI::App app(
        "Stand-in host for the Travex motion-type module: loads the module and calls "
        "its exports on a drive setup.",
        "travex-host");
    HostOptions options;
    app.add_option("--setup", options.setupPath,
                   "Drive setup file (INI); the built-in rotary drive when absent")
        ->type_name("FILE");
    app.add_option("--module", options.modulePath,
                   "The module to load; the Travex.so installed with travex-host when absent")
        ->type_name("FILE");
    bool version = false;
    app.add_flag("--version", version, "Show the versions of travex-host and of the module");
    app.require_subcommand(0, 1);
    // The global options may also follow the subcommand.
    app.fallthrough();

    std::vector<HostCommand> commands;
    for (AddHostCommandFn add : kCommands) commands.push_back(add(app, options));
    CLI::App* help = app.add_subcommand("help", "Show the commands, or what COMMAND takes");
    std::string helpTopic;
    help->add_option("command", helpTopic, "A command")->type_name("COMMAND");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& failure) {
        // --help is a parse "error" that succeeds.
        if (failure.get_exit_code() == 0) return app.exit(failure);
        return ReportUsageError(app, failure);
    }
    if (version) return ShowVersions(options);
    for (const HostCommand& command : commands) {
        if (command.subcommand->parsed()) return EndStandardOutput(command.run());
    }
    return EndStandardOutput(ShowHelp(app, helpTopic));
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        return ReportFailure(kOutOfMemory);
    } catch (CException* exception) {
        // One that no handler of the module took: the framework's memory or file failures.
        if (dynamic_cast<CMemoryException*>(exception)) {
            exception->Delete();
            return ReportFailure(kOutOfMemory);
        }
        char message[512];
        if (!exception->GetErrorMessage(message, sizeof message)) {
            std::snprintf(message, sizeof message, "an unexpected error of the framework");
        }
        exception->Delete();
        return ReportFailure(message);
    } catch (const std::exception& failure) {
        return ReportFailure(failure.what());
    }
}
