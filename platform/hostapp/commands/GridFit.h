// A dense table (a motion's, a file's points before rounding) made into a new motion with the
// fewest points on the drive's grid whose preview keeps within a tolerance of the table's own,
// and the placement told on standard error: what fit does, and import --resample.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "HostSession.h"
#include "preview/PlacementReport.h"
#include "pt/PtEditorActions.h"

struct DenseTable {
    std::vector<double> times;  // IU, from (0, 0)
    std::vector<double> positions;
    std::string positionUnit;  // the setup's names, for the new motion
    std::string timeUnit;
};

// `subject` names the command, the input and the reference, and holds the tolerance; the
// placement is told on `report` (none when null). kExitSuccess with the motion's text, otherwise
// the exit status, the reason told.
int FitOnGrid(const CHostSession& session, const DenseTable& table, PlacementReportSubject subject,
              const PtMotionOptions& options, std::FILE* report, CString& motion);
