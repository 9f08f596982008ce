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

    CMC_Motion& GetMotion() const { return m_motion; }

    // The text's syntax is in docs/parameter-text.md; when a key stands more than once, its last
    // entry counts. Every message ends in CR LF, so that messages collected one after the other
    // read one fault a line.

    // Stores the value of `key` in `value` when the text has it within [low, high]; otherwise
    // (absent, bad or out of range) stores `low`, the option's "off", so that an option that a
    // writer leaves out reads back as off. Never a message.
    void ReadOptionalRadioParam(CString& text, const char* key, int& value, int low, int high);
    // As above, but a missing, bad or out-of-range value gives a message (empty on success).
    CString ReadRadioParam(CString& text, const char* key, int& value, int low, int high);
    // Binds `array` to `key`, then fills it with the values and unit stored under the key.
    // Returns a message, empty on success; on any failure the array is left empty, bound, with
    // its default unit selected. Values are taken as written, not reduced to the type.
    // `group` and `axis` are not used by drive setups.
    CString ReadArrayDataParam(CString& text, const char* key, const char* group, const char* axis,
                               CMC_ArrayParameter& array);
    void WriteRadioParam(CString& text, const char* key, int value);
    // Appends the array under the key it was bound to, with its values and selected unit; an
    // unbound array appends nothing.
    void WriteArrayDataParam(CString& text, CMC_ArrayParameter& array);

    // The entry name of a data parameter in the text ("TPOS" -> "TPOS"); empty for a key that
    // the kernel does not know.
    static CString GetDataParamName(const char* key, const char* group, const char* axis);
    // The name of the default unit of a data parameter on `setup` (the record's own when null),
    // valid while that setup lives; "" for a key that the kernel does not know.
    const char* GetDefaultUnit(const char* key, const char* group, CMC_Setup* setup);

private:
    CMC_Setup& m_setup;
    CMC_Motion& m_motion;
};
