// A drive setup as a module sees it: what kind of product it is, its options and its variables.
#pragma once

#include <afx.h>

#include <string>
#include <utility>
#include <vector>

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

class CMC_Setup {
public:
    CMC_Setup(const CMC_Setup&) = delete;
    CMC_Setup& operator=(const CMC_Setup&) = delete;

    BOOL IsMotionController() const { return m_bMotionController; }
    // The option's value, 0 when the setup does not have it.
    int GetIntOption(const char* name) const;
    // The variable of that exact name, or null. Bit 0 of `flags` searches the drive's own
    // variables; a drive setup has no other scope, so flags without bit 0 find nothing.
    const CMC_Variable* FindVariable(const char* name, int flags) const;

protected:
    ~CMC_Setup();

    // Filled by the host's setup reader, through CDriveSetup.
    BOOL m_bMotionController = FALSE;
    std::vector<std::pair<std::string, int>> m_options;
    std::vector<CMC_Variable> m_variables;

private:
    // Only the host's CDriveSetup (DriveSetup.h) makes one, so every setup is one of those.
    CMC_Setup();
    friend class CDriveSetup;
};
