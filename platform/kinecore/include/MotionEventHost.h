// The host's side of a motion's event: its kinds, and the kind, setting and level that the
// host's dialogs and tests read and set while a module only reads, writes and edits the event.
#pragma once

#include <MotionEvent.h>

enum CMotionEvent::Kind : int {
    EventWaitTime,        // after a wait time
    EventPositionPasses,  // when the position passes a value
    EventInputChanges,    // when a digital input changes
    EventMotionComplete,  // when the previous motion is complete; has no settings
};

class CMotionEventHost {
public:
    // Bit 0 of the flag field, by what it does.
    static constexpr WORD FLAG_STOP_MOTION = CMotionEvent::FLAG_BIT0;
    // Digital inputs are numbered from 1 to this.
    static constexpr int kInputCount = 16;

    static CMotionEvent::Kind GetKind(const CMotionEvent& event) { return event.m_kind; }
    // Changes the kind and resets the settings to that kind's defaults.
    static void SetKind(CMotionEvent& event, CMotionEvent::Kind kind);

    // The setting, reduced to what the kind allows: a whole number of IU (a wait time from 0 on,
    // a position within 32 bits) or an input from 1 to kInputCount.
    static double GetValue(const CMotionEvent& event) { return event.m_value; }
    static void SetValue(CMotionEvent& event, double value);
    // Direction or level: 1 rises above / goes high, 0 falls below / goes low.
    static int GetLevel(const CMotionEvent& event) { return event.m_nLevel; }
    static void SetLevel(CMotionEvent& event, int level) { event.m_nLevel = level != 0 ? 1 : 0; }
};
