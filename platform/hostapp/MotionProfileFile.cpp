#include "MotionProfileFile.h"

#include <MotionProfileText.h>
#include <PreviewUnits.h>

#include "WholeTextIO.h"

namespace {

std::string UnitNames(const CMC_Setup& setup, UnitKind kind) {
    std::string names;
    for (const CMC_Unit& unit : setup.GetUnits(kind)) {
        names += (names.empty() ? "" : ", ") + unit.name;
    }
    return names;
}

}  // namespace

bool ReadMotionProfile(const std::string& path, const CMC_Setup& setup, MotionProfile& profile,
                       std::string& error) {
    std::string text;
    if (!ReadWholeText(path, text, error)) return false;
    SkipByteOrderMark(text);
    ProfileUnits units;
    // The same names, matched the same way, as --position-unit and --time-unit take.
    units.iuPerUnit = [&setup](ProfileUnitKind kind,
                               std::string_view name) -> std::optional<double> {
        const UnitKind setupKind =
            kind == ProfileUnitKind::Position ? UnitKind::Position : UnitKind::Time;
        const CMC_Unit* unit = FindSetupUnit(setup, setupKind, name);
        return unit ? std::optional<double>(unit->iuPerUnit) : std::nullopt;
    };
    units.positionNames = UnitNames(setup, UnitKind::Position);
    units.timeNames = UnitNames(setup, UnitKind::Time);
    return ParseMotionProfile(text, InputName(path), units, profile, error);
}
