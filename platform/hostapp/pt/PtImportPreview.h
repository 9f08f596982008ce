// What the PT editor's import takes from the rows of a points file, worked out row by row by the
// same rules (a row with a position or time that is not a number, with a negative time or with a
// time that does not come after the point before is dropped; values are limited to the
// parameters and rounded to what they hold), so that `travex-host import` can say what the
// editor does without a word, and how that differs from the file.
#pragma once

#include <MC_ArrayParameter.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "pt/PointsFileReader.h"

struct PtImportNote {
    enum class Kind { Header, Unread, NotANumber, NegativeTime, TimeNotAfter, Limited };
    Kind kind;
    int line = 0;          // the file's, counted from 1
    bool isTime = false;   // NotANumber and Limited: the time rather than the position
    double value = 0;      // Limited: as read; TimeNotAfter: the line's time, limited
    double became = 0;     // Limited: what it became; TimeNotAfter: the previous point's time
    std::string reason{};  // Unread: why the reader made no row of the line
};

struct PtImportPreview {
    int taken = 0;
    int skipped = 0;  // rows only; the start point (0, 0) as a first row does not count
    int limited = 0;  // values, not lines
    int timesNotAfter = 0;
    std::vector<PtImportNote> notes;  // the first kMaxPtImportNotes dropped rows and limits
    std::vector<double> positionsIU;  // the table that the import makes, point 0 included
    std::vector<double> timesIU;
    std::vector<double> filePositionsIU;  // the same points before rounding
    std::vector<double> fileTimesIU;
    std::vector<int> lines;       // the file's line of each point; 0 for point 0
    double timeRounding = 0;      // the largest change of a time by rounding, in IU
    double positionRounding = 0;  // the same for positions
};

inline constexpr size_t kMaxPtImportNotes = 20;

// Sets up unbound arrays as the editor's are when the import runs: bound to their keys, the
// record's time limits, the units named selected (the setup's first where empty).
void PreparePtImportArrays(CMC_ArrayParameter& positions, CMC_ArrayParameter& times,
                           const std::string& positionUnit, const std::string& timeUnit);

// `positions` and `times` are set up as the editor's are at the import: bound to their keys,
// the units selected, the limits in place. They convert and limit; the table is the preview's.
// Without `roundedTable` only the file's own points are kept (fileTimesIU, filePositionsIU):
// no table rounded a row at a time, nor the line of each point, which a placement never reads.
PtImportPreview PreviewPtImport(const std::vector<PointsRow>& rows,
                                const CMC_ArrayParameter& positions,
                                const CMC_ArrayParameter& times, bool roundedTable = true);

// The units the numbers were read in, and whether the file's header named them.
struct PtImportUnits {
    std::string position;
    std::string time;
    bool positionFromHeader = false;
    bool timeFromHeader = false;
    double positionIUPerUnit = 1;
    double timeIUPerUnit = 1;
};

// One line a note, "NAME:LINE: ...", quoting the file's line as it stands, the rest counted;
// what was read from where; warnings; then "NAME: N points taken, ...". A table that is placed
// on the grid rather than rounded (`placed`) has no rounding to tell of.
void PrintPtImportReport(const PointsFile& file, const PtImportPreview& preview,
                         std::string_view bytes, const std::string& name,
                         const PtImportUnits& units, bool placed, std::FILE* stream);

// The validation's refusal of the imported table, with the file's line of the point at fault
// and, for a step too large, the step and its limit.
std::string ExplainPtRefusal(const std::string& message, const PtImportPreview& preview,
                             const std::string& name, const PtImportUnits& units);
