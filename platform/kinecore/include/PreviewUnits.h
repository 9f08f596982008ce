// The units a preview is shown in: one of the setup's position units and one of its time
// units; speeds are their quotient (rot/s) and accelerations the position unit per time unit
// squared (rot/s²), jerks per time unit cubed (rot/s³).
#pragma once

#include <string>
#include <string_view>

#include "DriveSetup.h"

struct PreviewUnits {
    CMC_Unit position{"IU", 1.0};
    CMC_Unit time{"IU", 1.0};

    double Position(double iu) const { return iu / position.iuPerUnit; }
    double Time(double iu) const { return iu / time.iuPerUnit; }
    double Speed(double iuPerTimeIU) const {
        return iuPerTimeIU * time.iuPerUnit / position.iuPerUnit;
    }
    double Acceleration(double iuPerTimeIUSquared) const {
        return iuPerTimeIUSquared * time.iuPerUnit * time.iuPerUnit / position.iuPerUnit;
    }
    double Jerk(double iuPerTimeIUCubed) const {
        return Acceleration(iuPerTimeIUCubed) * time.iuPerUnit;
    }
    // The inverses, for limits given in these units.
    double SpeedToIU(double speed) const { return speed * position.iuPerUnit / time.iuPerUnit; }
    double AccelerationToIU(double acceleration) const {
        return acceleration * position.iuPerUnit / (time.iuPerUnit * time.iuPerUnit);
    }
    double JerkToIU(double jerk) const { return AccelerationToIU(jerk) / time.iuPerUnit; }

    // "0.25 s", "12.5 rot": a value in IU shown with its unit, for messages and reports.
    std::string TimeText(double iu) const;
    std::string PositionText(double iu) const;

    std::string SpeedName() const { return position.name + "/" + time.name; }
    // "rot/s²" for people; `plain` gives "rot/s^2" for files that may not be read as UTF-8.
    std::string AccelerationName(bool plain = false) const {
        return SpeedName() + (plain ? "^2" : "\u00B2");
    }
    std::string JerkName(bool plain = false) const {
        return SpeedName() + (plain ? "^3" : "\u00B3");
    }

    // The setup's first units of each kind.
    static PreviewUnits DefaultOf(const CDriveSetup& setup);
};

// The setup's unit of that kind whose name matches regardless of case, or null.
const CMC_Unit* FindSetupUnit(const CDriveSetup& setup, UnitKind kind, std::string_view name);
// The names of the setup's units of that kind, for messages: "rot, IU, deg, rad".
std::string SetupUnitNames(const CDriveSetup& setup, UnitKind kind);
// The unit named into `unit` (an empty name leaves it as it is); false with a message that lists
// the setup's units when the setup has none of that name.
bool ChooseSetupUnit(const CDriveSetup& setup, UnitKind kind, std::string_view name, CMC_Unit& unit,
                     std::string& error);
// Segment i of a table, as messages name it: "between points i and i + 1".
std::string BetweenPoints(int segment);
