// The event that starts a motion which executes on event: its kind, its settings, its keys in
// the parameter text and its own motion-language code.
#pragma once

#include <afx.h>

#include "MC_Motion.h"
#include "MC_Setup.h"

class CMotionEvent {
public:
    // The kinds of event that the kernel offers.
    enum Kind {
        EventWaitTime,        // after a wait time
        EventPositionPasses,  // when the position passes a value
        EventInputChanges,    // when a digital input changes
    };

    // Bit 0 of the flag field: see docs/parameter-text.md for its meaning.
    static constexpr WORD FLAG_BIT0 = 0x0001;

    CMotionEvent(CMC_Setup& setup, CMC_Motion& motion);
    virtual ~CMotionEvent();
    CMotionEvent(const CMotionEvent&) = delete;
    CMotionEvent& operator=(const CMotionEvent&) = delete;

    // Reads the event's own keys. On failure returns 0 and leaves its message, and nothing else,
    // in `message`.
    virtual int ReadParameters(CString& text, CString& message);
    // Appends the event's own keys.
    virtual void WriteParameters(CString& text);

    // A one-line description for the user; `style` 0 is the plain form.
    CString GetDescription(int style) const;
    // The event's own code: whole lines, each with two leading blanks and CR LF.
    CString GenerateMLCode() const;
    int IsEditable() const;

    Kind GetKind() const { return m_kind; }
    void SetKind(Kind kind);

    WORD m_wFlags;

protected:
    CMC_Setup& m_setup;
    CMC_Motion& m_motion;
    Kind m_kind = EventWaitTime;
    // The event's setting, in the IU of its kind: wait time (time IU), position (position IU),
    // input number (1..16).
    double m_value = 0;
    // For EventInputChanges: 1 when the input goes high, 0 when it goes low.
    int m_nLevel = 1;
};
