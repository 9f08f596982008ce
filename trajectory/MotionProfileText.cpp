#include "MotionProfileText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr std::string_view kMoveForm = "LAW DISTANCE POSITION-UNIT DURATION TIME-UNIT";
constexpr std::string_view kDwellForm = "dwell DURATION TIME-UNIT";

std::vector<std::string_view> Words(std::string_view line) {
    line = line.substr(0, line.find('#'));
    std::vector<std::string_view> words;
    size_t at = 0;
    while (true) {
        at = line.find_first_not_of(" \t\r\f\v", at);
        if (at == std::string_view::npos) break;
        const size_t end = std::min(line.find_first_of(" \t\r\f\v", at), line.size());
        words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

std::string Shortest(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// `value` to `digits` significant digits, rounded down so that a largest value is never
// overstated.
std::string AtMost(double value, int digits) {
    char text[64];
    // A whole number is never cut to fewer digits than it has, up to where a double holds them.
    if (value >= 1 && value < 1e15) {
        digits = std::max(digits, static_cast<int>(std::floor(std::log10(value))) + 1);
    }
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    const double printed = std::strtod(text, nullptr);
    if (printed > value) {
        std::snprintf(text, sizeof text, "%.*g", digits,
                      printed - std::pow(10.0, std::floor(std::log10(value)) - (digits - 1)));
    }
    return text;
}

// A word as a message shows it: a long one cut short, so that a file of one huge word makes no
// huge message.
std::string Excerpt(std::string_view word) {
    constexpr size_t kLongest = 40;
    if (word.size() <= kLongest) return std::string(word);
    size_t cut = kLongest;
    // Not inside a UTF-8 character.
    while (cut > 0 && (static_cast<unsigned char>(word[cut]) & 0xC0) == 0x80) --cut;
    return std::string(word.substr(0, cut)) + "...";
}

std::string Quoted(std::string_view word) { return "'" + Excerpt(word) + "'"; }

// One line's reading: false with the message (without its place) at the first fault.
class LineReader {
public:
    LineReader(std::vector<std::string_view> words, const ProfileUnits& units)
        : m_words(std::move(words)), m_units(units) {}

    bool Read(ProfileStep& step, double& durationIU, std::string& error) {
        const std::optional<MotionLaw> law = MotionLaw::Named(m_words[0]);
        if (!law && m_words[0] != "poly5") {
            error = "unknown law " + Quoted(m_words[0]) +
                    " (laws: " + std::string(MotionLaw::KnownNames()) + ")";
            return false;
        }
        step.law = law ? law->GetKind() : MotionLaw::Kind::Poly5;
        const bool dwell = step.law == MotionLaw::Kind::Dwell;
        size_t next = 1;
        step.distance = 0;
        if (dwell) {
            // "dwell 10 rot 1 s": a distance where the duration belongs.
            if (m_words.size() >= 3 && !Unit(ProfileUnitKind::Time, m_words[2]) &&
                Unit(ProfileUnitKind::Position, m_words[2])) {
                error = "a dwell has no distance (" + std::string(kDwellForm) + ")";
                return false;
            }
        } else {
            double distance = 0;
            double iuPerUnit = 0;
            if (!Number("the distance", next, distance, error) ||
                !UnitAfter(ProfileUnitKind::Position, next + 1, iuPerUnit, error)) {
                return false;
            }
            step.distance = distance * iuPerUnit;
            next += 2;
        }
        double duration = 0;
        double iuPerUnit = 0;
        if (!Number("the duration", next, duration, error) ||
            !UnitAfter(ProfileUnitKind::Time, next + 1, iuPerUnit, error)) {
            return false;
        }
        if (next + 2 < m_words.size()) {
            error = "unexpected " + Quoted(m_words[next + 2]) + " after the time unit";
            return false;
        }
        if (!(duration > 0)) {
            error = "the duration must be more than zero";
            return false;
        }
        durationIU = duration * iuPerUnit;
        return true;
    }

private:
    std::string_view Form() const { return m_words[0] == "dwell" ? kDwellForm : kMoveForm; }

    bool Number(const char* what, size_t index, double& value, std::string& error) const {
        if (index >= m_words.size()) {
            error = "missing " + std::string(what) + " (" + std::string(Form()) + ")";
            return false;
        }
        std::string_view word = m_words[index];
        // from_chars takes no plus sign.
        const std::string_view digits = word.starts_with('+') ? word.substr(1) : word;
        const auto [end, status] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (status != std::errc() || end != digits.data() + digits.size() || digits.empty() ||
            digits.starts_with('-') != word.starts_with('-') || !std::isfinite(value)) {
            error = Quoted(word) + " is not a number";
            return false;
        }
        return true;
    }

    std::optional<double> Unit(ProfileUnitKind kind, std::string_view name) const {
        return m_units.iuPerUnit ? m_units.iuPerUnit(kind, name) : std::nullopt;
    }

    bool UnitAfter(ProfileUnitKind kind, size_t index, double& iuPerUnit,
                   std::string& error) const {
        const bool position = kind == ProfileUnitKind::Position;
        const std::string what = position ? "position unit" : "time unit";
        if (index >= m_words.size()) {
            error = "missing the " + what + " after " + Excerpt(m_words[index - 1]) + " (" +
                    std::string(Form()) + ")";
            return false;
        }
        const std::optional<double> unit = Unit(kind, m_words[index]);
        if (!unit || !(*unit > 0) || !std::isfinite(*unit)) {
            error = "unknown " + what + " " + Quoted(m_words[index]) +
                    " (units: " + (position ? m_units.positionNames : m_units.timeNames) + ")";
            return false;
        }
        iuPerUnit = *unit;
        return true;
    }

    std::vector<std::string_view> m_words;
    const ProfileUnits& m_units;
};

}  // namespace

bool ParseMotionProfile(std::string_view text, const std::string& fileName,
                        const ProfileUnits& units, MotionProfile& profile, std::string& error,
                        const ProfileBounds& bounds) {
    std::vector<ProfileStep> steps;
    double exactEnd = 0;
    double roundedEnd = 0;
    int lineNumber = 0;
    for (size_t start = 0; start <= text.size(); ++lineNumber) {
        const size_t newline = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, newline - start);
        start = newline + 1;
        std::vector<std::string_view> words = Words(line);
        if (words.empty()) continue;
        const std::string place = fileName + ":" + std::to_string(lineNumber + 1) + ": ";
        ProfileStep step;
        step.line = lineNumber + 1;
        double durationIU = 0;
        const std::string_view durationText =
            words.size() >= 2 ? words[words.size() - 2] : std::string_view();
        const std::string_view durationUnit = words.back();
        LineReader reader(std::move(words), units);
        std::string message;
        if (!reader.Read(step, durationIU, message)) {
            error = place + message;
            return false;
        }
        const double unitIU = *units.iuPerUnit(ProfileUnitKind::Time, durationUnit);
        const std::string unit(durationUnit);
        // Ends on whole time IU, rounded from the exact sum so that no error builds up.
        exactEnd += durationIU;
        const double end = std::round(exactEnd);
        if (!(end <= bounds.longestIU)) {
            error = place + "the profile runs to " + Shortest(exactEnd / unitIU) + " " + unit +
                    " here, longer than a motion can hold (at most " +
                    AtMost(bounds.longestIU / unitIU, 7) + " " + unit + ")";
            return false;
        }
        step.duration = end - roundedEnd;
        if (!(step.duration > 0)) {
            error = place + Excerpt(durationText) + " " + unit +
                    " is too short: a segment spans at least one time IU on the drive's grid (" +
                    Shortest(1 / unitIU) + " " + unit + ")";
            return false;
        }
        roundedEnd = end;
        steps.push_back(step);
    }
    if (steps.empty()) {
        error = fileName + ": the profile has no segment (" + std::string(kMoveForm) + ")";
        return false;
    }
    MotionProfile built;
    ProfileFault fault;
    if (!built.Build(steps, fault)) {
        error = fileName + ":" + std::to_string(fault.line) + ": " + fault.message;
        return false;
    }
    for (const ProfileSegment& segment : built.GetSegments()) {
        // In the grid's step that holds the law's fastest instant the speed falls short of its
        // peak by at most the peak acceleration: a move no table can make in one step.
        const double leastStep = segment.PeakSpeed() - segment.PeakAcceleration();
        if (leastStep > bounds.largestStepIU) {
            error = fileName + ":" + std::to_string(segment.line) + ": " +
                    std::string(segment.law.Name()) + " moves more than " + AtMost(leastStep, 10) +
                    " IU in one time IU, farther than a table can move from one point to the "
                    "next (at most " +
                    AtMost(bounds.largestStepIU, 10) + " IU)";
            return false;
        }
    }
    profile = std::move(built);
    return true;
}
