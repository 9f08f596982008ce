#include "preview/MotionProfileFile.h"

#include <MotionProfileText.h>
#include <PreviewUnits.h>

#include "files/WholeTextIO.h"

bool ReadMotionProfile(const std::string& path, const CDriveSetup& setup, MotionProfile& profile,
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
    units.positionNames = SetupUnitNames(setup, UnitKind::Position);
    units.timeNames = SetupUnitNames(setup, UnitKind::Time);
    return ParseMotionProfile(text, InputName(path), units, profile, error);
}
