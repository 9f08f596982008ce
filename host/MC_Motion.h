// A motion of the host's program: it knows its setup and appends entries to parameter texts.
#pragma once

#include <afx.h>

#include "MC_Setup.h"

class CMC_Motion {
public:
    explicit CMC_Motion(CMC_Setup& setup) : m_setup(setup) {}

    // Appends one array parameter, named `name`, holding the single value `value` (a number in
    // `unit`, stored in IU), with `unit` as its selected unit. Appends nothing when the name is
    // not a data parameter, the setup lacks the unit or the value is not a finite number.
    void AddToElemParameters(CString& text, const char* name, const char* unit,
                             const char* value) const;

private:
    CMC_Setup& m_setup;
};
