#include "commands/ShowCommand.h"

#include <NumberText.h>
#include <StepRules.h>
#include <TableSmoothness.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "commands/CommonOptions.h"
#include "files/ExitStatus.h"
#include "files/WholeTextIO.h"
#include "preview/MotionPreviewSource.h"

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

// The per-point table, a row at a time, so that a long motion's table is never held whole: row i
// holds point i and, from point 1 on, the segment that ends there.
class PointRows {
public:
    static constexpr size_t kMaxColumns = 10;
    using Headings = std::array<std::string, kMaxColumns>;
    // Row i's figures in display units: its point, time and position, and from point 1 on the
    // segment's; the first `count` fields (the point's included) are there.
    struct Row {
        size_t point = 0;
        std::array<double, kMaxColumns> values{};
        size_t count = 0;
    };

    PointRows(const MotionPreview& motion, bool csv) : m_motion(motion), m_csv(csv) {
        const PreviewUnits& units = motion.units;
        const std::string position = "[" + units.position.name + "]";
        const std::string time = "[" + units.time.name + "]";
        const std::string speed = "[" + units.SpeedName() + "]";
        m_headings = {"point",
                      "time " + time,
                      "position " + position,
                      "time step " + time,
                      "position step " + position,
                      "average speed " + speed,
                      "peak speed " + speed,
                      "peak acceleration [" + units.AccelerationName(csv) + "]",
                      "jerk [" + units.JerkName(csv) + "]",
                      "deviation " + position};
        m_count = motion.hasProfile ? kMaxColumns : kMaxColumns - 1;
        // Measured once, not in each of the table's two passes: it costs far more than the
        // eight bytes a segment that keeping it does.
        if (motion.hasProfile) {
            const std::vector<double>& times = motion.preview.GetTimes();
            m_deviations.reserve(times.size() - 1);
            for (size_t i = 1; i < times.size(); ++i) {
                m_deviations.push_back(
                    LargestDeviationIn(motion.preview, motion.profile, times[i - 1], times[i])
                        .value);
            }
        }
        // A table for people opens its headings with a capital.
        if (!csv) {
            for (std::string& heading : m_headings)
                heading[0] = static_cast<char>(heading[0] - 'a' + 'A');
        }
    }

    size_t Count() const { return m_motion.preview.GetTimes().size(); }
    // The deviation's column only with a profile: the first FieldCount() of each row's fields.
    size_t FieldCount() const { return m_count; }
    const Headings& GetHeadings() const { return m_headings; }

    // Row i; the first row has no segment's fields.
    void Get(size_t i, Row& row) const {
        const PreviewUnits& units = m_motion.units;
        row.point = i;
        row.values[1] = units.Time(m_motion.preview.GetTimes()[i]);
        row.values[2] = units.Position(m_motion.preview.GetPositions()[i]);
        if (i == 0) {
            row.count = 3;
            return;
        }
        const SegmentFigures segment = MotionFigures::SegmentOf(m_motion.preview, i - 1);
        row.values[3] = units.Time(segment.timeStep);
        row.values[4] = units.Position(segment.positionStep);
        row.values[5] = units.Speed(segment.averageSpeed);
        row.values[6] = units.Speed(segment.peakSpeed);
        row.values[7] = units.Acceleration(segment.peakAcceleration);
        row.values[8] = units.Jerk(segment.jerk);
        if (m_motion.hasProfile) row.values[9] = units.Position(m_deviations[i - 1]);
        row.count = m_count;
    }

    // Field c of a row as text in `buffer` (kNumberTextSize characters), written without
    // allocating: a long table has ten million fields. Empty where the row has no such field.
    std::string_view Field(const Row& row, size_t c, char* buffer) const {
        if (c >= row.count) return {};
        if (c == 0) {
            return {buffer,
                    static_cast<size_t>(
                        std::to_chars(buffer, buffer + kNumberTextSize, row.point).ptr - buffer)};
        }
        return m_csv ? FormatShortest(row.values[c], buffer)
                     : FormatReadable(row.values[c], buffer);
    }

private:
    const MotionPreview& m_motion;
    bool m_csv;
    Headings m_headings;
    size_t m_count = 0;
    std::vector<double> m_deviations;  // IU, a segment each, with a profile
};

// Standard output in pieces of about a megabyte: a long table costs that much memory, not its
// size.
class ChunkedOutput {
public:
    std::string& Buffer() { return m_buffer; }
    bool FlushIfFull() { return m_buffer.size() < kChunk || Flush(); }
    bool Flush() {
        const bool written =
            std::fwrite(m_buffer.data(), 1, m_buffer.size(), stdout) == m_buffer.size();
        m_buffer.clear();
        return written;
    }

private:
    static constexpr size_t kChunk = 1 << 20;
    std::string m_buffer;
};

// The columns right-aligned to their widest field, which a first pass over the rows finds.
bool WriteTable(ChunkedOutput& out, const PointRows& rows) {
    const size_t count = rows.FieldCount();
    std::array<size_t, PointRows::kMaxColumns> widths{};
    for (size_t c = 0; c < count; ++c) widths[c] = Columns(rows.GetHeadings()[c]);
    // Most headings are wider than any number can be: only the other columns need the pass.
    std::vector<size_t> measured;
    for (size_t c = 0; c < count; ++c) {
        if (widths[c] < kReadableMaxSize) measured.push_back(c);
    }
    char buffer[kNumberTextSize];
    PointRows::Row row;
    for (size_t i = 0; i < rows.Count() && !measured.empty(); ++i) {
        rows.Get(i, row);
        for (const size_t c : measured) {
            widths[c] = std::max(widths[c], rows.Field(row, c, buffer).size());
        }
    }
    std::string& text = out.Buffer();
    const auto append = [&](size_t c, std::string_view field, size_t columns) {
        text.append((c == 0 ? 0 : 2) + widths[c] - columns, ' ');
        text += field;
    };
    for (size_t c = 0; c < count; ++c) {
        append(c, rows.GetHeadings()[c], Columns(rows.GetHeadings()[c]));
    }
    text += '\n';
    for (size_t i = 0; i < rows.Count(); ++i) {
        rows.Get(i, row);
        for (size_t c = 0; c < row.count; ++c) {
            const std::string_view number = rows.Field(row, c, buffer);
            append(c, number, number.size());  // plain ASCII: a byte a column
        }
        text += '\n';
        if (!out.FlushIfFull()) return false;
    }
    return true;
}

// CSV as spreadsheets read it: a comma between fields, '.' decimals, quotes only where needed.
bool WriteCsv(ChunkedOutput& out, const PointRows& rows) {
    std::string& text = out.Buffer();
    for (size_t c = 0; c < rows.FieldCount(); ++c) {
        if (c > 0) text += ',';
        text += rows.GetHeadings()[c];
    }
    text += "\r\n";
    char buffer[kNumberTextSize];
    PointRows::Row row;
    for (size_t i = 0; i < rows.Count(); ++i) {
        rows.Get(i, row);
        for (size_t c = 0; c < rows.FieldCount(); ++c) {
            if (c > 0) text += ',';
            text += rows.Field(row, c, buffer);
        }
        text += "\r\n";
        if (!out.FlushIfFull()) return false;
    }
    return true;
}

std::string Limit(const std::optional<double>& limit, const std::string& source, double shown,
                  const std::string& unit) {
    if (!limit) return "none";
    return FormatReadable(shown) + " " + unit + " (" + source + ")";
}

std::string ViolationLine(const MotionPreview& motion, const LimitViolation& violation) {
    const PreviewUnits& units = motion.units;
    using Quantity = MotionQuantity;
    const Quantity quantity = violation.quantity;
    const std::string unit = quantity == Quantity::Speed          ? units.SpeedName()
                             : quantity == Quantity::Acceleration ? units.AccelerationName()
                                                                  : units.JerkName();
    const auto shown = [&](double value) {
        const double converted = quantity == Quantity::Speed          ? units.Speed(value)
                                 : quantity == Quantity::Acceleration ? units.Acceleration(value)
                                                                      : units.Jerk(value);
        return FormatReadable(converted) + " " + unit;
    };
    const char* name = quantity == Quantity::Speed          ? "speed "
                       : quantity == Quantity::Acceleration ? "acceleration "
                                                            : "jerk ";
    // The jerk holds all through its segment: no one moment to name.
    const std::string at =
        quantity == Quantity::Jerk
            ? std::string()
            : ", at " + FormatReadable(units.Time(violation.time)) + " " + units.time.name;
    return name + shown(violation.value) + " exceeds the limit of " + shown(violation.limit) + " " +
           BetweenPoints(violation.segment) + at;
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
    const auto time = [&units](double iu) { return units.TimeText(iu); };
    const auto position = [&units](double iu) { return units.PositionText(iu); };
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
                   BetweenPoints(motion.deviation.segment));
    // What a drive feels beside the deviation: a jump of the acceleration at a point beyond the
    // profile's own, and a step much shorter than its neighbour.
    const AccelerationJump jump =
        LargestAccelerationJump(motion.preview.GetSegments(), AccelerationJumpsOf(profile));
    const double profilePeak = profile.PeakAcceleration();
    AppendLine(out, "Acceleration jump:",
               FormatReadable(units.Acceleration(jump.value)) + " " + units.AccelerationName() +
                   " at " + time(jump.time) + " (" +
                   FormatReadable(profilePeak > 0 ? jump.value / profilePeak : 0) +
                   " of the profile's peak)");
    const StepEvenness evenness = MeasureStepEvenness(motion.preview.GetTimes(), profile.Breaks());
    AppendLine(out, "Shortest step:",
               FormatReadable(evenness.shortestToNeighbour) + " of its neighbour's, " +
                   BetweenPoints(evenness.shortestStep));
    for (const ProfileSegment& segment : segments) {
        // A segment that spans the whole profile has the motion's peak, already measured.
        const bool whole =
            segment.startTime == 0 && segment.startTime + segment.duration == profile.Duration();
        const DeviationPeak peak =
            whole ? motion.deviation
                  : LargestDeviationIn(motion.preview, profile, segment.startTime,
                                       segment.startTime + segment.duration);
        out += "  line " + std::to_string(segment.line) + ", " + std::string(segment.law.Name()) +
               ": " + position(peak.value) + " at " + time(peak.time) + "\n";
    }
}

void AppendSummary(std::string& out, const std::string& motionPath, const std::string& profilePath,
                   const MotionPreview& motion) {
    const PreviewUnits& units = motion.units;
    const MotionFigures& figures = motion.figures;
    const auto time = [&units](double iu) { return units.TimeText(iu); };
    const auto position = [&units](double iu) { return units.PositionText(iu); };
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
                            BetweenPoints(figures.peakSpeed.segment));
    line("Peak acceleration:", FormatReadable(units.Acceleration(figures.peakAcceleration.value)) +
                                   " " + units.AccelerationName() + " at " +
                                   time(figures.peakAcceleration.time) + ", " +
                                   BetweenPoints(figures.peakAcceleration.segment));
    line("Peak jerk:", FormatReadable(units.Jerk(figures.peakJerk.value)) + " " + units.JerkName() +
                           " " + BetweenPoints(figures.peakJerk.segment));
    line("Smallest time step:",
         time(figures.smallestTimeStep) + ", " + BetweenPoints(figures.smallestTimeStepSegment));
    // The drive's bounds are in IU: the figure in the units shown, the IU beside it.
    const auto withIU = [&units](double iu, bool isTime) {
        const CMC_Unit& unit = isTime ? units.time : units.position;
        const std::string shown = isTime ? units.TimeText(iu) : units.PositionText(iu);
        return unit.name == "IU" ? shown : shown + " (" + Shortest(iu) + " IU)";
    };
    const std::vector<StepNearBound>& near = motion.stepsNearBounds;
    line("Steps near bounds:",
         near.empty() ? "none (a step may take at most " + withIU(kMaxTimeStepIU, true) +
                            " of time and " + withIU(kMaxPositionStepIU, false) + " of position)"
                      : std::to_string(near.size()));
    for (const StepNearBound& step : near) {
        const bool isTime = step.step == StepNearBound::Step::Time;
        out += std::string("  ") + (isTime ? "time step " : "position step ") +
               withIU(step.value, isTime) + " of at most " + withIU(step.bound, isTime) + " " +
               BetweenPoints(step.segment) + "\n";
    }

    if (motion.hasProfile) AppendProfileSummary(out, profilePath, motion);

    out += "\nLimits\n";
    line("Speed limit:", Limit(motion.limits.maxSpeed, motion.speedLimitSource,
                               units.Speed(motion.limits.maxSpeed.value_or(0)), units.SpeedName()));
    line("Acceleration limit:", Limit(motion.limits.maxAcceleration, motion.accelerationLimitSource,
                                      units.Acceleration(motion.limits.maxAcceleration.value_or(0)),
                                      units.AccelerationName()));
    line("Jerk limit:", Limit(motion.limits.maxJerk, motion.jerkLimitSource,
                              units.Jerk(motion.limits.maxJerk.value_or(0)), units.JerkName()));
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

int RunShow(const HostOptions& options, ShowArguments arguments) {
    MotionPreview motion;
    // The rows take each segment's figures from the preview as they go.
    arguments.preview.keepSegmentFigures = false;
    const int status = LoadMotionPreview(options, arguments.preview, motion);
    if (status != kExitSuccess) return status;

    const PointRows rows(motion, arguments.csv);
    ChunkedOutput out;
    bool written = true;
    if (arguments.csv) {
        written = WriteCsv(out, rows);
        // The violations stay off the table's way: a spreadsheet reads standard output alone.
        for (const LimitViolation& violation : motion.violations) {
            std::fprintf(stderr, "%s\n", ViolationLine(motion, violation).c_str());
        }
    } else {
        out.Buffer() =
            "Preview: an estimate for planning, not the drive's own profile "
            "(docs/trajectory-preview.md)\n\n";
        written = WriteTable(out, rows);
        if (written) {
            AppendSummary(out.Buffer(), arguments.preview.motionPath, arguments.preview.profilePath,
                          motion);
        }
    }
    if (!written || !out.Flush() || std::fflush(stdout) != 0) {
        return ReportFailure("cannot write to standard output");
    }
    return arguments.strict && !motion.violations.empty() ? kExitRefused : kExitSuccess;
}

}  // namespace

HostCommand AddShowCommand(CLI::App& app, const HostOptions& options) {
    CLI::App* command = app.add_subcommand(
        "show",
        "Show a motion's points with the preview's time step, position step, average speed, "
        "peak speed, peak acceleration and jerk per segment, a summary, and the segments that "
        "exceed the drive's limits; with --profile, the deviation from the profile per segment. "
        "Exit status 1 for a motion that the module refuses (its message on "
        "standard error) and, with --strict, for a limit exceeded");
    auto arguments = std::make_shared<ShowArguments>();
    AddPreviewOptions(command, arguments->preview);
    command->add_flag("--csv", arguments->csv,
                      "Write the per-point table as CSV ('.' decimals, a header line) instead; "
                      "exceeded limits go to standard error");
    command->add_flag("--strict", arguments->strict, "Exit with status 1 when a limit is exceeded");
    return {command, [&options, arguments] { return RunShow(options, *arguments); }};
}
