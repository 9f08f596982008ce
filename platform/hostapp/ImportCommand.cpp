#include "ImportCommand.h"

#include <MC_EditMotionInternalData.h>
#include <strings.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "EditorScriptDriver.h"
#include "ExitStatus.h"
#include "FileIdentity.h"
#include "PtEditorActions.h"
#include "PtImportReport.h"
#include "PtMotionText.h"
#include "UsageChecks.h"
#include "WholeTextIO.h"

namespace {

struct ImportArguments {
    PtImportChoices choices;
    std::string motionPath;
    std::string programPath;
    bool strict = false;
    bool quiet = false;
};

// The unit's name as the setup writes it (the combo boxes find names regardless of case), or a
// message that lists the setup's units.
bool ResolveUnit(const CMC_Setup& setup, UnitKind kind, std::string& name, std::string& error) {
    if (name.empty()) return true;
    std::string known;
    for (const CMC_Unit& unit : setup.GetUnits(kind)) {
        if (strcasecmp(unit.name.c_str(), name.c_str()) == 0) {
            name = unit.name;
            return true;
        }
        known += (known.empty() ? "" : ", ") + unit.name;
    }
    error = std::string("unknown ") + (kind == UnitKind::Position ? "position" : "time") +
            " unit \"" + name + "\"; the setup \"" + setup.GetName() + "\" has " + known;
    return false;
}

// The kernel's text operations, to read back the table that the editor wrote.
class CTableReader : public CMC_EditMotionInternalData {
public:
    using CMC_EditMotionInternalData::CMC_EditMotionInternalData;
    int ReadParameters(CString&, CString&) override { return 0; }
    void WriteParameters(CString&) override {}
};

// One array at a time, so that a single read-back array is held beside the report's table.
bool TableMatches(const CHostSession& session, CString& text, const PtImportPreview& preview) {
    CTableReader reader(session.GetSetup(), session.GetMotion());
    const std::pair<const char*, const std::vector<double>*> expected[] = {
        {"ATIME", &preview.timesIU}, {"TPOS", &preview.positionsIU}};
    for (const auto& [key, values] : expected) {
        CMC_ArrayParameter written(session.GetSetup());
        if (!reader.ReadArrayDataParam(text, key, nullptr, nullptr, written).IsEmpty() ||
            written.GetValuesInInternalUnit() != *values) {
            return false;
        }
    }
    return true;
}

// The editor reads the points from a file of its own choosing; standard input, or a file that
// starts with a byte-order mark, reach it as an anonymous file that holds just the points.
class CPointsForEditor {
public:
    ~CPointsForEditor() {
        if (m_fd >= 0) close(m_fd);
    }
    bool Prepare(const std::string& path, std::string_view points, bool copy, std::string& error) {
        if (!copy) {
            m_path = path;
            return true;
        }
        m_fd = memfd_create("points", MFD_CLOEXEC);
        if (m_fd < 0 ||
            write(m_fd, points.data(), points.size()) != static_cast<ssize_t>(points.size())) {
            error = "cannot hold the points of " + path + " for the editor";
            return false;
        }
        m_path = "/proc/self/fd/" + std::to_string(m_fd);
        return true;
    }
    const std::string& Path() const { return m_path; }

private:
    int m_fd = -1;
    std::string m_path;
};

int RunImport(const HostOptions& options, ImportArguments arguments) {
    PtImportChoices& choices = arguments.choices;
    const std::string name = InputName(choices.pointsPath);
    if (arguments.programPath == "-" && arguments.motionPath.empty()) {
        return ReportFailure(
            "--program - needs -o FILE for the motion: both cannot share standard output");
    }
    if (!RefuseSameFile("the points", choices.pointsPath, "-o", arguments.motionPath) ||
        !RefuseSameFile("the points", choices.pointsPath, "--program", arguments.programPath) ||
        !RefuseSameFile("-o", arguments.motionPath, "--program", arguments.programPath)) {
        return kExitFailure;
    }
    std::string error;
    std::string points;
    if (!ReadWholeText(choices.pointsPath, points, error)) return ReportFailure(error.c_str());
    const bool marked = SkipByteOrderMark(points);
    CPointsForEditor forEditor;
    if (!forEditor.Prepare(choices.pointsPath, points, marked || choices.pointsPath == "-",
                           error)) {
        return ReportFailure(error.c_str());
    }

    CHostSession session;
    if (!OpenSession(session, options) || !RequireEnabledType(session)) return kExitFailure;
    CMC_Setup& setup = session.GetSetup();
    if (!ResolveUnit(setup, UnitKind::Position, choices.positionUnit, error) ||
        !ResolveUnit(setup, UnitKind::Time, choices.timeUnit, error)) {
        return ReportFailure(error.c_str());
    }

    // The editor's arrays as a new motion has them when the import runs.
    CMC_ArrayParameter positions(setup);
    CMC_ArrayParameter times(setup);
    positions.BindToKey("TPOS");
    times.BindToKey("ATIME");
    times.SetMinInInternalUnit(kPtMinTimeIU);
    times.SetMaxInInternalUnit(kPtMaxTimeIU);
    if (!choices.positionUnit.empty()) positions.SelectUnit(choices.positionUnit.c_str());
    if (!choices.timeUnit.empty()) times.SelectUnit(choices.timeUnit.c_str());
    const PtImportPreview preview = PreviewPtImport(points, positions, times);
    const bool clean = preview.skipped == 0 && preview.limited == 0;
    if (!arguments.quiet || (arguments.strict && !clean)) {
        PrintPtImportReport(preview, name, positions.GetSelectedUnit(), times.GetSelectedUnit(),
                            stderr);
    }
    if (arguments.strict && !clean) {
        std::fprintf(stderr,
                     "travex-host: --strict: %s has lines skipped or values limited; "
                     "nothing was written\n",
                     name.c_str());
        return kExitRefused;
    }

    // The editor reads the points from the file or the anonymous copy, not from here.
    std::string().swap(points);

    const CModuleLoader& module = session.GetModule();
    CString text;
    module.GetDefaultParameters(setup, session.GetMotion(), text);
    CEditorScriptDriver driver;
    choices.pointsPath = forEditor.Path();
    QueuePtImportActions(driver, choices);
    const BOOL confirmed = driver.Edit(session, text);
    const auto& messages = driver.GetMessages();
    if (driver.HasFailed()) {
        // A message box that the actions do not answer came from the import: a read error.
        const CString reason = messages.empty() ? driver.GetError() : messages.back().text;
        return ReportFailure(("cannot import " + name + ": " + reason.str()).c_str());
    }
    if (!confirmed) {
        if (messages.empty()) return ReportFailure("the module's editor did not open");
        // The validation's words, as translate gives a refused motion's.
        std::fprintf(stderr, "%s\n", messages.back().text.GetString());
        return kExitRefused;
    }
    if (!TableMatches(session, text, preview)) {
        std::fprintf(stderr,
                     "travex-host: warning: the editor imported another table than "
                     "the report above says\n");
    }

    CString program;
    if (!arguments.programPath.empty() &&
        !module.TranslateMotionSequence(setup, session.GetMotion(), text, program)) {
        return ReportRefusal(program.GetString());
    }
    CWholeOutputs outputs;
    if (!outputs.Stage(arguments.motionPath, text.str(), error) ||
        (!arguments.programPath.empty() &&
         !outputs.Stage(arguments.programPath, program.str(), error)) ||
        !outputs.Commit(error)) {
        return ReportFailure(error.c_str());
    }
    return kExitSuccess;
}

}  // namespace

HostCommand AddImportCommand(CLI::App& app, const HostOptions& options) {
    CLI::App* command = app.add_subcommand(
        "import",
        "Make a new motion from a file of points (one a line: position, then time) with the "
        "editor's import, and say on standard error what it took. Exit status 0 with the "
        "motion, 1 when no motion can be made of the points (or --strict refuses them; the "
        "reason on standard error, nothing written), 2 when a file, the setup or the module "
        "cannot be read or written");
    auto arguments = std::make_shared<ImportArguments>();
    PtImportChoices& choices = arguments->choices;
    command
        ->add_option("points", choices.pointsPath,
                     "The points, in the units selected; - reads standard input")
        ->type_name("FILE|-")
        ->required();
    command
        ->add_option("-o,--output", arguments->motionPath,
                     "Write the motion into FILE instead of standard output (whole or not at "
                     "all)")
        ->type_name("FILE");
    command
        ->add_option("--program", arguments->programPath,
                     "Also write the motion's program into FILE (- for standard output); the "
                     "motion and the program are written both or neither")
        ->type_name("FILE");
    command
        ->add_option("--position-unit", choices.positionUnit,
                     "Unit of the file's positions; the setup's first position unit when absent")
        ->type_name("UNIT");
    command
        ->add_option("--time-unit", choices.timeUnit,
                     "Unit of the file's times; the setup's first time unit when absent")
        ->type_name("UNIT");
    command
        ->add_option("--host-address", choices.hostAddress,
                     "Set the drive's host address first (1 to 255)")
        ->type_name("N")
        ->check(WholeNumberFrom(1, 255));
    command->add_flag("--keep-buffer", choices.keepBuffer,
                      "Keep what the PT buffer holds instead of clearing it");
    command
        ->add_option("--start-from", choices.startFrom,
                     "Start from the actual values of the position and speed reference "
                     "(reference, the default) or of the load/motor position and speed (actual)")
        ->type_name("WHERE")
        ->transform(OneOf({"reference", "actual"}));
    CLI::Option* onEvent =
        command->add_flag("--on-event", choices.onEvent,
                          "Execute on the default event (a wait time of 0) instead of at once; "
                          "choose another event with edit");
    command
        ->add_flag("--no-wait", choices.noWait,
                   "Do not wait until the motion is completed (when executing at once)")
        ->excludes(onEvent);
    command->add_flag("--strict", arguments->strict,
                      "Refuse the file (exit status 1, nothing written) when a line is skipped "
                      "or a value limited");
    command->add_flag("--quiet", arguments->quiet,
                      "Say nothing of what the import took; errors only");
    return {command, [&options, arguments] { return RunImport(options, *arguments); }};
}
