#include "commands/PointsImport.h"

#include <MC_ArrayParameter.h>

#include "commands/NewPtMotion.h"
#include "files/ExitStatus.h"

namespace {

// A unit that the header gives, when the command line gives none: the setup must have it.
bool TakeHeaderUnit(const CDriveSetup& setup, UnitKind kind, const PointsFile& file, int column,
                    const std::string& name, std::string& unit, bool& fromHeader,
                    std::string& error) {
    if (!unit.empty() || column >= static_cast<int>(file.header.size()) ||
        file.header[column].unit.empty()) {
        return true;
    }
    unit = file.header[column].unit;
    fromHeader = true;
    if (ResolveSetupUnit(setup, kind, unit, error)) return true;
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

}  // namespace

void AddPointsReadingOptions(CLI::App* command, PointsReading& reading) {
    command
        ->add_option("--separator", reading.separator,
                     "What separates the columns: tab, \";\", \",\" or blank; found from the "
                     "first lines of numbers when absent")
        ->type_name("CHAR");
    command->add_flag("--decimal-comma", reading.options.decimalComma,
                      "A comma is a decimal point, never the separator");
    command
        ->add_option("--columns", reading.options.columns,
                     "The time's column and the position's, each a number from 1 or a name in "
                     "the header; without it a header column named t or time is the time and "
                     "the first other column the position, and a file without one is read as "
                     "position, then time")
        ->type_name("TIME,POSITION");
    command->add_flag("--relative", reading.options.relative,
                      "Make the first row time 0 and position 0, the others shifted alike");
    command->add_flag("--durations", reading.options.durations,
                      "The time column holds each row's duration, not its time");
}

int ReadPointsRows(std::string_view bytes, PointsReading reading, const std::string& name,
                   PointsFile& file) {
    PointsFileOptions& options = reading.options;
    if (!ParseSeparator(reading.separator, options.separator)) {
        return ReportFailure(
            ("--separator takes tab, \";\", \",\" or blank, not \"" + reading.separator + "\"")
                .c_str());
    }
    if (options.decimalComma && options.separator == ',') {
        return ReportFailure(
            "--decimal-comma: a comma cannot be both the separator and the decimal point");
    }
    std::string error;
    if (!ReadPointsFile(bytes, options, file, error)) {
        return ReportFailure((name + ": " + error).c_str());
    }
    return kExitSuccess;
}

int PreviewPointsImport(CDriveSetup& setup, const PointsFile& file, const std::string& name,
                        std::string& positionUnit, std::string& timeUnit, PtImportUnits& units,
                        PtImportPreview& preview) {
    std::string error;
    if (!ResolveSetupUnit(setup, UnitKind::Position, positionUnit, error) ||
        !ResolveSetupUnit(setup, UnitKind::Time, timeUnit, error) ||
        !TakeHeaderUnit(setup, UnitKind::Position, file, file.positionColumn, name, positionUnit,
                        units.positionFromHeader, error) ||
        !TakeHeaderUnit(setup, UnitKind::Time, file, file.timeColumn, name, timeUnit,
                        units.timeFromHeader, error)) {
        return ReportFailure(error.c_str());
    }
    // The editor's arrays as a new motion has them when the import runs.
    CMC_ArrayParameter positions(setup);
    CMC_ArrayParameter times(setup);
    PreparePtImportArrays(positions, times, positionUnit, timeUnit);
    units.position = positions.GetSelectedUnit();
    units.time = times.GetSelectedUnit();
    positions.UnitToIU(units.positionIUPerUnit);
    times.UnitToIU(units.timeIUPerUnit);
    preview = PreviewPtImport(file.rows, positions, times);
    return kExitSuccess;
}
