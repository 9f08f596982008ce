#include "commands/FitCommand.h"

#include <cstdio>
#include <memory>

#include "commands/CommonOptions.h"
#include "commands/DenseTableMotion.h"
#include "commands/PointsFileInput.h"
#include "commands/UsageChecks.h"
#include "files/ExitStatus.h"
#include "files/WholeTextIO.h"
#include "pt/NewMotionFromTable.h"
#include "pt/PtImportPreview.h"
#include "pt/PtKeyCheck.h"
#include "pt/PtTableReader.h"

namespace {

struct FitArguments {
    std::string inputPath;
    NewMotionOutputs outputs;
    PtMotionOptions motion;
    PointsReading reading;
    // A points file's units, and the new motion's; a motion's own when absent.
    std::string positionUnit;
    std::string timeUnit;
    double tolerance = 1;
    bool toleranceGiven = false;
    bool bestEffort = false;
};

// A file of `Key=value` lines with a motion's keys; anything else is taken for points.
bool IsMotionText(const std::string& text) {
    return text.find('=') != std::string::npos && WhyNotAMotion(text).empty();
}

int ReadMotionTable(const HostSession& session, const std::string& text,
                    const NewMotionUnits& named, DenseTable& table) {
    // The module decides whether the table is a motion at all.
    CString parameters(text);
    CString output;
    if (!session.GetModule().TranslateMotionSequence(session.GetSetup(), session.GetMotion(),
                                                     parameters, output)) {
        return ReportRefusal(output.GetString());
    }
    PtTable points;
    const CString message = ReadPtTable(text, session.GetSetup(), points);
    if (!message.IsEmpty()) return ReportFailure(message.GetString());
    table.times = std::move(points.times);
    table.positions = std::move(points.positions);
    table.units = named.Or({points.positionUnit, points.timeUnit});
    return kExitSuccess;
}

// As import reads the file; what it skips or limits is told, as import tells it.
int ReadPointsTable(const HostSession& session, const std::string& name, const std::string& text,
                    const PointsReading& reading, NewMotionUnits named, DenseTable& table) {
    PointsFile file;
    if (const int read = ReadPointsRows(text, reading, name, file); read != kExitSuccess) {
        return read;
    }
    // The rows grew as they were read: what they hold at most, not up to twice that, stays
    // while the import's arrays are made beside them.
    if (file.rows.capacity() > file.rows.size() + file.rows.size() / 4) file.rows.shrink_to_fit();
    PtImportUnits units;
    PtImportPreview preview;
    if (const int read =
            PreviewPointsImport(session.GetSetup(), file, name, named, units, preview, false);
        read != kExitSuccess) {
        return read;
    }
    if (file.skipped + preview.skipped != 0 || preview.limited != 0) {
        PrintPtImportReport(file, preview, text, name, units, true, stderr);
    }
    // The file's own values, before the import would round them.
    table.times = std::move(preview.fileTimesIU);
    table.positions = std::move(preview.filePositionsIU);
    table.units = named.Or(PreviewUnits::DefaultOf(session.GetSetup()));
    return kExitSuccess;
}

int RunFit(const HostOptions& options, FitArguments arguments) {
    if (!CheckNewMotionOutputs("the table", arguments.inputPath, arguments.outputs)) {
        return kExitFailure;
    }
    const std::string name = InputName(arguments.inputPath);
    std::string error;
    std::string text;
    if (!ReadWholeText(arguments.inputPath, text, error)) return ReportFailure(error.c_str());
    SkipByteOrderMark(text);

    HostSession session;
    if (!OpenSession(session, options) || !RequireEnabledType(session)) return kExitFailure;
    const CDriveSetup& setup = session.GetSetup();
    NewMotionUnits named;
    if (!named.LookUp(setup, arguments.positionUnit, arguments.timeUnit, error)) {
        return ReportFailure(error.c_str());
    }
    DenseTable table;
    table.toleranceGiven = arguments.toleranceGiven;
    table.bestEffort = arguments.bestEffort;
    const int read = IsMotionText(text)
                         ? ReadMotionTable(session, text, named, table)
                         : ReadPointsTable(session, name, text, arguments.reading, named, table);
    if (read != kExitSuccess) return read;
    std::string().swap(text);

    const PlacementReportSubject subject{.command = "fit",
                                         .inputName = name,
                                         .referenceName = "the table",
                                         .options = {.tolerance = arguments.tolerance}};
    CString motion;
    const int status = MakeMotionFromDenseTable(session, std::move(table), subject,
                                                arguments.motion, stderr, motion);
    if (status != kExitSuccess) return status;
    return WriteNewMotion(session, motion, arguments.outputs);
}

}  // namespace

HostCommand AddFitCommand(CLI::App& app, const HostOptions& options) {
    CLI::App* command = app.add_subcommand(
        "fit",
        "Make a new motion with the fewest points found on the drive's grid, never more than the "
        "table's rows, that a drive runs smoothly and whose preview keeps within the tolerance "
        "of a dense table's own (a motion, or a file of points read as import reads it), and "
        "say on standard error how close it keeps. Exit status 0 with the motion, 1 when the "
        "table misses a bound (see --best-effort) or the module refuses the table or the new "
        "motion, 2 when a file, the setup or the module cannot be read or written");
    auto arguments = std::make_shared<FitArguments>();
    command
        ->add_option("table", arguments->inputPath,
                     "The dense table: a motion, or points read as import reads them; - reads "
                     "standard input")
        ->type_name("MOTION|POINTS|-")
        ->required();
    AddNewMotionOutputOptions(command, arguments->outputs);
    command
        ->add_option("--tolerance", arguments->tolerance,
                     "How far the new preview may stray from the table's, in IU (1 when absent, "
                     "or what the table's noise allows where that is more)")
        ->type_name("D")
        ->check(NumberAbove0())
        ->each([arguments](const std::string&) { arguments->toleranceGiven = true; });
    command->add_flag("--best-effort", arguments->bestEffort,
                      "Write the closest table found even where it misses a bound; without it "
                      "such a table is not written");
    AddUnitOptions(command, arguments->positionUnit, arguments->timeUnit,
                   UnitsOf::PointsFileAndMotion);
    AddPointsReadingOptions(command, arguments->reading);
    AddPtMotionOptions(command, arguments->motion);
    return {command, [&options, arguments] { return RunFit(options, *arguments); }};
}
