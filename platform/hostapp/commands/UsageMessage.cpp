#include "commands/UsageMessage.h"

#include <cstdio>

#include "files/ExitStatus.h"

namespace {

// The command that the line chose, if the parse got that far.
CLI::App* ChosenCommand(CLI::App& app) {
    for (CLI::App* command : app.get_subcommands({})) {
        if (command->parsed()) return command;
    }
    return nullptr;
}

std::string After(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0 ? text.substr(prefix.size()) : std::string();
}

// CLI11's sentences, said the way the host's other messages are.
// CLI11 lists the arguments left over last to first; they are said in the order typed. They
// are left with the command, or with the line when the command passed them on.
std::string InTypedOrder(const CLI::App& app, const CLI::App* command, const std::string& extras) {
    for (const CLI::App* owner : {command, &app}) {
        if (!owner) continue;
        const std::vector<std::string> left = owner->remaining(true);
        if (CLI::detail::rjoin(left, " ") == extras) return CLI::detail::join(left, " ");
    }
    return extras;
}

std::string InHostWords(const CLI::ParseError& failure, const CLI::App& app,
                        const CLI::App* command) {
    const std::string what = failure.what();
    if (dynamic_cast<const CLI::ExtrasError*>(&failure)) {
        std::string extras = After(what, "The following argument was not expected: ");
        if (extras.empty()) extras = After(what, "The following arguments were not expected: ");
        extras = InTypedOrder(app, command, extras);
        if (!command) return "unknown command \"" + extras + "\"";
        return command->get_name() + " does not take \"" + extras + "\"";
    }
    if (dynamic_cast<const CLI::ValidationError*>(&failure)) {
        // "--host-address: takes a whole number ..." reads as one sentence without the colon.
        const size_t colon = what.find(": takes ");
        if (colon != std::string::npos) return what.substr(0, colon) + what.substr(colon + 1);
    }
    if (dynamic_cast<const CLI::RequiredError*>(&failure) && command) {
        const std::string missing = what.substr(0, what.find(" is required"));
        return command->get_name() + " needs its " + missing + " argument";
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&failure)) {
        // "--output: 1 required FILE missing"
        const size_t colon = what.find(": 1 required ");
        const size_t missing = what.rfind(" missing");
        if (colon != std::string::npos && missing != std::string::npos && missing > colon) {
            const size_t type = colon + std::string(": 1 required ").size();
            return what.substr(0, colon) + " needs a " + what.substr(type, missing - type);
        }
    }
    return what;
}

}  // namespace

int ReportUsageError(CLI::App& app, const CLI::ParseError& failure) {
    const CLI::App* command = ChosenCommand(app);
    const std::string help =
        command ? "travex-host " + command->get_name() + " --help" : "travex-host --help";
    std::fprintf(stderr, "travex-host: %s (see %s)\n", InHostWords(failure, app, command).c_str(),
                 help.c_str());
    return kExitFailure;
}

int ShowHelp(CLI::App& app, const std::string& topic) {
    if (topic.empty()) {
        // app.help() would show the chosen command's: `help` itself.
        std::fputs(app.get_formatter()
                       ->make_help(&app, app.get_name(), CLI::AppFormatMode::Normal)
                       .c_str(),
                   stdout);
        return kExitSuccess;
    }
    for (CLI::App* command : app.get_subcommands({})) {
        if (command->get_name() == topic) {
            std::fputs(command->help(app.get_name()).c_str(), stdout);
            return kExitSuccess;
        }
    }
    std::fprintf(stderr, "travex-host: unknown command \"%s\" (see travex-host --help)\n",
                 topic.c_str());
    return kExitFailure;
}
