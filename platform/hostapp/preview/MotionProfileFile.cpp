#include "preview/MotionProfileFile.h"

#include <MotionProfileText.h>
#include <PreviewUnits.h>
#include <StepRules.h>

#include "files/WholeTextIO.h"
#include "pt/PtKeyCheck.h"

bool ReadMotionProfile(const std::string& path, const CDriveSetup& setup, MotionProfile& profile,
                       std::string& error, CMC_Unit* positionUnit, CMC_Unit* timeUnit) {
    std::string text;
    if (!ReadWholeText(path, text, error)) return false;
    SkipByteOrderMark(text);
    return ParseMotionProfileText(text, InputName(path), setup, profile, error, positionUnit,
                                  timeUnit);
}

bool ParseMotionProfileText(std::string_view text, const std::string& name,
                            const CDriveSetup& setup, MotionProfile& profile, std::string& error,
                            CMC_Unit* positionUnit, CMC_Unit* timeUnit) {
    ProfileUnits units;
    // The same names, matched the same way, as --position-unit and --time-unit take.
    bool positionNamed = false, timeNamed = false;
    units.iuPerUnit = [&](ProfileUnitKind kind,
                          std::string_view unitName) -> std::optional<double> {
        const bool isPosition = kind == ProfileUnitKind::Position;
        const CMC_Unit* unit =
            FindSetupUnit(setup, isPosition ? UnitKind::Position : UnitKind::Time, unitName);
        if (!unit) return std::nullopt;
        bool& named = isPosition ? positionNamed : timeNamed;
        CMC_Unit* used = isPosition ? positionUnit : timeUnit;
        if (!named && used) *used = *unit;
        named = true;
        return unit->iuPerUnit;
    };
    units.positionNames = SetupUnitNames(setup, UnitKind::Position);
    units.timeNames = SetupUnitNames(setup, UnitKind::Time);
    // What no table can follow is refused before any point is placed.
    ProfileBounds bounds;
    bounds.longestIU = kPtMaxTimeIU;
    bounds.largestStepIU = kMaxPositionStepIU;
    return ParseMotionProfile(text, name, units, profile, error, bounds);
}
