#include "commands/DefaultsCommand.h"

#include <memory>

#include "files/ExitStatus.h"
#include "files/WholeTextIO.h"

namespace {

int RunDefaults(const HostOptions& options, const std::string& outputPath) {
    HostSession session;
    if (!OpenSession(session, options) || !RequireEnabledType(session)) return kExitFailure;
    CString text;
    session.GetModule().GetDefaultParameters(session.GetSetup(), session.GetMotion(), text);
    std::string error;
    if (!WriteWholeText(outputPath, text.str(), error)) return ReportFailure(error.c_str());
    return kExitSuccess;
}

}  // namespace

HostCommand AddDefaultsCommand(CLI::App& app, const HostOptions& options) {
    CLI::App* command = app.add_subcommand(
        "defaults", "Print the parameter text of a new motion, a starting point for your own");
    auto outputPath = std::make_shared<std::string>();
    command
        ->add_option("-o,--output", *outputPath,
                     "Write the text into FILE instead of standard output (whole or not at all)")
        ->type_name("FILE");
    return {command, [&options, outputPath] { return RunDefaults(options, *outputPath); }};
}
