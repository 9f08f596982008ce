#include "ImportCommand.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "EditorScriptDriver.h"
#include "ExitStatus.h"
#include "WholeTextIO.h"
#include "editor/resource.h"

namespace {

struct ImportArguments {
    std::string pointsPath;
    std::string motionPath;
    std::string programPath;
    std::string positionUnit;
    std::string timeUnit;
    int hostAddress = 0;  // 0: leave the host address alone
    bool keepBuffer = false;
    std::string startFrom;
    bool onEvent = false;
    bool noWait = false;
};

// The editor reports a file that it cannot read in a message box; a command line says so at
// once, before any work.
bool CheckReadable(const std::string& path, std::string& error) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        if (fd >= 0) close(fd);
        return false;
    }
    close(fd);
    if (S_ISDIR(info.st_mode)) {
        error = "cannot read " + path + ": it is a directory";
        return false;
    }
    return true;
}

// The unit combo boxes find names regardless of case; so does this check.
bool CheckUnit(const CMC_Setup& setup, UnitKind kind, const std::string& name, std::string& error) {
    if (name.empty()) return true;
    const std::vector<CMC_Unit>& units = setup.GetUnits(kind);
    std::string known;
    for (const CMC_Unit& unit : units) {
        if (strcasecmp(unit.name.c_str(), name.c_str()) == 0) return true;
        known += (known.empty() ? "" : ", ") + unit.name;
    }
    error = std::string("unknown ") + (kind == UnitKind::Position ? "position" : "time") +
            " unit \"" + name + "\"; the setup \"" + setup.GetName() + "\" has " + known;
    return false;
}

// What a user does in the editor to make the motion: the units of the file first, since the
// import reads its numbers in the units selected; then the import, and the options only after
// it, since the import shows the record again and so drops a host address typed before; OK.
void QueueUserActions(CHeadlessDriver& driver, const ImportArguments& arguments) {
    if (!arguments.positionUnit.empty()) {
        driver.Select(IDC_POSITION_UNIT, arguments.positionUnit.c_str());
    }
    if (!arguments.timeUnit.empty()) driver.Select(IDC_TIME_UNIT, arguments.timeUnit.c_str());
    driver.Do("import", {arguments.pointsPath.c_str()});
    if (arguments.hostAddress != 0) {
        driver.Check(IDC_HOST_ADDRESS_CHECK)
            .Type(IDC_HOST_ADDRESS, std::to_string(arguments.hostAddress).c_str());
    }
    if (arguments.keepBuffer) driver.Uncheck(IDC_CLEAR_BUFFER);
    if (arguments.startFrom == "reference") driver.Check(IDC_START_FROM_REFERENCE);
    if (arguments.startFrom == "actual") driver.Check(IDC_START_FROM_ACTUAL);
    if (arguments.onEvent) driver.Check(IDC_EXECUTE_ON_EVENT);
    if (arguments.noWait) driver.Uncheck(IDC_WAIT_FOR_COMPLETION);
    driver.Click(IDOK);
    // Played only when OK is refused: the refusal is read, and the editor left.
    driver.Answer("OK").Click(IDCANCEL);
}

int RunImport(const HostOptions& options, const ImportArguments& arguments) {
    std::string error;
    if (!CheckReadable(arguments.pointsPath, error)) return ReportFailure(error.c_str());
    if (arguments.programPath == "-" && arguments.motionPath.empty()) {
        return ReportFailure(
            "--program - needs -o FILE for the motion: both cannot share "
            "standard output");
    }

    CHostSession session;
    if (!OpenSession(session, options) || !RequireEnabledType(session)) return kExitFailure;
    const CMC_Setup& setup = session.GetSetup();
    if (!CheckUnit(setup, UnitKind::Position, arguments.positionUnit, error) ||
        !CheckUnit(setup, UnitKind::Time, arguments.timeUnit, error)) {
        return ReportFailure(error.c_str());
    }

    const CModuleLoader& module = session.GetModule();
    CString text;
    module.GetDefaultParameters(session.GetSetup(), session.GetMotion(), text);
    CEditorScriptDriver driver;
    QueueUserActions(driver, arguments);
    const BOOL confirmed = driver.Edit(session, text);
    const auto& messages = driver.GetMessages();
    if (driver.HasFailed()) {
        // A message box that the actions do not answer came from the import: a read error.
        const CString reason = messages.empty() ? driver.GetError() : messages.back().text;
        return ReportFailure(
            ("cannot import " + arguments.pointsPath + ": " + reason.str()).c_str());
    }
    if (!confirmed) {
        if (messages.empty()) return ReportFailure("the module's editor did not open");
        // The validation's words, as translate gives a refused motion's.
        std::fprintf(stderr, "%s\n", messages.back().text.GetString());
        return kExitRefused;
    }

    CString program;
    if (!arguments.programPath.empty() &&
        !module.TranslateMotionSequence(session.GetSetup(), session.GetMotion(), text, program)) {
        std::fprintf(stderr, "%s\n", program.GetString());
        return kExitRefused;
    }
    if (!WriteWholeText(arguments.motionPath, text.str(), error) ||
        (!arguments.programPath.empty() &&
         !WriteWholeText(arguments.programPath, program.str(), error))) {
        return ReportFailure(error.c_str());
    }
    return kExitSuccess;
}

}  // namespace

HostCommand AddImportCommand(CLI::App& app, const HostOptions& options) {
    CLI::App* command = app.add_subcommand(
        "import",
        "Make a new motion from a file of points (one a line: position, then time) with the "
        "editor's import. Exit status 0 with the motion, 1 when no motion can be made of the "
        "points (the reason on standard error, nothing written), 2 when a file, the setup or "
        "the module cannot be read or written");
    auto arguments = std::make_shared<ImportArguments>();
    command->add_option("points", arguments->pointsPath, "The points, in the units selected")
        ->type_name("FILE")
        ->required();
    command
        ->add_option("-o,--output", arguments->motionPath,
                     "Write the motion into FILE instead of standard output (whole or not at "
                     "all)")
        ->type_name("FILE");
    command
        ->add_option("--program", arguments->programPath,
                     "Also write the motion's program into FILE (whole or not at all)")
        ->type_name("FILE");
    command
        ->add_option("--position-unit", arguments->positionUnit,
                     "Unit of the file's positions; the setup's first position unit when absent")
        ->type_name("UNIT");
    command
        ->add_option("--time-unit", arguments->timeUnit,
                     "Unit of the file's times; the setup's first time unit when absent")
        ->type_name("UNIT");
    command
        ->add_option("--host-address", arguments->hostAddress,
                     "Set the drive's host address first (1 to 255)")
        ->type_name("N")
        ->check(CLI::Range(1, 255));
    command->add_flag("--keep-buffer", arguments->keepBuffer,
                      "Keep what the PT buffer holds instead of clearing it");
    command
        ->add_option("--start-from", arguments->startFrom,
                     "Start from the actual values of the position and speed reference "
                     "(reference, the default) or of the load/motor position and speed (actual)")
        ->type_name("WHERE")
        ->check(CLI::IsMember({"reference", "actual"}));
    CLI::Option* onEvent =
        command->add_flag("--on-event", arguments->onEvent,
                          "Execute on the default event (a wait time of 0) instead of at once; "
                          "choose another event with edit");
    command
        ->add_flag("--no-wait", arguments->noWait,
                   "Do not wait until the motion is completed (when executing at once)")
        ->excludes(onEvent);
    return {command, [&options, arguments] { return RunImport(options, *arguments); }};
}
