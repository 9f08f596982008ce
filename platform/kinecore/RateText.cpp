#include "RateText.h"

#include <cmath>

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

}  // namespace

bool ParseRate(std::string_view text, RateKind kind, const CMC_Setup& setup,
               const PreviewUnits& defaults, double& perTimeIU, std::string& error) {
    const bool acceleration = kind == RateKind::Acceleration;
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
    if (!units.empty()) {
        const std::string form = acceleration ? "POSITION/TIME^2" : "POSITION/TIME";
        const size_t slash = units.find('/');
        std::string_view time = slash == std::string_view::npos ? "" : units.substr(slash + 1);
        bool squared = false;
        for (const std::string_view mark : {"^2", "\u00B2"}) {
            if (time.ends_with(mark)) {
                time.remove_suffix(mark.size());
                squared = true;
                break;
            }
        }
        if (slash == std::string_view::npos || squared != acceleration) {
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
    const double converted =
        acceleration ? chosen.AccelerationToIU(value) : chosen.SpeedToIU(value);
    if (!std::isfinite(converted) || !(converted > 0)) {
        error = "is out of range";
        return false;
    }
    perTimeIU = converted;
    return true;
}
