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
#include "PointsFileReader.h"
#include "PtEditorActions.h"
#include "PtImportReport.h"
#include "PtMotionText.h"
#include "UsageChecks.h"
#include "WholeTextIO.h"

namespace {

struct ImportArguments {
    PtImportChoices choices;
    PointsFileOptions reading;
    std::string separator;
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

// The editor reads the points from a file of its own choosing: an anonymous file that holds
// the text made for it, so that the input is read once, whatever it is (a pipe, a FIFO).
class CPointsForEditor {
public:
    ~CPointsForEditor() {
        if (m_fd >= 0) close(m_fd);
    }
    bool Prepare(const std::string& name, std::string_view points, std::string& error) {
        m_fd = memfd_create("points", MFD_CLOEXEC);
        for (size_t written = 0; m_fd >= 0 && written < points.size();) {
            const ssize_t count = write(m_fd, points.data() + written, points.size() - written);
            if (count <= 0) {
                error = "cannot hold the points of " + name + " for the editor";
                return false;
            }
            written += static_cast<size_t>(count);
        }
        if (m_fd < 0) {
            error = "cannot hold the points of " + name + " for the editor";
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

// A unit that the header gives, when the command line gives none: the setup must have it.
bool TakeHeaderUnit(const CMC_Setup& setup, UnitKind kind, const PointsFile& file, int column,
                    const std::string& name, std::string& unit, bool& fromHeader,
                    std::string& error) {
    if (!unit.empty() || column >= static_cast<int>(file.header.size()) ||
        file.header[column].unit.empty()) {
        return true;
    }
    unit = file.header[column].unit;
    fromHeader = true;
    if (ResolveUnit(setup, kind, unit, error)) return true;
    error = name + ": the header's " + error;
    return false;
}

bool ParseSeparator(const std::string& text, char& separator) {
    if (text.empty()) return true;
    if (text == "tab" || text == "\\t" || text == "\t") {
        separator = '\t';
    } else if (text == "blank" || text == "blanks" || text == " ") {
        separator = ' ';
    } else if (text == ";" || text == ",") {
        separator = text[0];
    } else {
        return false;
    }
    return true;
}

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
    PointsFileOptions& reading = arguments.reading;
    if (!ParseSeparator(arguments.separator, reading.separator)) {
        return ReportFailure(
            ("--separator takes tab, \";\", \",\" or blank, not \"" + arguments.separator + "\"")
                .c_str());
    }
    if (reading.decimalComma && reading.separator == ',') {
        return ReportFailure(
            "--decimal-comma: a comma cannot be both the separator and the "
            "decimal point");
    }
    std::string error;
    std::string bytes;
    if (!ReadWholeText(choices.pointsPath, bytes, error)) return ReportFailure(error.c_str());
    SkipByteOrderMark(bytes);
    PointsFile file;
    if (!ReadPointsFile(bytes, reading, file, error)) {
        return ReportFailure((name + ": " + error).c_str());
    }
    CPointsForEditor forEditor;
    if (!forEditor.Prepare(name, file.editorText, error)) return ReportFailure(error.c_str());
    std::string().swap(file.editorText);

    CHostSession session;
    if (!OpenSession(session, options) || !RequireEnabledType(session)) return kExitFailure;
    CMC_Setup& setup = session.GetSetup();
    PtImportUnits units;
    if (!ResolveUnit(setup, UnitKind::Position, choices.positionUnit, error) ||
        !ResolveUnit(setup, UnitKind::Time, choices.timeUnit, error) ||
        !TakeHeaderUnit(setup, UnitKind::Position, file, file.positionColumn, name,
                        choices.positionUnit, units.positionFromHeader, error) ||
        !TakeHeaderUnit(setup, UnitKind::Time, file, file.timeColumn, name, choices.timeUnit,
                        units.timeFromHeader, error)) {
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
    units.position = positions.GetSelectedUnit();
    units.time = times.GetSelectedUnit();
    positions.UnitToIU(units.positionIUPerUnit);
    times.UnitToIU(units.timeIUPerUnit);
    PtImportPreview preview = PreviewPtImport(file.rows, positions, times);
    const bool clean = file.skipped + preview.skipped == 0 && preview.limited == 0;
    if (!arguments.quiet || (arguments.strict && !clean)) {
        PrintPtImportReport(file, preview, bytes, name, units, stderr);
    }
    std::vector<PointsRow>().swap(file.rows);
    std::vector<double>().swap(preview.fileTimesIU);
    std::vector<double>().swap(preview.filePositionsIU);
    if (arguments.strict && !clean) {
        std::fprintf(stderr,
                     "travex-host: --strict: %s has lines skipped or values limited; "
                     "nothing was written\n",
                     name.c_str());
        return kExitRefused;
    }

    // The editor reads the points from the anonymous copy, not from here.
    std::string().swap(bytes);

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
        // The validation's words, as translate gives a refused motion's, with the file's line.
        std::fprintf(stderr, "%s\n",
                     ExplainPtRefusal(messages.back().text.str(), preview, name, units).c_str());
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
        std::fprintf(stderr, "%s\n", program.GetString());
        return kExitRefused;
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
        "Make a new motion from a file of points (one a line, in columns separated by blanks, "
        "tabs, semicolons or commas) with the editor's import, and say on standard error what "
        "it took. Exit status 0 with the "
        "motion, 1 when no motion can be made of the points (or --strict refuses them; the "
        "reason on standard error, nothing written), 2 when a file, the setup or the module "
        "cannot be read or written");
    auto arguments = std::make_shared<ImportArguments>();
    PtImportChoices& choices = arguments->choices;
    command
        ->add_option("points", choices.pointsPath,
                     "The points, in the units selected or named in its header; - reads "
                     "standard input")
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
    PointsFileOptions& reading = arguments->reading;
    command
        ->add_option("--separator", arguments->separator,
                     "What separates the columns: tab, \";\", \",\" or blank; found from the "
                     "first lines of numbers when absent")
        ->type_name("CHAR");
    command->add_flag("--decimal-comma", reading.decimalComma,
                      "A comma is a decimal point, never the separator");
    command
        ->add_option("--columns", reading.columns,
                     "The time's column and the position's, each a number from 1 or a name in "
                     "the header; without it a header column named t or time is the time and "
                     "the first other column the position, and a file without one is read as "
                     "position, then time")
        ->type_name("TIME,POSITION");
    command->add_flag("--relative", reading.relative,
                      "Make the first row time 0 and position 0, the others shifted alike");
    command->add_flag("--durations", reading.durations,
                      "The time column holds each row's duration, not its time");
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
