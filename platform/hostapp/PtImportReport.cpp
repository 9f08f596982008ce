#include "PtImportReport.h"

#include <MC_Value.h>
#include <locale.h>
#include <stdlib.h>

#include <algorithm>
#include <charconv>
#include <cmath>

#include "PtMotionText.h"

namespace {

constexpr size_t kShownText = 40;

locale_t CLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
    return locale;
}

// As the C run-time's "%lf %lf" reads: each number after optional white space.
int ScanTwoNumbers(const char* text, double values[2]) {
    int read = 0;
    for (const char* cursor = text; read < 2; ++read) {
        char* end = nullptr;
        values[read] = strtod_l(cursor, &end, CLocale());
        if (end == cursor) break;
        cursor = end;
    }
    return read;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// ScanTwoNumbers on the line where it lies, for the plain decimals that files hold: from_chars
// reads them as strtod does (correctly rounded, the same extent) at a fraction of the cost and
// without a copy of the line. -1 when the line needs the full scan: a comma, a sign '+', hex,
// inf/nan, or a number out of range.
int ScanTwoPlainNumbers(std::string_view line, double values[2]) {
    if (line.find(',') != std::string_view::npos) return -1;
    const char* cursor = line.data();
    const char* const end = line.data() + line.size();
    int read = 0;
    for (; read < 2; ++read) {
        while (cursor != end && IsSpace(*cursor)) ++cursor;
        if (cursor == end) break;
        const char* digits = *cursor == '-' ? cursor + 1 : cursor;
        if (digits == end) break;
        if (*digits == '0' && digits + 1 != end && (digits[1] == 'x' || digits[1] == 'X')) {
            return -1;
        }
        if (!IsDigit(*digits) && *digits != '.') {
            // What strtod might still read as a number goes the full way; anything else is none.
            const bool maybeNumber = *cursor == '+' || *cursor == '-' || *digits == 'i' ||
                                     *digits == 'I' || *digits == 'n' || *digits == 'N';
            if (maybeNumber) return -1;
            break;
        }
        const auto result = std::from_chars(cursor, end, values[read]);
        if (result.ec != std::errc{}) return -1;
        cursor = result.ptr;
    }
    return read;
}

// Clamped into the parameter's range, then reduced to what its type holds; true when clamped.
// The range in the parameter's unit is looked up once for the whole file.
struct CLimits {
    explicit CLimits(const CMC_ArrayParameter& parameter)
        : parameter(parameter), min(parameter.GetMin()), max(parameter.GetMax()) {}
    bool Limit(double& value) const {
        bool clamped = false;
        if (min > value) {
            value = min;
            clamped = true;
        } else if (value > max) {
            value = max;
            clamped = true;
        }
        parameter.UnitToIU(value);
        // What a CMC_Value of the type stores; reducing is idempotent, so reading it back
        // (GetValue reduces again) gives the same.
        value = CMC_Value::Reduce(parameter.GetType(), value);
        parameter.IUToUnit(value);
        return clamped;
    }
    const CMC_ArrayParameter& parameter;
    const double min;
    const double max;
};

std::string Shown(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    std::string text;
    for (char c : line.substr(0, kShownText)) {
        text += static_cast<unsigned char>(c) < 0x20 && c != '\t' ? '?' : c;
    }
    if (line.size() > kShownText) text += "...";
    return text;
}

bool IsBlank(std::string_view line) {
    return line.find_first_not_of(" \t\r\n\v\f") == std::string_view::npos;
}

std::string Number(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace

void PreparePtImportArrays(CMC_ArrayParameter& positions, CMC_ArrayParameter& times,
                           const std::string& positionUnit, const std::string& timeUnit) {
    positions.BindToKey("TPOS");
    times.BindToKey("ATIME");
    times.SetMinInInternalUnit(kPtMinTimeIU);
    times.SetMaxInInternalUnit(kPtMaxTimeIU);
    if (!positionUnit.empty()) positions.SelectUnit(positionUnit.c_str());
    if (!timeUnit.empty()) times.SelectUnit(timeUnit.c_str());
}

PtImportPreview PreviewPtImport(std::string_view bytes, const CMC_ArrayParameter& positions,
                                const CMC_ArrayParameter& times) {
    PtImportPreview preview;
    // A point a line at most, after point 0: the table is made without regrowing it.
    const size_t most = 2 + static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    preview.positionsIU.reserve(most);
    preview.timesIU.reserve(most);
    preview.positionsIU.push_back(0.0);
    preview.timesIU.push_back(0.0);
    auto note = [&preview](PtImportNote entry) {
        if (preview.notes.size() < kMaxPtImportNotes) preview.notes.push_back(std::move(entry));
    };
    const CLimits positionLimits(positions);
    const CLimits timeLimits(times);
    std::string copy;  // a line that needs the comma change or the full scan
    for (int number = 1; !bytes.empty(); ++number) {
        const size_t end = bytes.find('\n');
        const size_t length = end == std::string_view::npos ? bytes.size() : end + 1;
        std::string_view line = bytes.substr(0, length);
        bytes.remove_prefix(length);
        double values[2];
        int read = ScanTwoPlainNumbers(line, values);
        if (read < 0) {
            copy.assign(line);
            for (char& c : copy) {
                if (c == ',') c = '.';
            }
            read = ScanTwoNumbers(copy.c_str(), values);
            line = copy;
        }
        if (read != 2) {
            if (IsBlank(line)) continue;
            ++preview.skipped;
            note({PtImportNote::Kind::NoTwoNumbers, number, Shown(line)});
            continue;
        }
        double position = values[0];
        double time = values[1];
        if (std::isnan(time) || std::isnan(position)) {
            ++preview.skipped;
            note({PtImportNote::Kind::NotANumber, number, Shown(line), std::isnan(time)});
            continue;
        }
        if (time < 0) {
            ++preview.skipped;
            note({PtImportNote::Kind::NegativeTime, number, Shown(line)});
            continue;
        }
        const double readPosition = position;
        const double readTime = time;
        const bool positionLimited = positionLimits.Limit(position);
        const bool timeLimited = timeLimits.Limit(time);
        double previous = preview.timesIU.back();
        times.IUToUnit(previous);
        // The start point written out, as files often begin: nothing is lost by dropping it.
        if (preview.timesIU.size() == 1 && time == 0 && position == 0) continue;
        if (!(time > previous)) {
            ++preview.skipped;
            note({PtImportNote::Kind::TimeNotAfter, number, Shown(line), true, time, previous});
            continue;
        }
        // As InsertValueAt converts them.
        double timeIU = time;
        double positionIU = position;
        times.UnitToIU(timeIU);
        positions.UnitToIU(positionIU);
        preview.timesIU.push_back(timeIU);
        preview.positionsIU.push_back(positionIU);
        ++preview.taken;
        if (positionLimited) {
            ++preview.limited;
            note({PtImportNote::Kind::Limited, number, Shown(line), false, readPosition, position});
        }
        if (timeLimited) {
            ++preview.limited;
            note({PtImportNote::Kind::Limited, number, Shown(line), true, readTime, time});
        }
    }
    return preview;
}

void PrintPtImportReport(const PtImportPreview& preview, const std::string& name,
                         const char* positionUnit, const char* timeUnit, std::FILE* stream) {
    auto withUnit = [&](double value, bool isTime) {
        return Number(value) + " " + (isTime ? timeUnit : positionUnit);
    };
    for (const PtImportNote& note : preview.notes) {
        const char* quantity = note.isTime ? "time" : "position";
        std::string what;
        switch (note.kind) {
            case PtImportNote::Kind::NoTwoNumbers:
                what = "no two numbers";
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
        std::fprintf(stream, "%s:%d: skipped \"%s\": %s\n", name.c_str(), note.line,
                     note.text.c_str(), what.c_str());
    }
    const size_t total = static_cast<size_t>(preview.skipped + preview.limited);
    if (total > preview.notes.size()) {
        std::fprintf(stream, "%s: ... and %zu more skipped lines or limited values\n", name.c_str(),
                     total - preview.notes.size());
    }
    std::fprintf(stream, "%s: %d point%s taken, %d line%s skipped, %d value%s limited\n",
                 name.c_str(), preview.taken, preview.taken == 1 ? "" : "s", preview.skipped,
                 preview.skipped == 1 ? "" : "s", preview.limited, preview.limited == 1 ? "" : "s");
}
