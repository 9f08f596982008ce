// The base of a motion type's parameter record: the kernel's operations on parameter texts.
#pragma once

#include <afx.h>

#include "MC_ArrayParameter.h"
#include "MC_Motion.h"
#include "MC_Setup.h"

class CMC_EditMotionInternalData {
public:
    CMC_EditMotionInternalData(CMC_Setup& setup, CMC_Motion& motion);
    virtual ~CMC_EditMotionInternalData();
    CMC_EditMotionInternalData(const CMC_EditMotionInternalData&) = delete;
    CMC_EditMotionInternalData& operator=(const CMC_EditMotionInternalData&) = delete;

    // Reads the record from a parameter text; collects every fault in `error`. 1 on success.
    virtual int ReadParameters(CString& text, CString& error) = 0;
    // Appends the record to a parameter text.
    virtual void WriteParameters(CString& text) = 0;

    CMC_Setup& GetSetup() const { return m_setup; }
    CMC_Motion& GetMotion() const { return m_motion; }

    // Stores the value of `key` in `value` when the text has it within [low, high]; otherwise
    // leaves `value` as it is. Never a message.
    void ReadOptionalRadioParam(CString& text, const char* key, int& value, int low, int high);
    // As above, but a missing or bad value gives a message (empty on success).
    CString ReadRadioParam(CString& text, const char* key, int& value, int low, int high);
    // Binds `array` to `key`, then fills it with the values and unit stored under the key.
    // Returns a message, empty on success. `group` and `axis` are not used by drive setups.
    CString ReadArrayDataParam(CString& text, const char* key, const char* group, const char* axis,
                               CMC_ArrayParameter& array);
    void WriteRadioParam(CString& text, const char* key, int value);
    // Appends the array under the key it was bound to, with its values and selected unit.
    void WriteArrayDataParam(CString& text, CMC_ArrayParameter& array);

    // The entry name of a data parameter in the text ("TPOS" -> "TPOS").
    static CString GetDataParamName(const char* key, const char* group, const char* axis);
    // The name of the default unit of a data parameter on `setup` (the record's own when null).
    const char* GetDefaultUnit(const char* key, const char* group, CMC_Setup* setup);

private:
    CMC_Setup& m_setup;
    CMC_Motion& m_motion;
};
