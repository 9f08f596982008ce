#include "RateText.h"

#include <strings.h>

#include <cmath>
#include <utility>

#include "NumberText.h"

namespace {

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A unit name from the user's text, short enough for a message.
std::string Cut(std::string_view name) {
    constexpr size_t kMax = 30;
    return name.size() > kMax ? std::string(name.substr(0, kMax)) + "..." : std::string(name);
}

// rot/min from the setup's rot and a time unit that a minute can be told in.
bool RevolutionsPerMinute(const CDriveSetup& setup, PreviewUnits& units) {
    const CMC_Unit* rot = FindSetupUnit(setup, UnitKind::Position, "rot");
    if (!rot) return false;
    for (const auto& [name, perMinute] :
         {std::pair<std::string_view, double>{"min", 1}, {"s", 60}, {"ms", 60000}}) {
        if (const CMC_Unit* time = FindSetupUnit(setup, UnitKind::Time, name)) {
            units = {*rot, {"min", time->iuPerUnit * perMinute}};
            return true;
        }
    }
    return false;
}

}  // namespace

bool ParseRate(std::string_view text, MotionQuantity kind, const CDriveSetup& setup,
               const PreviewUnits& defaults, double& perTimeIU, std::string& error) {
    const bool acceleration = kind == MotionQuantity::Acceleration;
    const std::string_view trimmed = Trim(text);
    const size_t numberEnd = trimmed.find_first_of(" \t");
    const std::string_view number = trimmed.substr(0, numberEnd);
    const std::string_view units =
        numberEnd == std::string_view::npos ? std::string_view() : Trim(trimmed.substr(numberEnd));
    double value = 0;
    if (!ParseFiniteNumber(number, value) || !(value > 0)) {
        error = units.empty() ? "is not a positive number" : "is not a positive number and units";
        return false;
    }

    PreviewUnits chosen = defaults;
    if (kind == MotionQuantity::Speed && units.size() == 3 &&
        strncasecmp(units.data(), "rpm", 3) == 0) {
        if (!RevolutionsPerMinute(setup, chosen)) {
            error =
                "is in rpm, which needs the setup's position unit rot and a time unit s, ms or "
                "min";
            return false;
        }
    } else if (!units.empty()) {
        const int power = kind == MotionQuantity::Speed ? 1 : acceleration ? 2 : 3;
        const std::string form = std::string("POSITION/TIME") + (power == 1   ? ""
                                                                 : power == 2 ? "^2"
                                                                              : "^3");
        const size_t slash = units.find('/');
        std::string_view time = slash == std::string_view::npos ? "" : units.substr(slash + 1);
        int written = 1;
        for (const auto& [mark, markPower] :
             {std::pair<std::string_view, int>{"^2", 2}, {"\u00B2", 2}, {"^3", 3}, {"\u00B3", 3}}) {
            if (time.ends_with(mark)) {
                time.remove_suffix(mark.size());
                written = markPower;
                break;
            }
        }
        if (slash == std::string_view::npos || written != power) {
            error = "does not end in units written as " + form;
            return false;
        }
        const std::string_view position = units.substr(0, slash);
        const CMC_Unit* positionUnit = FindSetupUnit(setup, UnitKind::Position, position);
        if (!positionUnit) {
            error = "names the position unit \"" + Cut(position) +
                    "\", which the setup lacks (it has " +
                    SetupUnitNames(setup, UnitKind::Position) + ")";
            return false;
        }
        const CMC_Unit* timeUnit = FindSetupUnit(setup, UnitKind::Time, time);
        if (!timeUnit) {
            error = "names the time unit \"" + Cut(time) + "\", which the setup lacks (it has " +
                    SetupUnitNames(setup, UnitKind::Time) + ")";
            return false;
        }
        chosen = {*positionUnit, *timeUnit};
    }
    const double converted = kind == MotionQuantity::Speed ? chosen.SpeedToIU(value)
                             : acceleration                ? chosen.AccelerationToIU(value)
                                                           : chosen.JerkToIU(value);
    if (!std::isfinite(converted) || !(converted > 0)) {
        error = "is out of range";
        return false;
    }
    perTimeIU = converted;
    return true;
}
