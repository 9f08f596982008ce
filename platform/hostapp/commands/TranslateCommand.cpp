#include "commands/TranslateCommand.h"

#include <unistd.h>

#include <cstdio>
#include <memory>

#include "files/ExitStatus.h"
#include "files/FileIdentity.h"
#include "files/WholeTextIO.h"
#include "pt/PtKeyCheck.h"

namespace {

struct TranslateArguments {
    std::string motionPath = "-";
    std::string outputPath;
};

int RunTranslate(const HostOptions& options, const TranslateArguments& arguments) {
    if (!RefuseSameFile("the motion", arguments.motionPath, "-o", arguments.outputPath)) {
        return kExitFailure;
    }
    if (arguments.motionPath == "-" && isatty(STDIN_FILENO)) {
        std::fprintf(stderr,
                     "travex-host: reading a motion from standard input (end it with Ctrl-D; "
                     "travex-host translate FILE reads a file)\n");
    }
    std::string error;
    std::string motion;
    if (!ReadWholeText(arguments.motionPath, motion, error)) return ReportFailure(error.c_str());
    SkipByteOrderMark(motion);
    WarnOfUnknownMotionKeys(motion, InputName(arguments.motionPath));

    HostSession session;
    if (!OpenSession(session, options) || !RequireEnabledType(session)) return kExitFailure;
    CString text(std::move(motion));
    CString output;
    const BOOL translated = session.GetModule().TranslateMotionSequence(
        session.GetSetup(), session.GetMotion(), text, output);
    if (!translated) {
        return ReportRefusal(output.GetString());
    }
    if (!WriteWholeText(arguments.outputPath, output.str(), error)) {
        return ReportFailure(error.c_str());
    }
    return kExitSuccess;
}

}  // namespace

HostCommand AddTranslateCommand(CLI::App& app, const HostOptions& options) {
    CLI::App* command = app.add_subcommand(
        "translate",
        "Translate a motion's parameter text into its motion-language program. Exit status 0 "
        "with the program, 1 with the module's error text on standard error, 2 when a file, "
        "the setup or the module cannot be read or written");
    auto arguments = std::make_shared<TranslateArguments>();
    command
        ->add_option("motion", arguments->motionPath,
                     "The motion's parameter text; - or nothing reads standard input")
        ->type_name("FILE|-");
    command
        ->add_option("-o,--output", arguments->outputPath,
                     "Write the program into FILE instead of standard output (whole or not at "
                     "all)")
        ->type_name("FILE");
    return {command, [&options, arguments] { return RunTranslate(options, *arguments); }};
}
