#include "MotionEventHost.h"

#include <climits>
#include <cmath>

void CMotionEventHost::SetKind(CMotionEvent& event, CMotionEvent::Kind kind) {
    event.m_kind = kind;
    event.m_value = kind == CMotionEvent::EventInputChanges ? 1 : 0;
    event.m_nLevel = 1;
}

void CMotionEventHost::SetValue(CMotionEvent& event, double value) {
    if (std::isnan(value)) value = 0;
    value = std::round(value);
    double low = INT_MIN, high = INT_MAX;
    switch (event.m_kind) {
        case CMotionEvent::EventWaitTime:
            low = 0;
            break;
        case CMotionEvent::EventPositionPasses:
            break;
        case CMotionEvent::EventInputChanges:
            low = 1, high = kInputCount;
            break;
        case CMotionEvent::EventMotionComplete:
            low = high = 0;
            break;
    }
    event.m_value = value < low ? low : value > high ? high : value;
}
