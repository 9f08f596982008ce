#include "PreviewUnits.h"

#include <strings.h>

#include "NumberText.h"

std::string PreviewUnits::TimeText(double iu) const {
    return FormatReadable(Time(iu)) + " " + time.name;
}

std::string PreviewUnits::PositionText(double iu) const {
    return FormatReadable(Position(iu)) + " " + position.name;
}

std::string SetupUnitNames(const CDriveSetup& setup, UnitKind kind) {
    std::string names;
    for (const CMC_Unit& unit : setup.GetUnits(kind)) {
        names += (names.empty() ? "" : ", ") + unit.name;
    }
    return names;
}

PreviewUnits PreviewUnits::DefaultOf(const CDriveSetup& setup) {
    return {setup.GetUnits(UnitKind::Position).front(), setup.GetUnits(UnitKind::Time).front()};
}

const CMC_Unit* FindSetupUnit(const CDriveSetup& setup, UnitKind kind, std::string_view name) {
    const std::vector<CMC_Unit>& units = setup.GetUnits(kind);
    // An exact match first: a setup may list units that differ only in case (mm and Mm).
    for (const CMC_Unit& unit : units) {
        if (unit.name == name) return &unit;
    }
    for (const CMC_Unit& unit : units) {
        if (unit.name.size() == name.size() &&
            strncasecmp(unit.name.c_str(), name.data(), name.size()) == 0)
            return &unit;
    }
    return nullptr;
}

std::string BetweenPoints(int segment) {
    return "between points " + std::to_string(segment) + " and " + std::to_string(segment + 1);
}

bool ChooseSetupUnit(const CDriveSetup& setup, UnitKind kind, std::string_view name, CMC_Unit& unit,
                     std::string& error) {
    if (name.empty()) return true;
    if (const CMC_Unit* found = FindSetupUnit(setup, kind, name)) {
        unit = *found;
        return true;
    }
    error = std::string("unknown ") + (kind == UnitKind::Position ? "position" : "time") +
            " unit \"" + std::string(name) + "\"; the setup \"" + setup.GetName() + "\" has " +
            SetupUnitNames(setup, kind);
    return false;
}
