#include "preview/PlacementReport.h"

#include <Deviation.h>
#include <LimitViolations.h>
#include <MotionFigures.h>
#include <NumberText.h>
#include <TrajectoryPreview.h>

namespace {

// A limit exceeded in many segments is told for the first few.
constexpr size_t kShownViolations = 10;

}  // namespace

void PrintPlacementReport(const PlacementReportSubject& subject, const GridPlacement& placement,
                          const ReferenceMotion& reference, const PreviewUnits& units,
                          const CMC_DriveLimits& limits, std::FILE* stream) {
    CTrajectoryPreview preview;
    std::string error;
    if (!preview.Build(placement.times, placement.positions, error)) return;
    const MotionFigures figures = MotionFigures::Of(preview);
    // Measured apart from the placement's own judgement of its pieces.
    const DeviationPeak deviation = LargestDeviation(preview, reference);
    const auto position = [&](double iu) {
        return FormatReadable(units.Position(iu)) + " " + units.position.name;
    };
    const auto time = [&](double iu) {
        return FormatReadable(units.Time(iu)) + " " + units.time.name;
    };
    const auto speed = [&](double iu) {
        return FormatReadable(units.Speed(iu)) + " " + units.SpeedName();
    };
    const auto acceleration = [&](double iu) {
        return FormatReadable(units.Acceleration(iu)) + " " + units.AccelerationName();
    };
    const auto line = [stream](const char* label, const std::string& text) {
        std::fprintf(stream, "  %-20s%s\n", label, text.c_str());
    };

    const GridPlacementOptions& options = subject.options;
    std::string how =
        options.uniformStep > 0
            ? "at steps of " + std::to_string(options.uniformStep) + " IU of time"
            : "within " + FormatReadable(options.tolerance) + " IU of " + subject.referenceName;
    std::fprintf(stream, "travex-host: %s: %s: %d points %s\n", subject.command.c_str(),
                 subject.inputName.c_str(), figures.points, how.c_str());
    line("Largest deviation:", FormatReadable(deviation.value) + " IU (" +
                                   position(deviation.value) + ") at " + time(deviation.time) +
                                   ", " + BetweenPoints(deviation.segment));
    line("Peak speed:", speed(figures.peakSpeed.value) + " (" + subject.referenceName + ": " +
                            speed(subject.referencePeakSpeed) + ")");
    const double share = placement.referencePeakAcceleration > 0
                             ? figures.peakAcceleration.value / placement.referencePeakAcceleration
                             : 0;
    line("Peak acceleration:", acceleration(figures.peakAcceleration.value) + " (" +
                                   subject.referenceName + ": " +
                                   acceleration(placement.referencePeakAcceleration) + "; " +
                                   FormatReadable(share) + " times)");
    if (options.uniformStep == 0 && !placement.withinTolerance) {
        std::fprintf(stream,
                     "travex-host: %s: no table on the drive's grid was found within %s IU; "
                     "this one comes within %s IU\n",
                     subject.command.c_str(), FormatReadable(options.tolerance).c_str(),
                     FormatReadable(placement.largestDeviation).c_str());
    }
    if (options.uniformStep == 0 && !placement.withinAcceleration) {
        std::fprintf(stream,
                     "travex-host: %s: no table on the drive's grid was found within the tolerance "
                     "whose peak acceleration stays within %s times %s's; this one reaches %s "
                     "times\n",
                     subject.command.c_str(), FormatReadable(options.accelerationShare).c_str(),
                     subject.referenceName.c_str(), FormatReadable(share).c_str());
    }
    const std::vector<LimitViolation> violations = FindLimitViolations(figures, limits);
    if (!limits.maxSpeed && !limits.maxAcceleration) {
        line("Over the limits:", "the setup states none");
        return;
    }
    size_t segments = 0;
    for (size_t i = 0; i < violations.size(); ++i) {
        segments += i == 0 || violations[i].segment != violations[i - 1].segment;
    }
    line("Over the limits:", segments == 0 ? std::string("in no segment")
                                           : "in " + std::to_string(segments) +
                                                 (segments == 1 ? " segment" : " segments"));
    for (size_t i = 0; i < violations.size() && i < kShownViolations; ++i) {
        const LimitViolation& violation = violations[i];
        const bool isSpeed = violation.quantity == LimitViolation::Quantity::Speed;
        const auto shown = [&](double value) {
            return isSpeed ? speed(value) : acceleration(value);
        };
        std::fprintf(stream, "    %s %s over the limit of %s %s, at %s\n",
                     isSpeed ? "speed" : "acceleration", shown(violation.value).c_str(),
                     shown(violation.limit).c_str(), BetweenPoints(violation.segment).c_str(),
                     time(violation.time).c_str());
    }
    if (violations.size() > kShownViolations) {
        std::fprintf(stream, "    and %zu more\n", violations.size() - kShownViolations);
    }
}
