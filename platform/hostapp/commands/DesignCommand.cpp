#include "commands/DesignCommand.h"

#include <GridPlacement.h>
#include <MotionProfile.h>

#include <cstdio>
#include <memory>

#include "commands/CommonOptions.h"
#include "commands/DenseTableMotion.h"
#include "commands/UsageChecks.h"
#include "files/ExitStatus.h"
#include "files/WholeTextIO.h"
#include "preview/MotionProfileFile.h"
#include "preview/PlacementProgress.h"
#include "preview/PlacementReport.h"
#include "pt/NewMotionFromTable.h"

namespace {

struct DesignArguments {
    std::string profilePath;
    NewMotionOutputs outputs;
    PtMotionOptions motion;
    std::string positionUnit;  // empty: the setup's first
    std::string timeUnit;
    double tolerance = 1;
    int step = 0;
    bool bestEffort = false;
};

int RunDesign(const HostOptions& options, DesignArguments arguments) {
    if (!CheckNewMotionOutputs("the profile", arguments.profilePath, arguments.outputs)) {
        return kExitFailure;
    }
    std::string error;
    if (!CheckTolerance(arguments.tolerance, "--tolerance", error)) {
        return ReportFailure(error.c_str());
    }
    HostSession session;
    if (!OpenSession(session, options) || !RequireEnabledType(session)) return kExitFailure;
    const CDriveSetup& setup = session.GetSetup();
    NewMotionUnits named;
    if (!named.LookUp(setup, arguments.positionUnit, arguments.timeUnit, error)) {
        return ReportFailure(error.c_str());
    }
    // The motion speaks the units the profile is written in, unless the options name others.
    PreviewUnits profileUnits = PreviewUnits::DefaultOf(setup);
    MotionProfile profile;
    if (!ReadMotionProfile(arguments.profilePath, setup, profile, error, &profileUnits.position,
                           &profileUnits.time)) {
        return ReportFailure(error.c_str());
    }
    const PreviewUnits units = named.Or(profileUnits);

    PlacementReportSubject subject;
    subject.command = "design";
    subject.inputName = InputName(arguments.profilePath);
    subject.referenceName = "the profile";
    subject.referencePeakSpeed = profile.PeakSpeed();
    subject.options.tolerance = arguments.tolerance;
    subject.options.uniformStep = arguments.step;
    subject.options.referencePeakAcceleration = profile.PeakAcceleration();
    const GridPlacement placement =
        PlaceOnGrid(PlacementProgress(profile, subject.command), subject.options);

    PrintPlacementReport(subject, placement, units, setup.GetLimits(), stderr);
    if (const std::string missed = MissedBounds(subject, placement);
        !arguments.bestEffort && !missed.empty()) {
        std::fprintf(stderr,
                     "travex-host: design: %s: not written: the table misses a bound (%s); "
                     "--best-effort writes it anyway, a wider --tolerance may hold them all\n",
                     subject.inputName.c_str(), missed.c_str());
        return kExitRefused;
    }
    CString text;
    const int status = EditTableIntoMotion(session, placement.times, placement.positions, units,
                                           arguments.motion, text);
    if (status != kExitSuccess) return status;
    return WriteNewMotion(session, text, arguments.outputs);
}

}  // namespace

HostCommand AddDesignCommand(CLI::App& app, const HostOptions& options) {
    CLI::App* command = app.add_subcommand(
        "design",
        "Make a new motion from a profile of motion laws (docs/motion-design.md): the fewest "
        "points found on the drive's grid that a drive runs smoothly and whose preview keeps "
        "within the tolerance of the profile, and say on standard error how close it keeps. "
        "Exit status 0 with the motion, 1 when the table misses a bound (see --best-effort) or "
        "the module refuses it, 2 when a file, the profile, the setup or the module cannot be "
        "read or written");
    auto arguments = std::make_shared<DesignArguments>();
    command
        ->add_option("profile", arguments->profilePath,
                     "The profile, one segment a line; - reads standard input")
        ->type_name("PROFILE|-")
        ->required();
    AddNewMotionOutputOptions(command, arguments->outputs);
    CLI::Option* tolerance =
        command
            ->add_option("--tolerance", arguments->tolerance,
                         "How far the preview may stray from the profile, in IU (1 when absent)")
            ->type_name("D")
            ->check(NumberAbove0());
    command
        ->add_option("--step", arguments->step,
                     "Place the points at uniform steps of T time IU instead (shorter before a "
                     "segment's end)")
        ->type_name("T")
        ->check(WholeNumberFrom(1, 65535))
        ->excludes(tolerance);
    command->add_flag("--best-effort", arguments->bestEffort,
                      "Write the closest table found even where it misses a bound (the "
                      "tolerance, the acceleration, even steps, no jumps of the acceleration, "
                      "the central difference); without it such a table is not written");
    AddUnitOptions(command, arguments->positionUnit, arguments->timeUnit, UnitsOf::DesignedMotion);
    AddPtMotionOptions(command, arguments->motion);
    return {command, [&options, arguments] { return RunDesign(options, *arguments); }};
}
