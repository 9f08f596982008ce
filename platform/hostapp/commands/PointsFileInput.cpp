#include "commands/PointsFileInput.h"

#include <MC_ArrayParameter.h>

#include <cstdio>

#include "files/ExitStatus.h"

namespace {

// A unit that the header gives, when the command line gives none: the setup must have it.
bool TakeHeaderUnit(const CDriveSetup& setup, UnitKind kind, const PointsFile& file, int column,
                    const std::string& name, std::optional<CMC_Unit>& unit, bool& fromHeader,
                    std::string& error) {
    if (unit || column >= static_cast<int>(file.header.size()) ||
        file.header[column].unit.empty()) {
        return true;
    }
    fromHeader = true;
    if (NewMotionUnits::LookUp(setup, kind, file.header[column].unit, unit, error)) return true;
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
        if (!file.unsure) return ReportFailure((name + ": " + error).c_str());
        // Not a fault of the file: it does not say what it means, and the user settles it.
        std::fprintf(stderr, "travex-host: %s: %s\n", name.c_str(), error.c_str());
        return kExitRefused;
    }
    return kExitSuccess;
}

int PreviewPointsImport(CDriveSetup& setup, const PointsFile& file, const std::string& name,
                        NewMotionUnits& named, PtImportUnits& units, PtImportPreview& preview,
                        bool roundedTable) {
    std::string error;
    if (!TakeHeaderUnit(setup, UnitKind::Position, file, file.positionColumn, name, named.position,
                        units.positionFromHeader, error) ||
        !TakeHeaderUnit(setup, UnitKind::Time, file, file.timeColumn, name, named.time,
                        units.timeFromHeader, error)) {
        return ReportFailure(error.c_str());
    }
    // The editor's arrays as a new motion has them when the import runs.
    CMC_ArrayParameter positions(setup);
    CMC_ArrayParameter times(setup);
    PreparePtImportArrays(positions, times, named.position ? named.position->name : "",
                          named.time ? named.time->name : "");
    units.position = positions.GetSelectedUnit();
    units.time = times.GetSelectedUnit();
    // From IU to the unit: a unit far finer than an IU (ns of a drive's 1 ms) rounds to 0 IU.
    double positionUnitsPerIU = 1;
    double timeUnitsPerIU = 1;
    positions.IUToUnit(positionUnitsPerIU);
    times.IUToUnit(timeUnitsPerIU);
    units.positionIUPerUnit = 1 / positionUnitsPerIU;
    units.timeIUPerUnit = 1 / timeUnitsPerIU;
    preview = PreviewPtImport(file.rows, positions, times, roundedTable);
    return kExitSuccess;
}
