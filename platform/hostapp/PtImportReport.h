// What the PT editor's import takes from a file of points, worked out line by line by the same
// rules (one point a line, position then time, a comma as the decimal point; a line without two
// numbers, with a negative time or with a time that does not come after the point before is
// dropped; values are limited to the parameters), so that `travex-host import` can say what
// the editor does without a word.
#pragma once

#include <MC_ArrayParameter.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

struct PtImportNote {
    enum class Kind { NoTwoNumbers, NotANumber, NegativeTime, TimeNotAfter, Limited };
    Kind kind;
    int line = 0;         // counted from 1
    std::string text;     // the line as written, cut short
    bool isTime = false;  // NotANumber and Limited: the time rather than the position
    double value = 0;     // Limited: as read; TimeNotAfter: the line's time, limited
    double became = 0;    // Limited: what it became; TimeNotAfter: the previous point's time
};

struct PtImportPreview {
    int taken = 0;
    int skipped = 0;  // blank lines, and the start point (0, 0) as a first point, do not count
    int limited = 0;  // values, not lines
    std::vector<PtImportNote> notes;  // the first kMaxNotes skipped lines and limited values
    std::vector<double> positionsIU;  // the table that the import makes, point 0 included
    std::vector<double> timesIU;
};

inline constexpr size_t kMaxPtImportNotes = 20;

// Sets up unbound arrays as the editor's are when the import runs: bound to their keys, the
// record's time limits, the units named selected (the setup's first where empty).
void PreparePtImportArrays(CMC_ArrayParameter& positions, CMC_ArrayParameter& times,
                           const std::string& positionUnit, const std::string& timeUnit);

// `positions` and `times` are set up as the editor's are at the import: bound to their keys,
// the units selected, the limits in place. They convert and limit; the table is the preview's.
PtImportPreview PreviewPtImport(std::string_view bytes, const CMC_ArrayParameter& positions,
                                const CMC_ArrayParameter& times);

// One line a note, "NAME:LINE: ...", the rest counted, then "NAME: N points taken, ...".
void PrintPtImportReport(const PtImportPreview& preview, const std::string& name,
                         const char* positionUnit, const char* timeUnit, std::FILE* stream);
