#include "PreviewUnits.h"

#include <strings.h>

PreviewUnits PreviewUnits::DefaultOf(const CMC_Setup& setup) {
    return {setup.GetUnits(UnitKind::Position).front(), setup.GetUnits(UnitKind::Time).front()};
}

const CMC_Unit* FindSetupUnit(const CMC_Setup& setup, UnitKind kind, std::string_view name) {
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
