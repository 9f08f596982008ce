#include "commands/ImportCommand.h"

#include <ArrayParameterHost.h>
#ifdef _WIN32
#include <process.h>

#include <filesystem>

#include "files/TemporaryFiles.h"
#include "files/WholeOutputs.h"
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <memory>

#include "commands/CommonOptions.h"
#include "commands/DenseTableMotion.h"
#include "commands/PointsFileInput.h"
#include "commands/UsageChecks.h"
#include "files/ExitStatus.h"
#include "files/WholeTextIO.h"
#include "pt/EditorScriptDriver.h"
#include "pt/NewMotionFromTable.h"
#include "pt/PtEditorActions.h"
#include "pt/PtImportPreview.h"
#include "pt/PtKeyCheck.h"
#include "pt/PtKeys.h"

namespace {

struct ImportArguments {
    PtImportChoices choices;
    NewMotionOutputs outputs;
    PointsReading reading;
    bool resample = false;
    double tolerance = 1;
    bool toleranceGiven = false;
    bool bestEffort = false;
    bool strict = false;
    bool quiet = false;
};

bool TableMatches(const HostSession& session, const CString& text, const PtImportPreview& preview) {
    return CArrayParameterHost::TextHolds(session.GetSetup(), text, host_pt_keys::kTime,
                                          preview.timesIU) &&
           CArrayParameterHost::TextHolds(session.GetSetup(), text, host_pt_keys::kPosition,
                                          preview.positionsIU);
}

#ifdef _WIN32
// Windows has no anonymous file that another open reaches by a name: a file in the temporary
// folder holds the text made for the editor, removed when the command ends or on Ctrl-C.
class PointsForEditor {
public:
    ~PointsForEditor() {
        if (m_path.empty()) return;
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
        ForgetTemporaryFile(m_slot);
    }
    bool Prepare(const std::string& name, std::string_view points, std::string& error) {
        std::error_code failed;
        const std::filesystem::path folder = std::filesystem::temp_directory_path(failed);
        const std::string wanted =
            (folder / ("travex-points-" + std::to_string(_getpid()) + ".txt")).string();
        std::string why;
        InstallTemporaryFileCleanup();
        if (failed || !WriteNewText(wanted, points, m_path, why)) {
            error = "cannot hold the points of " + name + " for the editor";
            m_path.clear();
            return false;
        }
        m_slot = RegisterTemporaryFile(-1, m_path.c_str());
        return true;
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    int m_slot = -1;
};
#else
// The editor reads the points from a file of its own choosing: an anonymous file that holds
// the text made for it, so that the input is read once, whatever it is (a pipe, a FIFO).
class PointsForEditor {
public:
    ~PointsForEditor() {
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
#endif

// The file's own points, before rounding, placed on the drive's grid instead of rounded a row at
// a time: a dense table rounded row by row gains accelerations that the file does not have.
int Resample(const HostSession& session, const std::string& name, PtImportPreview& preview,
             const PreviewUnits& units, const ImportArguments& arguments) {
    DenseTable table{std::move(preview.fileTimesIU), std::move(preview.filePositionsIU), units,
                     arguments.toleranceGiven, arguments.bestEffort};
    const PlacementReportSubject subject{.command = "import",
                                         .inputName = name,
                                         .referenceName = "the file's points",
                                         .options = {.tolerance = arguments.tolerance}};
    CString motion;
    const int status =
        MakeMotionFromDenseTable(session, std::move(table), subject, arguments.choices.options,
                                 arguments.quiet ? nullptr : stderr, motion);
    if (status != kExitSuccess) return status;
    return WriteNewMotion(session, motion, arguments.outputs);
}

int RunImport(const HostOptions& options, ImportArguments arguments) {
    PtImportChoices& choices = arguments.choices;
    const std::string name = InputName(choices.pointsPath);
    if (!CheckNewMotionOutputs("the points", choices.pointsPath, arguments.outputs)) {
        return kExitFailure;
    }
    std::string error;
    std::string bytes;
    if (!ReadWholeText(choices.pointsPath, bytes, error)) return ReportFailure(error.c_str());
    SkipByteOrderMark(bytes);
    PointsFile file;
    if (const int read = ReadPointsRows(bytes, arguments.reading, name, file);
        read != kExitSuccess) {
        return read;
    }
    PointsForEditor forEditor;
    if (!forEditor.Prepare(name, file.EditorText(bytes), error)) {
        return ReportFailure(error.c_str());
    }
    std::string().swap(file.editorText);

    HostSession session;
    if (!OpenSession(session, options) || !RequireEnabledType(session)) return kExitFailure;
    CDriveSetup& setup = session.GetSetup();
    NewMotionUnits named;
    if (!named.LookUp(setup, choices.positionUnit, choices.timeUnit, error)) {
        return ReportFailure(error.c_str());
    }
    PtImportUnits units;
    PtImportPreview preview;
    if (const int read =
            PreviewPointsImport(setup, file, name, named, units, preview, !arguments.resample);
        read != kExitSuccess) {
        return read;
    }
    // The editor selects the units named or the header's; the others are its own already.
    choices.positionUnit = named.position ? named.position->name : "";
    choices.timeUnit = named.time ? named.time->name : "";
    const bool clean = file.skipped + preview.skipped == 0 && preview.limited == 0;
    if (!arguments.quiet || (arguments.strict && !clean)) {
        PrintPtImportReport(file, preview, bytes, name, units, arguments.resample, stderr);
    }
    std::vector<PointsRow>().swap(file.rows);
    if (arguments.strict && !clean) {
        std::fprintf(stderr,
                     "travex-host: --strict: %s has lines skipped or values limited; "
                     "nothing was written\n",
                     name.c_str());
        return kExitRefused;
    }
    if (arguments.resample) {
        return Resample(session, name, preview, named.Or(PreviewUnits::DefaultOf(setup)),
                        arguments);
    }
    std::vector<double>().swap(preview.fileTimesIU);
    std::vector<double>().swap(preview.filePositionsIU);

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
        return ReportRefusal(
            ExplainPtRefusal(messages.back().text.str(), preview, name, units).c_str());
    }
    if (!TableMatches(session, text, preview)) {
        std::fprintf(stderr,
                     "travex-host: warning: the editor imported another table than "
                     "the report above says\n");
    }

    return WriteNewMotion(session, text, arguments.outputs);
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
    AddNewMotionOutputOptions(command, arguments->outputs);
    AddUnitOptions(command, choices.positionUnit, choices.timeUnit, UnitsOf::PointsFile);
    AddPointsReadingOptions(command, arguments->reading);
    CLI::Option* resample = command->add_flag(
        "--resample", arguments->resample,
        "Place the file's points on the drive's grid: the fewest whole-IU points whose preview "
        "keeps within the tolerance of the file's own, instead of rounding each row");
    command
        ->add_option("--tolerance", arguments->tolerance,
                     "How far the resampled preview may stray from the file's, in IU (1 when "
                     "absent, or what the file's noise allows where that is more)")
        ->type_name("D")
        ->check(NumberAbove0())
        ->needs(resample)
        ->each([arguments](const std::string&) { arguments->toleranceGiven = true; });
    command
        ->add_flag("--best-effort", arguments->bestEffort,
                   "With --resample, write the closest table found even where it misses a bound")
        ->needs(resample);
    AddPtMotionOptions(command, choices.options);
    command->add_flag("--strict", arguments->strict,
                      "Refuse the file (exit status 1, nothing written) when a line is skipped "
                      "or a value limited");
    command->add_flag("--quiet", arguments->quiet,
                      "Say nothing of what the import took; errors only");
    return {command, [&options, arguments] { return RunImport(options, *arguments); }};
}
