#include "pt/PtImportPreview.h"

#include <ArrayParameterHost.h>
#include <VarType.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "MotionFigures.h"
#include "StepRules.h"
#include "pt/PtKeyCheck.h"
#include "pt/PtKeys.h"

namespace {

constexpr size_t kShownText = 40;
// Rounding may raise the preview's peak acceleration by this share before the report says so.
constexpr double kAccelerationTolerance = 0.10;
// Less than this is the arithmetic of the units or of --relative, not the rounding.
constexpr double kUnseenRoundingIU = 1e-6;
// A last step faster than this share of the fastest is a log that ends while moving; a table
// of fewer points is written by hand, and its end is meant.
constexpr double kMovingEndShare = 0.05;
constexpr size_t kLogPoints = 10;
// When more than this share of the rows go back in time, the columns are likely swapped.
constexpr int kSwappedShareDivisor = 5;

// Clamped into the parameter's range, then reduced to what its type holds; true when clamped.
// `clampedIU`: the clamped value in IU, before the reduction. The range in the parameter's unit is
// looked up once for the whole file.
struct ParameterLimits {
    explicit ParameterLimits(const CMC_ArrayParameter& parameter)
        : parameter(parameter),
          min(parameter.GetMin()),
          max(parameter.GetMax()),
          convertsBack(ConvertsBack(parameter)) {}
    // `reducedIU`: the value in IU that InsertValueAt stores of the limited value.
    bool Limit(double& value, double& clampedIU, double& reducedIU) const {
        bool wasClamped = false;
        if (min > value) {
            value = min;
            wasClamped = true;
        } else if (value > max) {
            value = max;
            wasClamped = true;
        }
        parameter.UnitToIU(value);
        clampedIU = value;
        // What a CMC_Value of the type stores; reducing is idempotent, so reading it back
        // (GetValue reduces again) gives the same.
        value = ReduceToVarType(parameter.GetType(), value);
        reducedIU = value;
        parameter.IUToUnit(value);
        if (!convertsBack) parameter.UnitToIU(reducedIU = value);
        return wasClamped;
    }
    // A value of the type's range divided by the IU per unit and multiplied again lands within
    // far less than half a step of where it was, so that the conversion into IU gives the value
    // back (MC_ArrayParameter.h); unless the factor is so far from 1 that the quotient leaves
    // the doubles' range. Such a parameter converts each value anew.
    static bool ConvertsBack(const CMC_ArrayParameter& parameter) {
        double unitsPerIU = 1;
        parameter.IUToUnit(unitsPerIU);
        return unitsPerIU > 1e-280 && unitsPerIU < 1e280;
    }
    const CMC_ArrayParameter& parameter;
    const double min;
    const double max;
    const bool convertsBack;
};

std::string Shown(std::string_view line) {
    std::string text;
    for (char c : line.substr(0, kShownText)) {
        text += static_cast<unsigned char>(c) < 0x20 && c != '\t' ? '?' : c;
    }
    if (line.size() > kShownText) text += "...";
    return text;
}

std::string Number(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// Without an exponent where that stays short, as people write values.
std::string Plain(double value) {
    if (!(std::abs(value) < 1e15)) return Number(value);
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

// Three significant digits, or whole from 1000 on, for figures that are estimates.
std::string Rounded(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, std::abs(value) >= 1000 ? "%.0f" : "%.3g", value);
    return buffer;
}

std::string Plural(int count, const char* what) {
    return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

// The notes of the reader and of the preview in the file's order, the first kMaxPtImportNotes.
std::vector<PtImportNote> MergedNotes(const PointsFile& file, const PtImportPreview& preview) {
    std::vector<PtImportNote> notes;
    for (const int line : file.headerLineNumbers) {
        notes.push_back({PtImportNote::Kind::Header, line});
    }
    for (const PointsFileSkip& skip : file.skips) {
        notes.push_back({PtImportNote::Kind::Unread, skip.line, false, 0, 0, skip.reason});
    }
    notes.insert(notes.end(), preview.notes.begin(), preview.notes.end());
    std::stable_sort(notes.begin(), notes.end(),
                     [](const PtImportNote& a, const PtImportNote& b) { return a.line < b.line; });
    if (notes.size() > kMaxPtImportNotes) notes.resize(kMaxPtImportNotes);
    return notes;
}

std::string ColumnName(const PointsFile& file, int column, const std::string& unit,
                       bool fromHeader) {
    std::string text = "column " + std::to_string(column + 1);
    if (column < static_cast<int>(file.header.size())) {
        text += " \"" + file.header[column].name + "\"";
    }
    return text + " in " + unit + (fromHeader ? " (from the header)" : "");
}

// What a first row away from (0, 0) makes the motion do, for it starts at (0, 0).
void WarnOfFirstRow(const PointsFile& file, const std::string& name, const PtImportUnits& units,
                    std::FILE* stream) {
    const PointsRow& row = file.firstRow;
    if (!file.hasFirstRow || file.relative || (row.time == 0 && row.position == 0)) return;
    const std::string time = Plain(row.time) + " " + units.time;
    const std::string position = Plain(row.position) + " " + units.position;
    std::string what;
    if (row.time < 0) {
        what = "the rows before time 0 are skipped";
    } else if (row.time == 0) {
        what =
            "the row is skipped, as the start point holds time 0, and the motion goes from "
            "position 0 to the next row's";
    } else if (row.position == 0) {
        what = "the motion waits " + time + " before it moves";
    } else {
        what = "the motion first goes " + position + " in " + time;
    }
    std::fprintf(stream,
                 "%s:%d: the first row is at time %s and position %s, not at the start point "
                 "(0, 0): %s; --relative makes the first row the start\n",
                 name.c_str(), row.line, time.c_str(), position.c_str(), what.c_str());
}

void SayRounding(const PtImportPreview& preview, const std::string& name,
                 const PtImportUnits& units, std::FILE* stream) {
    std::string changes;
    if (preview.timeRounding > kUnseenRoundingIU) {
        changes = "times by up to " + Rounded(preview.timeRounding / units.timeIUPerUnit) + " " +
                  units.time;
    }
    if (preview.positionRounding > kUnseenRoundingIU) {
        changes += (changes.empty() ? "" : ", ") + std::string("positions by up to ") +
                   Rounded(preview.positionRounding / units.positionIUPerUnit) + " " +
                   units.position;
    }
    if (changes.empty()) return;
    std::fprintf(stream, "%s: rounded to whole IU: %s\n", name.c_str(), changes.c_str());
    const double rounded = MotionFigures::PeakAccelerationOf(preview.timesIU, preview.positionsIU);
    const double own =
        MotionFigures::PeakAccelerationOf(preview.fileTimesIU, preview.filePositionsIU);
    if (!(rounded > own * (1 + kAccelerationTolerance))) return;
    const double toUnits = units.timeIUPerUnit * units.timeIUPerUnit / units.positionIUPerUnit;
    const std::string unit = units.position + "/" + units.time + "^2";
    std::fprintf(
        stream,
        "%s: the rounding raises the preview's peak acceleration by %s %% (from %s to "
        "%s %s); --resample places fewer points, farther apart, that suffer less from it\n",
        name.c_str(), Rounded(own > 0 ? (rounded / own - 1) * 100 : INFINITY).c_str(),
        Rounded(own * toUnits).c_str(), Rounded(rounded * toUnits).c_str(), unit.c_str());
}

// A log that stops while the axis still moves: the drive must stop at the last point, within
// the last step at best.
void WarnOfMovingEnd(const PtImportPreview& preview, const std::string& name,
                     const PtImportUnits& units, std::FILE* stream) {
    const std::vector<double>& times = preview.fileTimesIU;
    const std::vector<double>& positions = preview.filePositionsIU;
    const size_t count = times.size();
    if (count < kLogPoints) return;
    double fastest = 0;
    for (size_t i = 1; i < count; ++i) {
        fastest = std::max(fastest,
                           std::abs(positions[i] - positions[i - 1]) / (times[i] - times[i - 1]));
    }
    const double step = times[count - 1] - times[count - 2];
    const double speed = (positions[count - 1] - positions[count - 2]) / step;
    if (!(std::abs(speed) > fastest * kMovingEndShare) || !std::isfinite(speed)) return;
    const double speedInUnits = speed * units.timeIUPerUnit / units.positionIUPerUnit;
    const double stepInUnits = step / units.timeIUPerUnit;
    std::fprintf(stream,
                 "%s: the log ends at %s %s/%s: stopping within one step (%s %s) needs %s "
                 "%s/%s^2\n",
                 name.c_str(), Rounded(speedInUnits).c_str(), units.position.c_str(),
                 units.time.c_str(), Rounded(stepInUnits).c_str(), units.time.c_str(),
                 Rounded(std::abs(speedInUnits) / stepInUnits).c_str(), units.position.c_str(),
                 units.time.c_str());
}

}  // namespace

void PreparePtImportArrays(CMC_ArrayParameter& positions, CMC_ArrayParameter& times,
                           const std::string& positionUnit, const std::string& timeUnit) {
    CArrayParameterHost::BindToKey(positions, host_pt_keys::kPosition);
    CArrayParameterHost::BindToKey(times, host_pt_keys::kTime);
    times.SetMinInInternalUnit(kPtMinTimeIU);
    times.SetMaxInInternalUnit(kPtMaxTimeIU);
    if (!positionUnit.empty()) CArrayParameterHost::SelectUnit(positions, positionUnit.c_str());
    if (!timeUnit.empty()) CArrayParameterHost::SelectUnit(times, timeUnit.c_str());
}

PtImportPreview PreviewPtImport(const std::vector<PointsRow>& rows,
                                const CMC_ArrayParameter& positions,
                                const CMC_ArrayParameter& times, bool roundedTable) {
    PtImportPreview preview;
    // A point a row at most, after point 0: the table is made without regrowing it.
    std::vector<std::vector<double>*> tables = {&preview.filePositionsIU, &preview.fileTimesIU};
    if (roundedTable) tables.insert(tables.end(), {&preview.positionsIU, &preview.timesIU});
    for (std::vector<double>* table : tables) {
        table->reserve(rows.size() + 1);
        table->push_back(0.0);
    }
    if (roundedTable) {
        preview.lines.reserve(rows.size() + 1);
        preview.lines.push_back(0);
    }
    auto note = [&preview](PtImportNote entry) {
        if (preview.notes.size() < kMaxPtImportNotes) preview.notes.push_back(std::move(entry));
    };
    const ParameterLimits positionLimits(positions);
    const ParameterLimits timeLimits(times);
    // As GetValue reads back the last point's time.
    double previous = 0;
    for (const PointsRow& row : rows) {
        double position = row.position;
        double time = row.time;
        if (std::isnan(time) || std::isnan(position)) {
            ++preview.skipped;
            note({PtImportNote::Kind::NotANumber, row.line, std::isnan(time)});
            continue;
        }
        if (time < 0) {
            ++preview.skipped;
            note({PtImportNote::Kind::NegativeTime, row.line});
            continue;
        }
        double clampedPositionIU = 0;
        double clampedTimeIU = 0;
        // As InsertValueAt converts them.
        double positionIU = 0;
        double timeIU = 0;
        const bool positionLimited = positionLimits.Limit(position, clampedPositionIU, positionIU);
        const bool timeLimited = timeLimits.Limit(time, clampedTimeIU, timeIU);
        // The start point written out, as files often begin: nothing is lost by dropping it.
        if (preview.taken == 0 && time == 0 && position == 0) continue;
        if (!(time > previous)) {
            ++preview.skipped;
            ++preview.timesNotAfter;
            note({PtImportNote::Kind::TimeNotAfter, row.line, true, time, previous});
            continue;
        }
        previous = timeIU;
        times.IUToUnit(previous);
        if (roundedTable) {
            preview.timesIU.push_back(timeIU);
            preview.positionsIU.push_back(positionIU);
            preview.lines.push_back(row.line);
        }
        preview.timeRounding = std::max(preview.timeRounding, std::abs(timeIU - clampedTimeIU));
        preview.positionRounding =
            std::max(preview.positionRounding, std::abs(positionIU - clampedPositionIU));
        preview.fileTimesIU.push_back(clampedTimeIU);
        preview.filePositionsIU.push_back(clampedPositionIU);
        ++preview.taken;
        if (positionLimited) {
            ++preview.limited;
            note({PtImportNote::Kind::Limited, row.line, false, row.position, position});
        }
        if (timeLimited) {
            ++preview.limited;
            note({PtImportNote::Kind::Limited, row.line, true, row.time, time});
        }
    }
    return preview;
}

void PrintPtImportReport(const PointsFile& file, const PtImportPreview& preview,
                         std::string_view bytes, const std::string& name,
                         const PtImportUnits& units, bool placed, std::FILE* stream) {
    auto withUnit = [&](double value, bool isTime) {
        return Number(value) + " " + (isTime ? units.time : units.position);
    };
    const std::vector<PtImportNote> notes = MergedNotes(file, preview);
    std::vector<int> numbers;
    for (const PtImportNote& note : notes) {
        if (numbers.empty() || numbers.back() != note.line) numbers.push_back(note.line);
    }
    const std::vector<std::string> lines = FileLines(bytes, numbers);
    for (const PtImportNote& note : notes) {
        // Nobody reads on (a closed pipe): the rest would only fail too.
        if (std::ferror(stream)) return;
        const char* quantity = note.isTime ? "time" : "position";
        std::string what;
        const auto at = std::lower_bound(numbers.begin(), numbers.end(), note.line);
        const size_t index = static_cast<size_t>(at - numbers.begin());
        const std::string text = index < lines.size() ? Shown(lines[index]) : "";
        switch (note.kind) {
            case PtImportNote::Kind::Header:
                std::fprintf(stream, "%s:%d: header \"%s\"\n", name.c_str(), note.line,
                             text.c_str());
                continue;
            case PtImportNote::Kind::Unread:
                what = note.reason;
                break;
            case PtImportNote::Kind::NotANumber:
                what = std::string(quantity) + " is not a number";
                break;
            case PtImportNote::Kind::NegativeTime:
                what = "negative time";
                break;
            case PtImportNote::Kind::TimeNotAfter:
                what = "time " + withUnit(note.value, true) +
                       " is not after the previous point's " + withUnit(note.became, true);
                break;
            case PtImportNote::Kind::Limited:
                std::fprintf(stream, "%s:%d: %s %s limited to %s\n", name.c_str(), note.line,
                             quantity, withUnit(note.value, note.isTime).c_str(),
                             withUnit(note.became, note.isTime).c_str());
                continue;
        }
        std::fprintf(stream, "%s:%d: skipped \"%s\": %s\n", name.c_str(), note.line, text.c_str(),
                     what.c_str());
    }
    const int skipped = file.skipped + preview.skipped;
    const size_t total =
        static_cast<size_t>(skipped + preview.limited) + file.headerLineNumbers.size();
    if (total > notes.size()) {
        std::fprintf(stream, "%s: ... and %zu more %sskipped lines or limited values\n",
                     name.c_str(), total - notes.size(), file.headerLines > 0 ? "header or " : "");
    }
    const int rows = static_cast<int>(file.rows.size()) + file.skipped;
    if (preview.timesNotAfter * kSwappedShareDivisor > rows) {
        std::fprintf(stream,
                     "%s: %d of %d lines are skipped because their times do not rise: are the "
                     "columns swapped? (--columns %d,%d swaps them)\n",
                     name.c_str(), preview.timesNotAfter, rows, file.positionColumn + 1,
                     file.timeColumn + 1);
    }
    std::string separator = SeparatorName(file.separator);
    if (file.fittingLines < file.numberLines) {
        separator += " (" + std::to_string(file.fittingLines) + " of the first " +
                     Plural(file.numberLines, "line") + " of numbers fit it)";
    }
    std::fprintf(
        stream, "%s: time from %s, position from %s; separator %s%s\n", name.c_str(),
        ColumnName(file, file.timeColumn, units.time, units.timeFromHeader).c_str(),
        ColumnName(file, file.positionColumn, units.position, units.positionFromHeader).c_str(),
        separator.c_str(),
        file.headerLines > 0 ? ("; " + Plural(file.headerLines, "header line")).c_str() : "");
    if (file.durationsFromHeader) {
        std::fprintf(stream,
                     "%s: the header names column %d a duration: each row's time is the sum of "
                     "the durations up to it (--durations)\n",
                     name.c_str(), file.timeColumn + 1);
    }
    if (file.run > 0) {
        const PointsFileRun& run = file.runs[static_cast<size_t>(file.run - 1)];
        std::fprintf(stream, "%s: run %d of %zu, lines %d-%d; %s of the other runs left out\n",
                     name.c_str(), file.run, file.runs.size(), run.first, run.last,
                     Plural(file.outsideRun, "row").c_str());
    }
    if (file.unwrapped > 0) {
        std::fprintf(stream, "%s: unwrapped: positions moved by up to %s %s\n", name.c_str(),
                     Plain(file.unwrapped).c_str(), units.position.c_str());
    }
    WarnOfFirstRow(file, name, units, stream);
    if (!placed) SayRounding(preview, name, units, stream);
    WarnOfMovingEnd(preview, name, units, stream);
    std::fprintf(stream, "%s: %s taken, %s skipped, %s limited\n", name.c_str(),
                 Plural(preview.taken, "point").c_str(), Plural(skipped, "line").c_str(),
                 Plural(preview.limited, "value").c_str());
}

std::string ExplainPtRefusal(const std::string& message, const PtImportPreview& preview,
                             const std::string& name, const PtImportUnits& units) {
    const size_t at = message.find("of point ");
    if (at == std::string::npos) return message;
    const long point = std::strtol(message.c_str() + at + 9, nullptr, 10);
    if (point < 1 || point >= static_cast<long>(preview.lines.size())) return message;
    const size_t i = static_cast<size_t>(point);
    std::string text = name + ":" + std::to_string(preview.lines[i]) + ": " + message;
    auto step = [&](double value, double bound, double iuPerUnit, const std::string& unit) {
        std::string text = " (" + Plain(value) + " IU; at most " + Plain(bound) + " IU";
        if (unit != "IU") {
            text += " = " + Plain(std::round(bound / iuPerUnit * 10) / 10) + " " + unit;
        }
        return text + ")";
    };
    if (message.starts_with("Time value of point") &&
        message.find("too distant") != std::string::npos) {
        text += step(preview.timesIU[i] - preview.timesIU[i - 1], kMaxTimeStepIU,
                     units.timeIUPerUnit, units.time);
    } else if (message.starts_with("Position value of point")) {
        text += step(std::abs(preview.positionsIU[i] - preview.positionsIU[i - 1]),
                     kMaxPositionStepIU, units.positionIUPerUnit, units.position);
    }
    return text;
}
