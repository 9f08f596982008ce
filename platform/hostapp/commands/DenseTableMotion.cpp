#include "commands/DenseTableMotion.h"

#include <DenseTableFit.h>
#include <MotionFigures.h>
#include <NumberText.h>
#include <PreviewReference.h>
#include <TrajectoryPreview.h>

#include "files/ExitStatus.h"
#include "pt/NewMotionFromTable.h"

bool CheckTolerance(double tolerance, const char* option, std::string& error) {
    if (tolerance >= kSmallestTolerance) return true;
    error = std::string(option) + " " + FormatReadable(tolerance) +
            " is too small to measure: give at least " + FormatReadable(kSmallestTolerance) + " IU";
    return false;
}

int MakeMotionFromDenseTable(const HostSession& session, DenseTable table,
                             PlacementReportSubject subject, const PtMotionOptions& options,
                             std::FILE* report, CString& motion) {
    std::string error;
    if (!CheckTolerance(subject.options.tolerance, "--tolerance", error)) {
        return ReportFailure(error.c_str());
    }
    if (!TrajectoryPreview::CheckPoints(table.times, table.positions, &error)) {
        return ReportFailure((subject.inputName + ": " + error).c_str());
    }
    // The fit makes the table's one preview of the rows themselves: a long table has no room
    // for a second one, nor for a copy of its rows.
    subject.referencePeakSpeed = MotionFigures::PeakSpeedOf(table.times, table.positions);
    const size_t rows = table.times.size();
    const DenseTableFit fit = FitDenseTable(std::move(table.times), std::move(table.positions),
                                            subject.options, table.toleranceGiven);
    const GridPlacement& placement = fit.placement;
    const std::string prefix = "travex-host: " + subject.command + ": " + subject.inputName + ": ";
    if (report && fit.toleranceBelowNoise) {
        std::fprintf(
            report,
            "%sthe rows scatter by about %s IU: a smooth table comes no closer than %s IU "
            "to them; %s\n",
            prefix.c_str(), FormatReadable(fit.noise).c_str(),
            FormatReadable(fit.noiseTolerance).c_str(),
            fit.toleranceRaised
                ? ("placed within " + FormatReadable(fit.tolerance) + " IU instead of " +
                   FormatReadable(subject.options.tolerance) + " (--tolerance keeps a smaller one)")
                      .c_str()
                : "--tolerance given, kept");
    }
    if (report && fit.keptInput) {
        std::fprintf(
            report,
            "%skept as it is: the search found no table with fewer points than its %zu rows "
            "that holds the bounds\n",
            prefix.c_str(), rows);
    }
    if (report && fit.inputStepTooLong) {
        std::fprintf(report,
                     "%sits rows step farther than a table holds (65535 IU of time): placed with "
                     "more points than rows\n",
                     prefix.c_str());
    }
    subject.options.tolerance = fit.tolerance;
    if (report) {
        PrintPlacementReport(subject, placement, table.units, session.GetSetup().GetLimits(),
                             report);
    }
    if (const std::string missed = MissedBounds(subject, placement);
        !fit.keptInput && !table.bestEffort && !missed.empty()) {
        std::fprintf(stderr,
                     "%snot written: the table misses a bound (%s); --best-effort writes it "
                     "anyway, a wider --tolerance may hold them all\n",
                     prefix.c_str(), missed.c_str());
        return kExitRefused;
    }
    return EditTableIntoMotion(session, placement.times, placement.positions, table.units, options,
                               motion);
}
