// The host's drive setup: the part that a module sees (CMC_Setup), its name, units and limits,
// and the loaders of setup files.
#pragma once

#include <MC_Setup.h>
#include <MotionLimits.h>
#include <MotionQuantity.h>
#include <afx.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

// A display unit: a name and how many internal units (IU) make one of it.
struct CMC_Unit {
    std::string name;
    double iuPerUnit = 1.0;
};

// The physical quantity of an array parameter, which picks its list of units.
enum class UnitKind { Position, Time };

// A subclass rather than a pimpl: the host hands it to the module as it is, and the kernel
// takes back the CMC_Setup& that the module passes on without a lookup (Of).
class CDriveSetup : public CMC_Setup {
public:
    CDriveSetup();  // an empty drive setup: no options, no variables, IU as the only unit
    ~CDriveSetup();

    // The built-in default setup: a rotary drive with a 500-line encoder.
    static std::unique_ptr<CDriveSetup> CreateDefault();
    // The text of the built-in setup, as a setup file would hold it.
    static const char* DefaultSetupText();
    // Reads a setup file (INI text, see docs/setup-files.md). On failure returns null and sets
    // `error` to a message that names the file and, where there is one, the line.
    static std::unique_ptr<CDriveSetup> LoadFromFile(const char* path, CString& error);
    // Reads setup text; `origin` names it in messages.
    static std::unique_ptr<CDriveSetup> LoadFromText(const std::string& text, const char* origin,
                                                     CString& error);

    // The host's setup behind a module's reference: only CDriveSetup makes a CMC_Setup.
    static const CDriveSetup& Of(const CMC_Setup& setup) {
        return static_cast<const CDriveSetup&>(setup);
    }

    const char* GetName() const { return m_name.c_str(); }
    // The units of one kind; the first is the default unit. Never empty.
    const std::vector<CMC_Unit>& GetUnits(UnitKind kind) const {
        return kind == UnitKind::Position ? m_positionUnits : m_timeUnits;
    }
    // The drive's maximum speed, acceleration and jerk, when the setup states them.
    const MotionLimits& GetLimits() const { return m_limits; }
    // A limit as the setup wrote it ("500 mm/s"; a bare number with the units it was read in),
    // so that reports can speak the user's units; empty when absent.
    const std::string& GetLimitText(MotionQuantity quantity) const {
        return m_limitTexts[static_cast<size_t>(quantity)];
    }

private:
    std::string m_name;
    std::vector<CMC_Unit> m_positionUnits;
    std::vector<CMC_Unit> m_timeUnits;
    MotionLimits m_limits;
    std::array<std::string, 4> m_limitTexts;  // by MotionQuantity

    friend class CSetupReader;
};
