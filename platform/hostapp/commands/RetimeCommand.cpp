#include "commands/RetimeCommand.h"

#include <NumberText.h>
#include <PointTable.h>
#include <Retiming.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "files/ExitStatus.h"
#include "files/FileIdentity.h"
#include "files/WholeTextIO.h"
#include "preview/MotionPreviewSource.h"

namespace {

struct RetimeArguments {
    PreviewArguments preview;
    std::string outputPath;
    bool uniform = false;
    std::string duration;  // empty: none
};

std::string Between(int segment) {
    return std::to_string(segment) + " and " + std::to_string(segment + 1);
}

// "0.6 s", "600 ms" or a bare number in the time unit shown, as whole IU.
bool ParseDuration(const std::string& text, const CDriveSetup& setup, const PreviewUnits& units,
                   double& iu, std::string& error) {
    const size_t blank = text.find_first_of(" \t");
    double value = 0;
    CMC_Unit unit = units.time;
    if (blank != std::string::npos) {
        const std::string name = text.substr(text.find_first_not_of(" \t", blank));
        const CMC_Unit* found = FindSetupUnit(setup, UnitKind::Time, name);
        if (!found) {
            error = "--duration \"" + text + "\" names a time unit that the setup lacks";
            return false;
        }
        unit = *found;
    }
    if (!ParseFiniteNumber(text.substr(0, blank), value) || !(value > 0) ||
        !(value * unit.iuPerUnit < 2147483647.0)) {
        error = "--duration \"" + text + "\" is not a positive time (\"0.6 s\", or a number in " +
                units.time.name + ")";
        return false;
    }
    iu = std::max(1.0, std::round(value * unit.iuPerUnit));
    return true;
}

// A figure before and after, beside its limit, as standard error shows it.
std::string PeakLine(const char* label, double before, double after,
                     const std::optional<double>& limit,
                     double (PreviewUnits::*convert)(double) const, const PreviewUnits& units,
                     const std::string& unit) {
    const auto shown = [&](double iu) { return FormatReadable((units.*convert)(iu)) + " " + unit; };
    char padded[32];
    std::snprintf(padded, sizeof padded, "%-21s", label);
    return padded + shown(before) + " before, " + shown(after) + " after, " +
           (limit ? "limit " + shown(*limit) : std::string("no limit")) + "\n";
}

void Report(const MotionPreview& motion, const Retiming& result, const MotionFigures& after,
            const char* method) {
    const PreviewUnits& units = motion.units;
    const MotionFigures& before = motion.figures;
    const auto time = [&units](double iu) { return units.TimeText(iu); };
    std::string text = "Retimed:             " + std::string(method) + "\n";
    text += "Duration:            " + time(before.duration) + " before, " + time(after.duration) +
            " after\n";
    text += "Segments changed:    " + std::to_string(result.segmentsChanged.size()) + " of " +
            std::to_string(before.segments.size());
    constexpr size_t kNamed = 10;
    for (size_t i = 0; i < result.segmentsChanged.size() && i < kNamed; ++i) {
        text += (i == 0 ? " (between points " : ", ") + Between(result.segmentsChanged[i]);
    }
    if (result.segmentsChanged.size() > kNamed) text += ", ...";
    if (!result.segmentsChanged.empty()) text += ")";
    text += "\n";
    text += PeakLine("Peak speed:", before.peakSpeed.value, after.peakSpeed.value,
                     motion.limits.maxSpeed, &PreviewUnits::Speed, units, units.SpeedName());
    text += PeakLine("Peak acceleration:", before.peakAcceleration.value,
                     after.peakAcceleration.value, motion.limits.maxAcceleration,
                     &PreviewUnits::Acceleration, units, units.AccelerationName());
    text += PeakLine("Peak jerk:", before.peakJerk.value, after.peakJerk.value,
                     motion.limits.maxJerk, &PreviewUnits::Jerk, units, units.JerkName());
    std::fputs(text.c_str(), stderr);
}

int RunRetime(const HostOptions& options, const RetimeArguments& arguments) {
    if (!RefuseSameFile("the motion", arguments.preview.motionPath, "-o", arguments.outputPath)) {
        return kExitFailure;
    }
    MotionPreview motion;
    int status = LoadMotionPreview(options, arguments.preview, motion);
    if (status != kExitSuccess) return status;
    const RetimeLimits limits{motion.limits.maxSpeed, motion.limits.maxAcceleration,
                              motion.limits.maxJerk};
    if (!limits.Any() && arguments.duration.empty()) {
        return ReportFailure(
            "there is no limit to hold: the setup has none, and neither --max-speed, "
            "--max-acceleration nor --max-jerk is given");
    }
    CHostSession session;
    if (!OpenSession(session, options)) return kExitFailure;

    const std::vector<double>& times = motion.preview.GetTimes();
    const std::vector<double>& positions = motion.preview.GetPositions();
    Retiming result;
    std::string error;
    const char* method = "per segment";
    bool found = false;
    if (!arguments.duration.empty()) {
        method = "to the duration";
        double duration = 0;
        if (!ParseDuration(arguments.duration, session.GetSetup(), motion.units, duration, error)) {
            return ReportFailure(error.c_str());
        }
        found = ScaleToDuration(times, duration, result, error);
    } else if (arguments.uniform) {
        method = "uniformly";
        found = RetimeUniformly(times, positions, limits, false, result, error);
    } else {
        found = RetimeBySegment(times, positions, limits, result, error);
    }
    if (!found) {
        std::fprintf(stderr, "travex-host: the motion cannot be retimed: %s\n", error.c_str());
        return kExitRefused;
    }
    MotionFigures after;
    {
        CTrajectoryPreview preview;
        if (!preview.Build(result.times, positions, error)) return ReportFailure(error.c_str());
        after = MotionFigures::Of(preview);
    }
    if (!arguments.duration.empty() && NeededStretch(after, limits) > 1) {
        Retiming least;
        std::string shortest = "none";
        if (RetimeUniformly(times, positions, limits, true, least, error)) {
            shortest = motion.units.TimeText(least.times.back());
        }
        std::fprintf(stderr,
                     "travex-host: a duration of %s breaks the limits; the least that holds "
                     "them is %s\n",
                     arguments.duration.c_str(), shortest.c_str());
        return kExitRefused;
    }

    const std::string text =
        result.changed ? WithPointTimes(motion.text, result.times) : motion.text;
    // The module has the last word: what it refuses is not written.
    CString parameters(text);
    CString program;
    if (!session.GetModule().TranslateMotionSequence(session.GetSetup(), session.GetMotion(),
                                                     parameters, program)) {
        return ReportRefusal(program.GetString());
    }
    if (!WriteWholeText(arguments.outputPath, text, error)) return ReportFailure(error.c_str());
    Report(motion, result, after, method);
    return kExitSuccess;
}

}  // namespace

HostCommand AddRetimeCommand(CLI::App& app, const HostOptions& options) {
    CLI::App* command = app.add_subcommand(
        "retime",
        "Change a motion's times so that its preview holds the drive's limits, positions "
        "unchanged, times in whole IU: by default only the segments that exceed a limit are "
        "stretched, as little as the limits ask. The figures before and after go to standard "
        "error. Exit status 1 for a motion that the module refuses, one that no retiming can "
        "make hold, or a --duration that breaks a limit (with the least that holds them)");
    auto arguments = std::make_shared<RetimeArguments>();
    arguments->preview.keepText = true;
    AddPreviewOptions(command, arguments->preview);
    command
        ->add_option("-o,--output", arguments->outputPath,
                     "The retimed motion (whole or not at all); standard output for -")
        ->type_name("FILE")
        ->required();
    CLI::Option* uniform = command->add_flag(
        "--uniform", arguments->uniform,
        "Multiply every time by one factor, the least for which every limit holds");
    command
        ->add_option("--duration", arguments->duration,
                     "Scale the whole motion to this duration (\"0.6 s\", or a number in the time "
                     "unit shown); refused when it breaks a limit")
        ->type_name("TIME")
        ->excludes(uniform);
    return {command, [&options, arguments] { return RunRetime(options, *arguments); }};
}
