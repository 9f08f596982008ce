#include "preview/MotionPreviewSource.h"

#include <RateText.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "files/ExitStatus.h"
#include "files/WholeTextIO.h"
#include "preview/MotionProfileFile.h"
#include "pt/PtTableReader.h"

namespace {

bool OverrideLimit(const CDriveSetup& setup, const PreviewUnits& units, const std::string& text,
                   MotionQuantity kind, const char* option, std::optional<double>& limit,
                   std::string& source, std::string& error) {
    if (text.empty()) return true;
    double value = 0;
    if (!ParseRate(text, kind, setup, units, value, error)) {
        error = std::string(option) + " \"" + text + "\" " + error;
        return false;
    }
    limit = value;
    source = option;
    return true;
}

// The limits exceeded and the steps near their bounds, found a block of segments at a time: a
// long motion's segment figures are never held whole for them.
void FindOverLimits(MotionPreview& motion) {
    constexpr size_t kBlock = 1 << 16;
    const size_t count = motion.preview.GetSegments().size();
    MotionFigures block;
    for (size_t first = 0; first < count; first += kBlock) {
        block.segments.clear();
        for (size_t i = first; i < std::min(count, first + kBlock); ++i) {
            block.segments.push_back(MotionFigures::SegmentOf(motion.preview, i));
        }
        const int offset = static_cast<int>(first);
        for (LimitViolation violation : FindLimitViolations(block, motion.limits)) {
            violation.segment += offset;
            motion.violations.push_back(violation);
        }
        for (StepNearBound step : FindStepsNearBounds(block)) {
            step.segment += offset;
            motion.stepsNearBounds.push_back(step);
        }
    }
}

int LoadProfile(const PreviewArguments& arguments, const CDriveSetup& setup,
                MotionPreview& motion) {
    std::string error;
    if (!ReadMotionProfile(arguments.profilePath, setup, motion.profile, error)) {
        return ReportFailure(error.c_str());
    }
    // The deviation is measured where both are defined, and the profile starts at time 0.
    const double start = motion.preview.GetStartTime();
    const double end = motion.preview.GetEndTime();
    if (start != 0 || std::abs(end - motion.profile.Duration()) > 1e-9 * end) {
        const PreviewUnits& units = motion.units;
        const auto time = [&units](double iu) { return units.TimeText(iu); };
        return ReportFailure((arguments.motionPath + " runs from " + time(start) + " to " +
                              time(end) + ", " + InputName(arguments.profilePath) + " from 0 to " +
                              time(motion.profile.Duration()) +
                              " (its segments end on whole time IU): a deviation needs the same "
                              "span")
                                 .c_str());
    }
    motion.hasProfile = true;
    motion.deviation = LargestDeviation(motion.preview, motion.profile);
    return kExitSuccess;
}

}  // namespace

int LoadMotionPreview(const HostOptions& options, const PreviewArguments& arguments,
                      MotionPreview& motion) {
    std::string error;
    std::string text;
    if (!ReadWholeText(arguments.motionPath, text, error)) return ReportFailure(error.c_str());

    HostSession session;
    if (!OpenSession(session, options) || !RequireEnabledType(session)) return kExitFailure;
    const CDriveSetup& setup = session.GetSetup();
    motion.setupName = setup.GetName();

    // The module decides whether the table is a motion at all; its program is not needed.
    // The program of a long motion is large: it goes before the preview is built. The module
    // gets the only copy of a long text, and the table is read from it.
    PtTable table;
    {
        CString parameters(text);
        if (!arguments.keepText) std::string().swap(text);
        {
            CString output;
            if (!session.GetModule().TranslateMotionSequence(
                    session.GetSetup(), session.GetMotion(), parameters, output)) {
                return ReportRefusal(output.GetString());
            }
        }
        const CString message = ReadPtTable(
            std::string_view(parameters.GetString(), static_cast<size_t>(parameters.GetLength())),
            setup, table);
        if (!message.IsEmpty()) return ReportFailure(message.GetString());
    }
    motion.units = {table.positionUnit, table.timeUnit};
    if (!ChooseSetupUnit(setup, UnitKind::Position, arguments.positionUnit, motion.units.position,
                         error) ||
        !ChooseSetupUnit(setup, UnitKind::Time, arguments.timeUnit, motion.units.time, error)) {
        return ReportFailure(error.c_str());
    }

    motion.limits = setup.GetLimits();
    if (motion.limits.maxSpeed) motion.speedLimitSource = "setup";
    if (motion.limits.maxAcceleration) motion.accelerationLimitSource = "setup";
    if (motion.limits.maxJerk) motion.jerkLimitSource = "setup";
    if (!OverrideLimit(setup, motion.units, arguments.maxSpeed, MotionQuantity::Speed,
                       "--max-speed", motion.limits.maxSpeed, motion.speedLimitSource, error) ||
        !OverrideLimit(setup, motion.units, arguments.maxAcceleration, MotionQuantity::Acceleration,
                       "--max-acceleration", motion.limits.maxAcceleration,
                       motion.accelerationLimitSource, error) ||
        !OverrideLimit(setup, motion.units, arguments.maxJerk, MotionQuantity::Jerk, "--max-jerk",
                       motion.limits.maxJerk, motion.jerkLimitSource, error)) {
        return ReportFailure(error.c_str());
    }

    if (arguments.keepText) motion.text = std::move(text);
    if (!motion.preview.Build(std::move(table.times), std::move(table.positions), error)) {
        return ReportFailure((arguments.motionPath + ": " + error).c_str());
    }
    motion.figures = MotionFigures::Of(motion.preview, arguments.keepSegmentFigures);
    FindOverLimits(motion);
    if (!arguments.profilePath.empty()) return LoadProfile(arguments, setup, motion);
    return kExitSuccess;
}
