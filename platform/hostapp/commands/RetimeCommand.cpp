#include "commands/RetimeCommand.h"

#include <NumberText.h>
#include <Retiming.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands/CommonOptions.h"
#include "files/ExitStatus.h"
#include "files/FileIdentity.h"
#include "files/WholeTextIO.h"
#include "preview/MotionPreviewSource.h"
#include "pt/PtTableReader.h"

namespace {

struct RetimeArguments {
    PreviewArguments preview;
    std::string outputPath;
    bool uniform = false;
    std::string duration;  // empty: none
};

// A value in the units shown, with IU in brackets where they differ: "0.3 s [300 IU]".
class ShownFigures {
public:
    explicit ShownFigures(const PreviewUnits& units) : m_units(units) {}

    std::string Time(double iu) const {
        return Both(m_units.Time(iu), m_units.time.name, iu, "IU");
    }
    std::string Speed(double iu) const {
        return Both(m_units.Speed(iu), m_units.SpeedName(), iu, "IU/IU");
    }
    std::string Acceleration(double iu) const {
        return Both(m_units.Acceleration(iu), m_units.AccelerationName(), iu, "IU/IU\u00B2");
    }
    std::string Jerk(double iu) const {
        return Both(m_units.Jerk(iu), m_units.JerkName(), iu, "IU/IU\u00B3");
    }

private:
    static std::string Both(double value, const std::string& unit, double iu,
                            const std::string& iuName) {
        std::string text = FormatReadable(value) + " " + unit;
        if (unit != iuName) text += " [" + FormatReadable(iu) + " " + iuName + "]";
        return text;
    }
    const PreviewUnits& m_units;
};

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
            error = "--duration \"" + text + "\" names a time unit that the setup lacks (" +
                    SetupUnitNames(setup, UnitKind::Time) + ")";
            return false;
        }
        unit = *found;
    }
    if (!ParseFiniteNumber(text.substr(0, blank), value) || !(value > 0)) {
        error = "--duration \"" + text + "\" is not a positive time (\"0.6 s\", or a number in " +
                units.time.name + ")";
        return false;
    }
    if (!(std::round(value * unit.iuPerUnit) <= kLongestMotionIU)) {
        char longest[kNumberTextSize], inIU[kNumberTextSize];
        error = "--duration \"" + text + "\" is too long: a motion holds at most " +
                std::string(FormatShortest(kLongestMotionIU / unit.iuPerUnit, longest)) + " " +
                unit.name +
                (unit.name == "IU"
                     ? ""
                     : " [" + std::string(FormatShortest(kLongestMotionIU, inIU)) + " IU]");
        return false;
    }
    iu = std::max(1.0, std::round(value * unit.iuPerUnit));
    return true;
}

// A figure before and after, beside its limit, as standard error shows it.
std::string PeakLine(const char* label, double before, double after,
                     const std::optional<double>& limit,
                     std::string (ShownFigures::*shown)(double) const,
                     const ShownFigures& figures) {
    char padded[32];
    std::snprintf(padded, sizeof padded, "%-21s", label);
    return padded + (figures.*shown)(before) + " before, " + (figures.*shown)(after) + " after, " +
           (limit ? "limit " + (figures.*shown)(*limit) : std::string("no limit")) + "\n";
}

void Report(const MotionPreview& motion, const RetimedTable& result, const MotionFigures& after,
            double fastest, const char* method) {
    const ShownFigures shown(motion.units);
    const MotionFigures& before = motion.figures;
    std::string text = "Retimed:             " + std::string(method) + "\n";
    text += "Duration:            " + shown.Time(before.duration) + " before, " +
            shown.Time(after.duration) + " after";
    if (fastest > 0) text += "; fastest possible " + shown.Time(fastest);
    text += "\n";
    text += "Points:              " + std::to_string(before.points) + " before, " +
            std::to_string(result.times.size()) + " after\n";
    text += PeakLine("Peak speed:", before.peakSpeed.value, after.peakSpeed.value,
                     motion.limits.maxSpeed, &ShownFigures::Speed, shown);
    text +=
        PeakLine("Peak acceleration:", before.peakAcceleration.value, after.peakAcceleration.value,
                 motion.limits.maxAcceleration, &ShownFigures::Acceleration, shown);
    text += PeakLine("Peak jerk:", before.peakJerk.value, after.peakJerk.value,
                     motion.limits.maxJerk, &ShownFigures::Jerk, shown);
    std::fputs(text.c_str(), stderr);
}

// A motion whose text shows IU is shown in the setup's first units, the ones its user works in,
// unless options name others; limits given as bare numbers are read in the units shown.
int LoadInUnitsShown(const HostOptions& options, RetimeArguments& arguments,
                     MotionPreview& motion) {
    int status = LoadMotionPreview(options, arguments.preview, motion);
    if (status != kExitSuccess) return status;
    HostSession session;
    if (!OpenSession(session, options)) return kExitFailure;
    const PreviewUnits setupUnits = PreviewUnits::DefaultOf(session.GetSetup());
    bool changed = false;
    if (arguments.preview.positionUnit.empty() && motion.units.position.name == "IU") {
        arguments.preview.positionUnit = setupUnits.position.name;
        changed = changed || setupUnits.position.name != "IU";
    }
    if (arguments.preview.timeUnit.empty() && motion.units.time.name == "IU") {
        arguments.preview.timeUnit = setupUnits.time.name;
        changed = changed || setupUnits.time.name != "IU";
    }
    if (!changed) return kExitSuccess;
    motion = MotionPreview();
    return LoadMotionPreview(options, arguments.preview, motion);
}

int RunRetime(const HostOptions& options, RetimeArguments arguments) {
    if (!RefuseSameFile("the motion", arguments.preview.motionPath, "-o", arguments.outputPath)) {
        return kExitFailure;
    }
    MotionPreview motion;
    int status = LoadInUnitsShown(options, arguments, motion);
    if (status != kExitSuccess) return status;
    const MotionLimits& limits = motion.limits;
    if (!limits.Any() && arguments.duration.empty()) {
        return ReportFailure(
            "there is no limit to hold: the setup has none, and neither --max-speed, "
            "--max-acceleration nor --max-jerk is given");
    }
    HostSession session;
    if (!OpenSession(session, options)) return kExitFailure;
    double duration = 0;
    std::string error;
    if (!arguments.duration.empty() &&
        !ParseDuration(arguments.duration, session.GetSetup(), motion.units, duration, error)) {
        return ReportFailure(error.c_str());
    }

    Retimer retimer;
    if (!retimer.Load(motion.preview.GetTimes(), motion.preview.GetPositions(), limits, error)) {
        return ReportFailure((arguments.preview.motionPath + ": " + error).c_str());
    }
    RetimedTable result;
    const char* method = "per segment";
    bool found = false;
    if (!arguments.duration.empty()) {
        method = "to the duration";
        double least = 0;
        if (limits.Any() && !retimer.LeastDuration(least, error)) {
            std::fprintf(stderr, "travex-host: the motion cannot be retimed: %s\n", error.c_str());
            return kExitRefused;
        }
        if (duration < least) {
            std::fprintf(stderr,
                         "travex-host: a duration of %s breaks the limits; the least that holds "
                         "them is %s\n",
                         arguments.duration.c_str(),
                         ShownFigures(motion.units).Time(least).c_str());
            return kExitRefused;
        }
        found = retimer.ToDuration(duration, result, error);
        if (found && !result.holds) {
            std::fprintf(stderr,
                         "travex-host: the motion placed anew for a duration of %s breaks the "
                         "limits, though %s held them\n",
                         arguments.duration.c_str(),
                         ShownFigures(motion.units).Time(least).c_str());
            return kExitRefused;
        }
    } else if (arguments.uniform) {
        method = "uniformly";
        found = retimer.Uniformly(result, error);
    } else {
        found = retimer.BySegment(result, error);
    }
    if (!found) {
        std::fprintf(stderr, "travex-host: the motion cannot be retimed: %s\n", error.c_str());
        return kExitRefused;
    }
    MotionFigures after;
    {
        TrajectoryPreview preview;
        if (!preview.Build(result.times, result.positions, error)) {
            return ReportFailure(error.c_str());
        }
        after = MotionFigures::Of(preview);
    }

    const std::string text =
        result.changed ? WithPoints(motion.text, result.times, result.positions) : motion.text;
    // The module has the last word: what it refuses is not written.
    CString parameters(text);
    CString program;
    if (!session.GetModule().TranslateMotionSequence(session.GetSetup(), session.GetMotion(),
                                                     parameters, program)) {
        return ReportRefusal(program.GetString());
    }
    if (!WriteWholeText(arguments.outputPath, text, error)) return ReportFailure(error.c_str());
    const bool timed = limits.maxSpeed || limits.maxAcceleration;
    Report(motion, result, after, timed ? retimer.FastestPossible() : 0, method);
    return kExitSuccess;
}

}  // namespace

HostCommand AddRetimeCommand(CLI::App& app, const HostOptions& options) {
    CLI::App* command = app.add_subcommand(
        "retime",
        "Pass a motion's path at a pace that keeps its preview within the drive's limits: the "
        "table's preview, slowed where the limits ask (by default) or scaled in time as a "
        "whole, with its points placed anew on the drive's grid within 1 IU of it. The figures "
        "before and after go to standard error. Exit status 1 for a motion that the module "
        "refuses, one that no retiming can make hold, or a --duration that breaks a limit (with "
        "the least that holds them)");
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
        "Scale the whole motion in time by one factor, the least for which every limit holds");
    command
        ->add_option("--duration", arguments->duration,
                     "Scale the whole motion to this duration (\"0.6 s\", or a number in the time "
                     "unit shown); refused when it breaks a limit")
        ->type_name("TIME")
        ->excludes(uniform);
    return {command, [&options, arguments] { return RunRetime(options, *arguments); }};
}
