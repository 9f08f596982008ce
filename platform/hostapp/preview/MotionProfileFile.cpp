#include "preview/MotionProfileFile.h"

#include <MotionProfileText.h>
#include <PreviewUnits.h>
#include <StepRules.h>

#include "files/WholeTextIO.h"
#include "pt/PtMotionText.h"

bool ReadMotionProfile(const std::string& path, const CDriveSetup& setup, MotionProfile& profile,
                       std::string& error) {
    std::string text;
    if (!ReadWholeText(path, text, error)) return false;
    SkipByteOrderMark(text);
    return ParseMotionProfileText(text, InputName(path), setup, profile, error);
}

bool ParseMotionProfileText(std::string_view text, const std::string& name,
                            const CDriveSetup& setup, MotionProfile& profile, std::string& error) {
    ProfileUnits units;
    // The same names, matched the same way, as --position-unit and --time-unit take.
    units.iuPerUnit = [&setup](ProfileUnitKind kind,
                               std::string_view unitName) -> std::optional<double> {
        const UnitKind setupKind =
            kind == ProfileUnitKind::Position ? UnitKind::Position : UnitKind::Time;
        const CMC_Unit* unit = FindSetupUnit(setup, setupKind, unitName);
        return unit ? std::optional<double>(unit->iuPerUnit) : std::nullopt;
    };
    units.positionNames = SetupUnitNames(setup, UnitKind::Position);
    units.timeNames = SetupUnitNames(setup, UnitKind::Time);
    // What no table can follow is refused before any point is placed.
    ProfileBounds bounds;
    bounds.longestIU = kPtMaxTimeIU;
    bounds.largestStepIU = kMaxPositionStepIU;
    return ParseMotionProfile(text, name, units, profile, error, bounds);
}
