#include "EditCommand.h"

#include <cstdio>
#include <memory>

#include "ExitStatus.h"
#include "FileIdentity.h"
#include "PtMotionText.h"
#include "WholeTextIO.h"

namespace {

struct EditArguments {
    std::string motionPath;
    std::string scriptPath;
};

int RunEdit(const HostOptions& options, const EditArguments& arguments) {
    if (arguments.scriptPath.empty()) {
        return ReportFailure(
            "edit needs --script FILE: the editor has no window of its own yet, so a script "
            "plays the user's actions (see docs/editing-with-scripts.md)");
    }
    // The edited text goes back where it came from, and standard output carries the messages.
    if (arguments.motionPath == "-") return ReportFailure("edit needs a motion file, not -");
    if (!RefuseSameFile("the motion", arguments.motionPath, "--script", arguments.scriptPath)) {
        return kExitFailure;
    }
    std::string error;
    std::string motion;
    if (!ReadWholeText(arguments.motionPath, motion, error) ||
        !CheckMotionToEdit(arguments.motionPath, motion, error)) {
        return ReportFailure(error.c_str());
    }

    // A script that does not parse is refused before the module is loaded.
    CEditorScriptDriver driver;
    if (!driver.LoadScriptFrom(arguments.scriptPath, error)) return ReportFailure(error.c_str());
    CHostSession session;
    if (!OpenSession(session, options) || !RequireEnabledType(session)) return kExitFailure;

    CString text(std::move(motion));
    const BOOL confirmed = driver.Edit(session, text);
    const BOOL played = driver.Finish();
    // What the user asked to see is part of the result: unless it is out, nothing is written.
    if (!PrintShownMessages(driver.GetMessages())) {
        return ReportFailure("cannot write the messages to standard output");
    }
    if (!played) return ReportFailure(driver.GetError().GetString());
    if (!driver.HasShownDialog()) {
        return ReportFailure(
            ("the module " + session.GetModulePath() + " did not open its editor").c_str());
    }
    if (!confirmed) return kExitCancelled;
    if (!WriteWholeText(arguments.motionPath, text.str(), error)) {
        return ReportFailure(error.c_str());
    }
    return kExitSuccess;
}

}  // namespace

bool PrintShownMessages(const std::vector<CHeadlessDriver::CShownMessage>& messages) {
    for (const CHeadlessDriver::CShownMessage& message : messages) {
        std::string line;
        const std::string& text = message.text.str();
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
            line += text[i] == '\r' || text[i] == '\n' ? ' ' : text[i];
        }
        std::printf("message: %s\n", line.c_str());
    }
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

HostCommand AddEditCommand(CLI::App& app, const HostOptions& options) {
    CLI::App* command = app.add_subcommand(
        "edit",
        "Open the module's editor on a motion file and play a script of user actions on it. "
        "Every message box shown is printed as \"message: TEXT\". Exit status 0 after OK (the "
        "file holds the new text), 3 after Cancel (the file is untouched), 2 for a script that "
        "cannot be played to its end or a file, setup or module that cannot be read");
    auto arguments = std::make_shared<EditArguments>();
    command->add_option("motion", arguments->motionPath, "The motion's parameter text")
        ->type_name("FILE")
        ->required();
    command
        ->add_option("--script", arguments->scriptPath,
                     "The user's actions, one a line (docs/editing-with-scripts.md); - reads "
                     "standard input")
        ->type_name("FILE|-");
    return {command, [&options, arguments] { return RunEdit(options, *arguments); }};
}
