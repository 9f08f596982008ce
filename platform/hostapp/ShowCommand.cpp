#include "ShowCommand.h"

#include <NumberText.h>
#include <StepRules.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ExitStatus.h"
#include "MotionPreviewSource.h"
#include "WholeTextIO.h"

namespace {

struct ShowArguments {
    PreviewArguments preview;
    bool csv = false;
    bool strict = false;
};

// Display units, not bytes: "²" is two bytes but one column.
size_t Columns(const std::string& text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char ch) {
        return (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
    }));
}

std::string Shortest(double value) {
    char buffer[kNumberTextSize];
    return std::string(FormatShortest(value, buffer));
}

std::string Between(int segment) {
    return "between points " + std::to_string(segment) + " and " + std::to_string(segment + 1);
}

// The per-point table: row i holds point i and, from point 1 on, the segment that ends there.
std::vector<std::vector<std::string>> TableRows(const MotionPreview& motion, bool csv) {
    const PreviewUnits& units = motion.units;
    const std::string position = "[" + units.position.name + "]";
    const std::string time = "[" + units.time.name + "]";
    const std::string speed = "[" + units.SpeedName() + "]";
    std::vector<std::vector<std::string>> rows;
    rows.push_back({"point", "time " + time, "position " + position, "time step " + time,
                    "position step " + position, "average speed " + speed, "peak speed " + speed,
                    "peak acceleration [" + units.AccelerationName(csv) + "]"});
    if (motion.hasProfile) rows.front().push_back("deviation " + position);
    // A table for people opens its headings with a capital.
    if (!csv) {
        for (std::string& heading : rows.front())
            heading[0] = static_cast<char>(heading[0] - 'a' + 'A');
    }
    const auto number = [csv](double value) {
        return csv ? Shortest(value) : FormatReadable(value);
    };
    const std::vector<double>& times = motion.preview.GetTimes();
    const std::vector<double>& positions = motion.preview.GetPositions();
    rows.reserve(times.size() + 1);
    for (size_t i = 0; i < times.size(); ++i) {
        std::vector<std::string> row = {std::to_string(i), number(units.Time(times[i])),
                                        number(units.Position(positions[i]))};
        if (i > 0) {
            const SegmentFigures& segment = motion.figures.segments[i - 1];
            row.push_back(number(units.Time(segment.timeStep)));
            row.push_back(number(units.Position(segment.positionStep)));
            row.push_back(number(units.Speed(segment.averageSpeed)));
            row.push_back(number(units.Speed(segment.peakSpeed)));
            row.push_back(number(units.Acceleration(segment.peakAcceleration)));
            if (motion.hasProfile) {
                const DeviationPeak deviation =
                    LargestDeviationIn(motion.preview, motion.profile, times[i - 1], times[i]);
                row.push_back(number(units.Position(deviation.value)));
            }
        } else if (csv) {
            row.resize(rows.front().size());
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

void AppendTable(std::string& out, const std::vector<std::vector<std::string>>& rows) {
    std::vector<size_t> widths(rows.front().size(), 0);
    for (const auto& row : rows) {
        for (size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], Columns(row[c]));
    }
    for (const auto& row : rows) {
        std::string line;
        for (size_t c = 0; c < row.size(); ++c) {
            line.append(c == 0 ? 0 : 2, ' ');
            line.append(widths[c] - Columns(row[c]), ' ');
            line += row[c];
        }
        out += line + "\n";
    }
}

// CSV as spreadsheets read it: a comma between fields, '.' decimals, quotes only where needed.
void AppendCsv(std::string& out, const std::vector<std::vector<std::string>>& rows) {
    for (const auto& row : rows) {
        for (size_t c = 0; c < row.size(); ++c) {
            if (c > 0) out += ',';
            out += row[c];
        }
        out += "\r\n";
    }
}

std::string Limit(const std::optional<double>& limit, const std::string& source, double shown,
                  const std::string& unit) {
    if (!limit) return "none";
    return FormatReadable(shown) + " " + unit + " (" + source + ")";
}

std::string ViolationLine(const MotionPreview& motion, const LimitViolation& violation) {
    const PreviewUnits& units = motion.units;
    const bool speed = violation.quantity == LimitViolation::Quantity::Speed;
    const std::string unit = speed ? units.SpeedName() : units.AccelerationName();
    const auto shown = [&](double value) {
        return FormatReadable(speed ? units.Speed(value) : units.Acceleration(value)) + " " + unit;
    };
    return std::string(speed ? "speed " : "acceleration ") + shown(violation.value) +
           " exceeds the limit of " + shown(violation.limit) + " " + Between(violation.segment) +
           ", at " + FormatReadable(units.Time(violation.time)) + " " + units.time.name;
}

void AppendLine(std::string& out, const char* label, const std::string& text) {
    char padded[32];
    std::snprintf(padded, sizeof padded, "%-21s", label);
    out += std::string(padded) + text + "\n";
}

// The profile's peaks beside the table's, and the largest deviation overall and per profile
// segment, each with the line that states the segment.
void AppendProfileSummary(std::string& out, const std::string& profilePath,
                          const MotionPreview& motion) {
    const PreviewUnits& units = motion.units;
    const MotionProfile& profile = motion.profile;
    const auto time = [&](double iu) {
        return FormatReadable(units.Time(iu)) + " " + units.time.name;
    };
    const auto position = [&](double iu) {
        return FormatReadable(units.Position(iu)) + " " + units.position.name;
    };
    const std::vector<ProfileSegment>& segments = profile.GetSegments();
    out += "\nProfile " + InputName(profilePath) + ", " + std::to_string(segments.size()) +
           (segments.size() == 1 ? " segment\n" : " segments\n");
    AppendLine(out, "Peak speed:",
               FormatReadable(units.Speed(profile.PeakSpeed())) + " " + units.SpeedName() +
                   " (the table: " + FormatReadable(units.Speed(motion.figures.peakSpeed.value)) +
                   ")");
    AppendLine(out, "Peak acceleration:",
               FormatReadable(units.Acceleration(profile.PeakAcceleration())) + " " +
                   units.AccelerationName() + " (the table: " +
                   FormatReadable(units.Acceleration(motion.figures.peakAcceleration.value)) + ")");
    AppendLine(out, "Largest deviation:",
               position(motion.deviation.value) + " at " + time(motion.deviation.time) + ", " +
                   Between(motion.deviation.segment));
    for (const ProfileSegment& segment : segments) {
        const DeviationPeak peak = LargestDeviationIn(motion.preview, profile, segment.startTime,
                                                      segment.startTime + segment.duration);
        out += "  line " + std::to_string(segment.line) + ", " + std::string(segment.law.Name()) +
               ": " + position(peak.value) + " at " + time(peak.time) + "\n";
    }
}

void AppendSummary(std::string& out, const std::string& motionPath, const std::string& profilePath,
                   const MotionPreview& motion) {
    const PreviewUnits& units = motion.units;
    const MotionFigures& figures = motion.figures;
    const auto time = [&](double iu) {
        return FormatReadable(units.Time(iu)) + " " + units.time.name;
    };
    const auto position = [&](double iu) {
        return FormatReadable(units.Position(iu)) + " " + units.position.name;
    };
    const auto line = [&out](const char* label, const std::string& text) {
        AppendLine(out, label, text);
    };
    out += "\nSummary of " + motionPath + " on \"" + motion.setupName + "\"\n";
    line("Points:", std::to_string(figures.points));
    line("Duration:", time(figures.duration));
    line("Travel:",
         position(figures.netTravel) + " net, " + position(figures.totalTravel) + " in all");
    line("Peak speed:", FormatReadable(units.Speed(figures.peakSpeed.value)) + " " +
                            units.SpeedName() + " at " + time(figures.peakSpeed.time) + ", " +
                            Between(figures.peakSpeed.segment));
    line("Peak acceleration:", FormatReadable(units.Acceleration(figures.peakAcceleration.value)) +
                                   " " + units.AccelerationName() + " at " +
                                   time(figures.peakAcceleration.time) + ", " +
                                   Between(figures.peakAcceleration.segment));
    line("Smallest time step:",
         time(figures.smallestTimeStep) + ", " + Between(figures.smallestTimeStepSegment));
    const std::vector<StepNearBound> near = FindStepsNearBounds(figures);
    line("Steps near bounds:",
         near.empty() ? "none (a step may take at most " + FormatReadable(kMaxTimeStepIU) +
                            " IU of time and " + Shortest(kMaxPositionStepIU) + " IU of position)"
                      : std::to_string(near.size()));
    for (const StepNearBound& step : near) {
        const bool isTime = step.step == StepNearBound::Step::Time;
        out += std::string("  ") + (isTime ? "time step " : "position step ") +
               Shortest(step.value) + " IU of at most " + Shortest(step.bound) + " IU " +
               Between(step.segment) + "\n";
    }

    if (motion.hasProfile) AppendProfileSummary(out, profilePath, motion);

    out += "\nLimits\n";
    line("Speed limit:", Limit(motion.limits.maxSpeed, motion.speedLimitSource,
                               units.Speed(motion.limits.maxSpeed.value_or(0)), units.SpeedName()));
    line("Acceleration limit:", Limit(motion.limits.maxAcceleration, motion.accelerationLimitSource,
                                      units.Acceleration(motion.limits.maxAcceleration.value_or(0)),
                                      units.AccelerationName()));
    size_t segments = 0;
    for (size_t i = 0; i < motion.violations.size(); ++i) {
        segments += i == 0 || motion.violations[i].segment != motion.violations[i - 1].segment;
    }
    line("Exceeded:", segments == 0 ? std::string("in no segment")
                                    : "in " + std::to_string(segments) +
                                          (segments == 1 ? " segment" : " segments"));
    for (const LimitViolation& violation : motion.violations) {
        out += "  " + ViolationLine(motion, violation) + "\n";
    }
}

bool WriteOut(const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
           std::fflush(stdout) == 0;
}

int RunShow(const HostOptions& options, const ShowArguments& arguments) {
    MotionPreview motion;
    const int status = LoadMotionPreview(options, arguments.preview, motion);
    if (status != kExitSuccess) return status;

    std::string out;
    const auto rows = TableRows(motion, arguments.csv);
    if (arguments.csv) {
        AppendCsv(out, rows);
        // The violations stay off the table's way: a spreadsheet reads standard output alone.
        for (const LimitViolation& violation : motion.violations) {
            std::fprintf(stderr, "%s\n", ViolationLine(motion, violation).c_str());
        }
    } else {
        out =
            "Preview: an estimate for planning, not the drive's own profile "
            "(docs/trajectory-preview.md)\n\n";
        AppendTable(out, rows);
        AppendSummary(out, arguments.preview.motionPath, arguments.preview.profilePath, motion);
    }
    if (!WriteOut(out)) return ReportFailure("cannot write to standard output");
    return arguments.strict && !motion.violations.empty() ? kExitRefused : kExitSuccess;
}

}  // namespace

HostCommand AddShowCommand(CLI::App& app, const HostOptions& options) {
    CLI::App* command = app.add_subcommand(
        "show",
        "Show a motion's points with the preview's time step, position step, average speed, "
        "peak speed and peak acceleration per segment, a summary, and the segments that exceed "
        "the drive's limits; with --profile, the deviation from the profile per segment. Exit "
        "status 1 for a motion that the module refuses (its message on "
        "standard error) and, with --strict, for a limit exceeded");
    auto arguments = std::make_shared<ShowArguments>();
    AddPreviewOptions(command, arguments->preview);
    command->add_flag("--csv", arguments->csv,
                      "Write the per-point table as CSV ('.' decimals, a header line) instead; "
                      "exceeded limits go to standard error");
    command->add_flag("--strict", arguments->strict, "Exit with status 1 when a limit is exceeded");
    return {command, [&options, arguments] { return RunShow(options, *arguments); }};
}
