#include "commands/GridFit.h"

#include <GridPlacement.h>
#include <MotionFigures.h>
#include <PreviewReference.h>
#include <TrajectoryPreview.h>

#include <algorithm>
#include <cmath>

#include "commands/NewPtMotion.h"
#include "files/ExitStatus.h"

namespace {

// Every time and position a whole IU: a table that the drive follows as it is.
bool IsOnGrid(const DenseTable& table) {
    const auto whole = [](double value) { return value == std::round(value); };
    return std::all_of(table.times.begin(), table.times.end(), whole) &&
           std::all_of(table.positions.begin(), table.positions.end(), whole);
}

}  // namespace

int FitOnGrid(const CHostSession& session, const DenseTable& table, PlacementReportSubject subject,
              const PtMotionOptions& options, std::FILE* report, CString& motion) {
    std::string error;
    CTrajectoryPreview dense;
    if (!dense.Build(table.times, table.positions, error)) {
        return ReportFailure((subject.inputName + ": " + error).c_str());
    }
    const PreviewReference reference(dense);
    subject.referencePeakSpeed = MotionFigures::Of(dense).peakSpeed.value;
    subject.options.referencePeakAcceleration = reference.PeakAcceleration();
    GridPlacement placement = PlaceOnGrid(reference, subject.options);
    // A table on the grid already, with no more points, is its own closest fit.
    if (IsOnGrid(table) && table.times.size() <= placement.times.size()) {
        placement.times = table.times;
        placement.positions = table.positions;
        placement.largestDeviation = 0;
        placement.peakAcceleration = placement.referencePeakAcceleration;
        placement.withinTolerance = placement.withinAcceleration = true;
    }

    const int status = EditTableIntoMotion(session, placement.times, placement.positions,
                                           table.positionUnit, table.timeUnit, options, motion);
    if (status != kExitSuccess) return status;
    if (!report) return kExitSuccess;
    const CDriveSetup& setup = session.GetSetup();
    const PreviewUnits units = {*FindSetupUnit(setup, UnitKind::Position, table.positionUnit),
                                *FindSetupUnit(setup, UnitKind::Time, table.timeUnit)};
    PrintPlacementReport(subject, placement, reference, units, setup.GetLimits(), report);
    return kExitSuccess;
}
