#include "commands/EditCommand.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#ifdef _WIN32
#include <afxwin32dialogs.h>
#endif

#include "EditInWindow.h"
#include "files/EditedFile.h"
#include "files/ExitStatus.h"
#include "files/FileIdentity.h"
#include "pt/MotionFileLayout.h"
#include "pt/PtKeyCheck.h"

namespace {

struct EditArguments {
    std::string motionPath;
    std::string scriptPath;
    bool window = false;
    int delayMs = 0;
};

// One message box as one line; a line break inside its text becomes a blank.
void PrintMessageLine(const std::string& text) {
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        line += text[i] == '\r' || text[i] == '\n' ? ' ' : text[i];
    }
    std::printf("message: %s\n", line.c_str());
}

#ifndef _WIN32
// The editor for a person, in a window: exit statuses and the writing of MOTION as under scripts.
int RunWindowEdit(HostGraphics& windows, const HostOptions& options, const EditedFile& file,
                  const std::string& motion) {
    HostSession session;
    if (!OpenSession(session, options) || !RequireEnabledType(session)) return kExitFailure;
    CString text(motion);
    std::vector<CString> messages;
    std::string error;
    const std::unique_ptr<WindowApplication> application = windows.OpenApplication();
    const BOOL confirmed = EditInWindow(windows, session, text, messages, error);
    for (const CString& message : messages) PrintMessageLine(message.str());
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return ReportFailure("cannot write the messages to standard output");
    if (!error.empty()) return ReportFailure(error.c_str());
    if (!confirmed) return kExitCancelled;
    if (!file.Replace(KeepMotionFileLayout(motion, text.str()), error))
        return ReportFailure(error.c_str());
    return kExitSuccess;
}
#endif

// On Windows the editor's window is the system's dialog, and a script plays on it when
// TRAVEX_DIALOGS=windows asks for that; otherwise a script plays on the framework's own controls.
bool UsesSystemDialogs(const EditArguments& arguments) {
#ifdef _WIN32
    const char* dialogs = std::getenv("TRAVEX_DIALOGS");
    return arguments.window || arguments.scriptPath.empty() ||
           (dialogs && std::strcmp(dialogs, "windows") == 0);
#else
    (void)arguments;
    return false;
#endif
}

#ifdef _WIN32
// The editor on the system's dialog manager, for a person to work.
int RunSystemEdit(const HostOptions& options, const EditedFile& file, const std::string& motion) {
    HostSession session;
    if (!OpenSession(session, options) || !RequireEnabledType(session)) return kExitFailure;
    CWin32Dialogs dialogs;
    CDialogDriver* const previous = AfxGetDialogDriver();
    AfxSetDialogDriver(&dialogs);
    CString text(motion);
    const BOOL confirmed =
        session.GetModule().EditMotionSequence(session.GetSetup(), session.GetMotion(), text);
    AfxSetDialogDriver(previous);
    for (const CString& message : dialogs.GetShownMessages()) PrintMessageLine(message.str());
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return ReportFailure("cannot write the messages to standard output");
    if (!dialogs.GetFailure().IsEmpty()) return ReportFailure(dialogs.GetFailure().GetString());
    if (!confirmed) return kExitCancelled;
    std::string error;
    if (!file.Replace(KeepMotionFileLayout(motion, text.str()), error))
        return ReportFailure(error.c_str());
    return kExitSuccess;
}
#endif

int RunEdit(const HostOptions& options, const EditArguments& arguments) {
    std::string error;
    const bool systemDialogs = UsesSystemDialogs(arguments);
    // Window support is loaded only where windows may be shown.
    HostGraphics* windows = nullptr;
    if (!systemDialogs && (arguments.scriptPath.empty() || arguments.window)) {
        windows = LoadHostGraphics(error);
        if (!windows) return ReportFailure(error.c_str());
    }
    const bool display = systemDialogs || (windows && windows->HasDisplay());
    if (arguments.scriptPath.empty() && !display) {
        return ReportFailure(
            "edit has no display for its window: run it on a desktop (DISPLAY or "
            "WAYLAND_DISPLAY set), or play the user's actions with --script FILE (see "
            "docs/editing-with-scripts.md)");
    }
    if (arguments.window && !display) {
        return ReportFailure(
            "edit --window has no display: run it on a desktop (DISPLAY or WAYLAND_DISPLAY "
            "set, or QT_QPA_PLATFORM=offscreen), or leave out --window to play the script "
            "headless");
    }
    // The edited text goes back where it came from, and standard output carries the messages.
    if (arguments.motionPath == "-") return ReportFailure("edit needs a motion file, not -");
    if (!arguments.scriptPath.empty() &&
        !RefuseSameFile("the motion", arguments.motionPath, "--script", arguments.scriptPath)) {
        return kExitFailure;
    }
    std::string motion;
    EditedFile file;
    if (!file.Read(arguments.motionPath, motion, error) ||
        !CheckMotionToEdit(arguments.motionPath, motion, error)) {
        return ReportFailure(error.c_str());
    }
#ifdef _WIN32
    if (arguments.scriptPath.empty()) return RunSystemEdit(options, file, motion);
#else
    if (arguments.scriptPath.empty()) return RunWindowEdit(*windows, options, file, motion);
#endif

    // A script that does not parse is refused before the module is loaded.
    CEditorScriptDriver driver;
    if (!driver.LoadScriptFrom(arguments.scriptPath, error)) return ReportFailure(error.c_str());
    HostSession session;
    if (!OpenSession(session, options) || !RequireEnabledType(session)) return kExitFailure;

    std::unique_ptr<WindowApplication> application;
    std::unique_ptr<CDialogViewer> mirror;
#ifdef _WIN32
    // The script's actions as real messages to the system's dialogs.
    CWin32Dialogs dialogs;
    if (systemDialogs) {
        driver.SetInput(&dialogs);
        if (arguments.window) dialogs.SetPause(arguments.delayMs);
    }
#endif
    if (arguments.window && !systemDialogs) {
        application = windows->OpenApplication();
        mirror = windows->MakeMirror(arguments.delayMs);
        driver.SetViewer(mirror.get());
    }
    CString text(motion);
    const BOOL confirmed = driver.Edit(session, text);
    const BOOL played = driver.Finish();
    // What the user asked to see is part of the result: unless it is out, nothing is written.
    if (!PrintShownMessages(driver.GetMessages())) {
        return ReportFailure("cannot write the messages to standard output");
    }
    if (!played) return ReportFailure(driver.GetError().GetString());
#ifdef _WIN32
    // Played on the framework's controls instead is not what was asked for.
    if (!dialogs.GetFailure().IsEmpty()) return ReportFailure(dialogs.GetFailure().GetString());
#endif
    if (!driver.HasShownDialog()) {
        return ReportFailure(
            ("the module " + session.GetModulePath() + " did not open its editor").c_str());
    }
    if (!confirmed) return kExitCancelled;
    if (!file.Replace(KeepMotionFileLayout(motion, text.str()), error))
        return ReportFailure(error.c_str());
    return kExitSuccess;
}

}  // namespace

bool PrintShownMessages(const std::vector<CHeadlessDriver::CShownMessage>& messages) {
    for (const CHeadlessDriver::CShownMessage& message : messages)
        PrintMessageLine(message.text.str());
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

HostCommand AddEditCommand(CLI::App& app, const HostOptions& options) {
    CLI::App* command = app.add_subcommand(
        "edit",
        "Open the module's editor on a motion file: in a window on a desktop, or playing a "
        "script of user actions on it. "
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
    command->add_flag("--window", arguments->window,
                      "Play the script on the editor's window, for a person to watch");
    command
        ->add_option("--delay", arguments->delayMs,
                     "With --window: the pause after each action, in milliseconds")
        ->type_name("MS")
        ->check(CLI::Range(0, 60000));
    return {command, [&options, arguments] { return RunEdit(options, *arguments); }};
}
