// A dense table (a motion's, a file's points before rounding) made into a new motion through the
// one placement, and the placement told on standard error: what fit does, and import
// --resample.
#pragma once

#include <PreviewUnits.h>

#include <cstdio>
#include <string>
#include <vector>

#include "HostSession.h"
#include "preview/PlacementReport.h"
#include "pt/PtEditorActions.h"

struct DenseTable {
    std::vector<double> times;  // IU, from (0, 0)
    std::vector<double> positions;
    PreviewUnits units;  // the new motion's
    // The user gave the tolerance: it wins over the data's noise (with a warning).
    bool toleranceGiven = false;
    // Write the closest table found even where it misses a bound.
    bool bestEffort = false;
};

// A tolerance the placement can work with; false with a message naming `option` otherwise.
bool CheckTolerance(double tolerance, const char* option, std::string& error);

// `subject` names the command, the input and the reference, and holds the tolerance; the
// placement is told on `report` (none when null). kExitSuccess with the motion's text, otherwise
// the exit status, the reason told: exit 1 where the table misses a bound and `bestEffort` is
// not set. The table's rows are taken: a long table is held once.
int MakeMotionFromDenseTable(const HostSession& session, DenseTable table,
                             PlacementReportSubject subject, const PtMotionOptions& options,
                             std::FILE* report, CString& motion);
