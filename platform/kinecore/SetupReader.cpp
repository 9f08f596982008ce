#include "SetupReader.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <string_view>
#include <utility>

#include "NumberText.h"
#include "RateText.h"
#include "VarType.h"

namespace {

std::string_view Trim(std::string_view text) {
    const char* blanks = " \t\r";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

template <typename Section>
bool ParseSection(std::string_view name, Section& section) {
    static constexpr std::pair<std::string_view, Section> kSections[] = {
        {"Setup", Section::Setup},         {"Options", Section::Options},
        {"Variables", Section::Variables}, {"PositionUnits", Section::PositionUnits},
        {"TimeUnits", Section::TimeUnits}, {"Limits", Section::Limits},
    };
    for (const auto& [candidate, value] : kSections) {
        if (name == candidate) {
            section = value;
            return true;
        }
    }
    return false;
}

bool ParseInt(std::string_view text, int& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

constexpr size_t kLongestUnitName = 32;

// Unit names stand in brackets in parameter texts, so they may not hold brackets or blanks.
bool IsValidUnitName(std::string_view name) {
    for (const char ch : name) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte <= ' ' || byte == 0x7F || ch == '[' || ch == ']') return false;
    }
    return true;
}

}  // namespace

bool CSetupReader::ReadLine(std::string_view line) {
    ++m_line;
    line = Trim(line);
    if (line.empty() || line.front() == ';' || line.front() == '#') return true;
    if (line.front() == '[') {
        if (line.back() != ']') return Fail("\"%s\" lacks the closing bracket.", Quote(line));
        const std::string name(Trim(line.substr(1, line.size() - 2)));
        if (!ParseSection(name, m_section)) {
            return Fail("unknown section [%s].", Quote(name));
        }
        return true;
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return Fail("\"%s\" is neither a [section] nor a name=value entry.", Quote(line));
    }
    const std::string key(Trim(line.substr(0, equals)));
    const std::string value(Trim(line.substr(equals + 1)));
    if (key.empty()) return Fail("\"%s\" has no name before \"=\".", Quote(line));
    switch (m_section) {
        case Section::None:
            return Fail("\"%s\" stands before the first [section].", Quote(line));
        case Section::Setup:
            return ReadSetupEntry(key, value);
        case Section::Options:
            return ReadOption(key, value);
        case Section::Variables:
            return ReadVariable(key, value);
        case Section::PositionUnits:
            return ReadUnit(UnitKind::Position, key, value);
        case Section::TimeUnits:
            return ReadUnit(UnitKind::Time, key, value);
        case Section::Limits:
            return ReadLimit(key, value);
    }
    return true;
}

bool CSetupReader::ReadSetupEntry(const std::string& key, const std::string& value) {
    if (key == "Name") {
        if (m_hasName) return Fail("duplicate key \"Name\" in [Setup].");
        m_hasName = true;
        m_setup.m_name = value;
        return true;
    }
    if (key == "MotionController") {
        if (m_hasMotionController) {
            return Fail("duplicate key \"MotionController\" in [Setup].");
        }
        m_hasMotionController = true;
        int flag = 0;
        if (!ParseInt(value, flag) || (flag != 0 && flag != 1)) {
            return Fail("MotionController must be 0 or 1, not \"%s\".", Quote(value));
        }
        m_setup.m_bMotionController = flag;
        return true;
    }
    return Fail("unknown key \"%s\" in [Setup].", Quote(key));
}

bool CSetupReader::ReadOption(const std::string& key, const std::string& value) {
    for (const auto& option : m_setup.m_options) {
        if (option.first == key) return Fail("duplicate option \"%s\".", Quote(key));
    }
    int number = 0;
    if (!ParseInt(value, number)) {
        return Fail("\"%s\" is not a whole number for %s.", Quote(value), Quote(key));
    }
    m_setup.m_options.emplace_back(key, number);
    return true;
}

bool CSetupReader::ReadVariable(const std::string& key, const std::string& value) {
    if (m_setup.FindVariable(key.c_str(), 1)) {
        return Fail("duplicate variable \"%s\".", Quote(key));
    }
    tagVarType type = VAR_LONG;
    if (!ParseVarType(value.c_str(), type)) {
        return Fail("unknown variable type \"%s\" for %s.", Quote(value), Quote(key));
    }
    m_setup.m_variables.emplace_back(key, type);
    return true;
}

bool CSetupReader::ReadUnit(UnitKind kind, const std::string& name, const std::string& value) {
    const bool isPosition = kind == UnitKind::Position;
    std::vector<CMC_Unit>& units = isPosition ? m_setup.m_positionUnits : m_setup.m_timeUnits;
    bool& listed = isPosition ? m_positionListed : m_timeListed;
    // The first unit listed replaces the IU that an empty setup starts with.
    if (!listed) units.clear();
    listed = true;
    // Every line of a program repeats the unit's name.
    if (name.size() > kLongestUnitName) {
        return Fail("the unit name \"%s\" is longer than %zu characters.", Quote(name),
                    kLongestUnitName);
    }
    if (!IsValidUnitName(name)) {
        return Fail("the unit name \"%s\" must not hold blanks or brackets.", Quote(name));
    }
    for (const CMC_Unit& unit : units) {
        if (unit.name == name) return Fail("duplicate unit \"%s\".", Quote(name));
    }
    double factor = 0.0;
    const size_t slash = value.find('/');
    if (slash == std::string::npos) {
        if (!ParseFiniteNumber(value, factor)) {
            return Fail("\"%s\" is not a number for unit \"%s\".", Quote(value), Quote(name));
        }
    } else {
        double numerator = 0.0, denominator = 0.0;
        const std::string_view view(value);
        if (!ParseFiniteNumber(Trim(view.substr(0, slash)), numerator) ||
            !ParseFiniteNumber(Trim(view.substr(slash + 1)), denominator)) {
            return Fail("\"%s\" is not a number or a fraction for unit \"%s\".", Quote(value),
                        Quote(name));
        }
        if (denominator == 0.0) {
            return Fail("the fraction \"%s\" of unit \"%s\" divides by zero.", Quote(value),
                        Quote(name));
        }
        factor = numerator / denominator;
    }
    if (!(factor > 0.0) || !std::isfinite(factor)) {
        return Fail("the factor \"%s\" of unit \"%s\" is not a positive number.", Quote(value),
                    Quote(name));
    }
    units.push_back({name, factor});
    return true;
}

bool CSetupReader::ReadLimit(const std::string& key, const std::string& value) {
    if (key != "MaxSpeed" && key != "MaxAcceleration" && key != "MaxJerk") {
        return Fail("unknown key \"%s\" in [Limits].", Quote(key));
    }
    for (const PendingLimit& limit : m_limits) {
        if (limit.key == key) return Fail("duplicate key \"%s\" in [Limits].", key.c_str());
    }
    m_limits.push_back({key, value, m_line});
    return true;
}

bool CSetupReader::ResolveLimits() {
    const PreviewUnits defaults = PreviewUnits::DefaultOf(m_setup);
    for (const PendingLimit& limit : m_limits) {
        m_line = limit.line;
        const MotionQuantity kind = limit.key == "MaxSpeed"          ? MotionQuantity::Speed
                                    : limit.key == "MaxAcceleration" ? MotionQuantity::Acceleration
                                                                     : MotionQuantity::Jerk;
        double perTimeIU = 0;
        std::string error;
        if (!ParseRate(limit.value, kind, m_setup, defaults, perTimeIU, error)) {
            return Fail("\"%s\" for %s %s.", Quote(limit.value), limit.key.c_str(), error.c_str());
        }
        MotionLimits& limits = m_setup.m_limits;
        (kind == MotionQuantity::Speed          ? limits.maxSpeed
         : kind == MotionQuantity::Acceleration ? limits.maxAcceleration
                                                : limits.maxJerk) = perTimeIU;
        std::string written = limit.value;
        if (written.find_first_of(" \t") == std::string::npos) {
            written += " " + (kind == MotionQuantity::Speed          ? defaults.SpeedName()
                              : kind == MotionQuantity::Acceleration ? defaults.AccelerationName()
                                                                     : defaults.JerkName());
        }
        m_setup.m_limitTexts[static_cast<size_t>(kind)] = written;
    }
    return true;
}

// Keeps quoted pieces of a bad line short enough for a message box.
const char* CSetupReader::Quote(std::string_view text) {
    constexpr size_t kMax = 60;
    std::string& slot = m_quotes[m_nextQuote++ % 2];
    slot = text.size() > kMax ? std::string(text.substr(0, kMax)) + "..." : std::string(text);
    return slot.c_str();
}

bool CSetupReader::Fail(const char* format, ...) {
    va_list args;
    va_start(args, format);
    CString detail;
    detail.FormatV(format, args);
    va_end(args);
    m_error.Format("%s:%d: %s", m_origin, m_line, detail.GetString());
    return false;
}

std::unique_ptr<CDriveSetup> CSetupReader::Read(const std::string& text, const char* origin,
                                                CString& error) {
    auto setup = std::make_unique<CDriveSetup>();
    CSetupReader reader(*setup, origin, error);
    std::string_view rest(text);
    if (rest.starts_with("\xEF\xBB\xBF")) rest.remove_prefix(3);  // a UTF-8 mark from an editor
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        if (!reader.ReadLine(line)) return nullptr;
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    if (!reader.ResolveLimits()) return nullptr;
    return setup;
}
