#include "preview/PlacementReport.h"

#include <LimitViolations.h>
#include <MotionFigures.h>
#include <NumberText.h>
#include <TrajectoryPreview.h>

namespace {

// A limit exceeded in many segments is told for the first few.
constexpr size_t kShownViolations = 10;

double ShareOf(double value, double reference) { return reference > 0 ? value / reference : 0; }

// What the report states of the table's own preview, its segments taken one at a time as the
// preview makes them: a long table's report needs no preview beside the table.
struct TableFigures {
    double peakSpeed = 0;
    double peakAcceleration = 0;
    int deviationSegment = 0;  // the segment that holds the largest deviation's time
    size_t segmentsOverLimits = 0;
    size_t violationCount = 0;
    std::vector<LimitViolation> firstViolations;  // kShownViolations at most
};

bool MeasureTable(const GridPlacement& placement, const MotionLimits& limits,
                  TableFigures& figures) {
    if (!TrajectoryPreview::CheckPoints(placement.times, placement.positions, nullptr)) {
        return false;
    }
    MotionFigures one;
    one.segments.resize(1);
    int index = 0;
    TrajectoryPreview::ForEachSegment(
        placement.times, placement.positions, [&](const CubicSegment& segment) {
            const size_t at = static_cast<size_t>(index);
            SegmentFigures& row = one.segments.front();
            row =
                SegmentFigures::Of(segment, placement.positions[at + 1] - placement.positions[at]);
            figures.peakSpeed = std::max(figures.peakSpeed, row.peakSpeed);
            figures.peakAcceleration = std::max(figures.peakAcceleration, row.peakAcceleration);
            if (index == 0 || segment.startTime <= placement.largestDeviationTime) {
                figures.deviationSegment = index;
            }
            std::vector<LimitViolation> violations = FindLimitViolations(one, limits);
            figures.segmentsOverLimits += !violations.empty();
            figures.violationCount += violations.size();
            for (LimitViolation& violation : violations) {
                if (figures.firstViolations.size() == kShownViolations) break;
                violation.segment = index;
                figures.firstViolations.push_back(violation);
            }
            ++index;
        });
    return true;
}

}  // namespace

std::string MissedBounds(const PlacementReportSubject& subject, const GridPlacement& placement) {
    const GridPlacementOptions& options = subject.options;
    if (options.uniformStep > 0) return {};
    const double peak = placement.referencePeakAcceleration;
    std::string missed;
    const auto add = [&missed](const std::string& text) {
        missed += (missed.empty() ? "" : "; ") + text;
    };
    if (!placement.withinTolerance) {
        add("deviation " + FormatReadable(placement.largestDeviation) + " IU over " +
            FormatReadable(options.tolerance) + " IU");
    }
    if (!placement.withinAcceleration) {
        add("peak acceleration " + FormatReadable(ShareOf(placement.peakAcceleration, peak)) +
            " times " + subject.referenceName + "'s, over " +
            FormatReadable(options.accelerationShare));
    }
    if (!placement.withinSpacing) {
        add(placement.shortestToNeighbour * options.stepRatio < 1
                ? "a step " + FormatReadable(placement.shortestToNeighbour) +
                      " of its neighbour's, under " + FormatReadable(1 / options.stepRatio)
                : std::string("a position step beyond 2147483647 IU"));
    }
    if (!placement.withinJump) {
        add("acceleration jump " + FormatReadable(ShareOf(placement.largestJump, peak)) +
            " of the peak, over " + FormatReadable(ShareOf(placement.jumpBound, peak)));
    }
    if (!placement.withinRobustness) {
        add("with the central difference " + FormatReadable(placement.robustDeviation) +
            " IU (bound " + FormatReadable(options.robustToleranceFactor * options.tolerance) +
            " IU) and " + FormatReadable(ShareOf(placement.robustPeakAcceleration, peak)) +
            " times the peak acceleration (bound " +
            FormatReadable(options.robustAccelerationShare) + ")");
    }
    return missed;
}

void PrintPlacementReport(const PlacementReportSubject& subject, const GridPlacement& placement,
                          const PreviewUnits& units, const MotionLimits& limits,
                          std::FILE* stream) {
    TableFigures figures;
    if (!MeasureTable(placement, limits, figures)) return;
    // In the motion's units, IU in brackets.
    const auto position = [&](double iu) {
        if (units.position.name == "IU") return FormatReadable(iu) + " IU";
        return FormatReadable(units.Position(iu)) + " " + units.position.name + " (" +
               FormatReadable(iu) + " IU)";
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
    const double peak = placement.referencePeakAcceleration;
    std::string how;
    if (options.uniformStep > 0) {
        how = "at steps of " + std::to_string(options.uniformStep) + " IU of time";
    } else if (placement.withinTolerance) {
        how = "within " + position(options.tolerance) + " of " + subject.referenceName;
    } else {
        how = "not within " + position(options.tolerance) + " of " + subject.referenceName;
    }
    if (options.uniformStep == 0 && placement.nearUniformPoints > 0) {
        how +=
            " (the best near-uniform table: " + std::to_string(placement.nearUniformPoints) + ")";
    }
    std::fprintf(stream, "travex-host: %s: %s: %zu points %s\n", subject.command.c_str(),
                 subject.inputName.c_str(), placement.times.size(), how.c_str());
    line("Largest deviation:", position(placement.largestDeviation) + " at " +
                                   time(placement.largestDeviationTime) + ", " +
                                   BetweenPoints(figures.deviationSegment));
    line("Peak speed:", speed(figures.peakSpeed) + " (" + subject.referenceName + ": " +
                            speed(subject.referencePeakSpeed) + ")");
    line("Peak acceleration:",
         acceleration(figures.peakAcceleration) + " (" + subject.referenceName + ": " +
             acceleration(peak) + "; " + FormatReadable(ShareOf(figures.peakAcceleration, peak)) +
             " times, bound " + FormatReadable(options.accelerationShare) + ")");
    line("Acceleration jump:",
         acceleration(placement.largestJump) + " at " + time(placement.largestJumpTime) + " (" +
             FormatReadable(ShareOf(placement.largestJump, peak)) + " of the peak, bound " +
             FormatReadable(ShareOf(placement.jumpBound, peak)) + ")");
    line("Steps:", "the shortest " + FormatReadable(placement.shortestToNeighbour) +
                       " of its neighbour's (bound " + FormatReadable(1 / options.stepRatio) + ")");
    line("Central difference:",
         position(placement.robustDeviation) + " from " + subject.referenceName + " (bound " +
             FormatReadable(options.robustToleranceFactor * options.tolerance) +
             " IU), peak acceleration " +
             FormatReadable(ShareOf(placement.robustPeakAcceleration, peak)) + " times (bound " +
             FormatReadable(options.robustAccelerationShare) + ")");
    if (!limits.maxSpeed && !limits.maxAcceleration) {
        line("Over the limits:", "the setup states none");
    } else {
        const size_t segments = figures.segmentsOverLimits;
        line("Over the limits:", segments == 0 ? std::string("in no segment")
                                               : "in " + std::to_string(segments) +
                                                     (segments == 1 ? " segment" : " segments"));
        for (const LimitViolation& violation : figures.firstViolations) {
            const bool isSpeed = violation.quantity == MotionQuantity::Speed;
            const auto shown = [&](double value) {
                return isSpeed ? speed(value) : acceleration(value);
            };
            std::fprintf(stream, "    %s %s over the limit of %s %s, at %s\n",
                         isSpeed ? "speed" : "acceleration", shown(violation.value).c_str(),
                         shown(violation.limit).c_str(), BetweenPoints(violation.segment).c_str(),
                         time(violation.time).c_str());
        }
        if (figures.violationCount > kShownViolations) {
            std::fprintf(stream, "    and %zu more\n", figures.violationCount - kShownViolations);
        }
    }
}
