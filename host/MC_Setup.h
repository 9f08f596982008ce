// A drive setup: what kind of product it is, its options, its variables and its units.
#pragma once

#include <afx.h>

#include <memory>
#include <string>
#include <vector>

#include "MC_DriveLimits.h"
#include "MC_Value.h"

// A variable of the drive, by name and type.
class CMC_Variable {
public:
    CMC_Variable(std::string name, tagVarType type) : m_name(std::move(name)), m_type(type) {}
    const char* GetName() const { return m_name.c_str(); }
    tagVarType GetType() const { return m_type; }

private:
    std::string m_name;
    tagVarType m_type;
};

// A display unit: a name and how many internal units (IU) make one of it.
struct CMC_Unit {
    std::string name;
    double iuPerUnit = 1.0;
};

// The physical quantity of an array parameter, which picks its list of units.
enum class UnitKind { Position, Time };

class CMC_Setup {
public:
    CMC_Setup();  // an empty drive setup: no options, no variables, IU as the only unit
    ~CMC_Setup();

    // The built-in default setup: a rotary drive with a 500-line encoder.
    static std::unique_ptr<CMC_Setup> CreateDefault();
    // The text of the built-in setup, as a setup file would hold it.
    static const char* DefaultSetupText();
    // Reads a setup file (INI text, see docs/setup-files.md). On failure returns null and sets
    // `error` to a message that names the file and, where there is one, the line.
    static std::unique_ptr<CMC_Setup> LoadFromFile(const char* path, CString& error);
    // Reads setup text; `origin` names it in messages.
    static std::unique_ptr<CMC_Setup> LoadFromText(const std::string& text, const char* origin,
                                                   CString& error);

    const char* GetName() const { return m_name.c_str(); }
    BOOL IsMotionController() const { return m_bMotionController; }
    // The option's value, 0 when the setup does not have it.
    int GetIntOption(const char* name) const;
    // The variable of that exact name, or null. Bit 0 of `flags` searches the drive's own
    // variables; a drive setup has no other scope, so flags without bit 0 find nothing.
    const CMC_Variable* FindVariable(const char* name, int flags) const;
    // The units of one kind; the first is the default unit. Never empty.
    const std::vector<CMC_Unit>& GetUnits(UnitKind kind) const;
    // The drive's maximum speed and acceleration, when the setup states them.
    const CMC_DriveLimits& GetLimits() const { return m_limits; }

private:
    std::string m_name;
    BOOL m_bMotionController = FALSE;
    std::vector<std::pair<std::string, int>> m_options;
    std::vector<CMC_Variable> m_variables;
    std::vector<CMC_Unit> m_positionUnits;
    std::vector<CMC_Unit> m_timeUnits;
    CMC_DriveLimits m_limits;

    friend class CSetupReader;
};
