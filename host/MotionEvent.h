// The event that starts a motion which executes on event: its kind, its settings, its keys in
// the parameter text and its own motion-language code (see docs/parameter-text.md).
#pragma once

#include <afx.h>

#include "MC_Motion.h"
#include "MC_Setup.h"

class CMotionEvent {
public:
    // The kinds of event that the kernel offers; the host names them (MotionEventHost.h).
    enum Kind : int;

    // Bit 0 of the flag field: the event also stops the motion in progress when it occurs
    // (a STOP! line after the event's own). Motion controllers do not stop an axis that way.
    static constexpr WORD FLAG_BIT0 = 0x0001;

    // A wait-time event of 0 with FLAG_BIT0 set.
    CMotionEvent(CMC_Setup& setup, CMC_Motion& motion);
    virtual ~CMotionEvent();
    CMotionEvent(const CMotionEvent&) = delete;
    CMotionEvent& operator=(const CMotionEvent&) = delete;

    // Reads the event's own keys. On failure returns 0 and leaves its message, and nothing else,
    // in `message` (ending in CR LF), and the event unchanged; on success returns 1 and empties
    // `message`.
    virtual int ReadParameters(CString& text, CString& message);
    // Appends the event's own keys. The flag field is not written: it follows the setup.
    virtual void WriteParameters(CString& text);

    // A one-line description for the user; `style` 0 is the plain form, any other adds the
    // setting in IU.
    CString GetDescription(int style) const;
    // The event's own code: whole lines, each with two leading blanks and CR LF.
    CString GenerateMLCode() const;
    // 0 for a kind without settings.
    int IsEditable() const;
    // Lets the user edit the kind's settings in a host dialog, in the setup's first unit of the
    // kind. Non-zero when the user confirmed a change; 0 after Cancel, after an OK that changed
    // nothing, and at once, without a dialog, for a kind without settings.
    int Edit();
    // Lets the user choose another kind in a host dialog; the new kind starts from its defaults.
    // Non-zero when the kind changed. Bit k of `excludedKinds` (1 << kind) disables the choice
    // of kind k; 0 offers every kind.
    int ChangeType(int excludedKinds);

    WORD m_wFlags;

private:
    friend class CMotionEventHost;

    CMC_Setup& m_setup;
    CMC_Motion& m_motion;
    Kind m_kind;
    // The event's setting, in the IU of its kind: wait time (time IU), position (position IU),
    // input number (1..16).
    double m_value = 0;
    // For EventPositionPasses: 1 when the position rises above the value, 0 when it falls
    // below. For EventInputChanges: 1 when the input goes high, 0 when it goes low.
    int m_nLevel = 1;

    // ReadParameters without the line end of its message.
    int ReadKeys(CString& text, CString& message);
};
