#include "MotionEvent.h"

#include <climits>
#include <cmath>
#include <string>
#include <string_view>

#include "DriveSetup.h"
#include "MotionEventHost.h"
#include "NumberText.h"
#include "ParameterText.h"

namespace pt = parameter_text;

namespace {

constexpr const char* kEventKey = "Event";
constexpr const char* kTimeKey = "EventTime";
constexpr const char* kPositionKey = "EventPosition";
constexpr const char* kDirectionKey = "EventDirection";
constexpr const char* kInputKey = "EventInput";
constexpr const char* kLevelKey = "EventLevel";

struct KindName {
    CMotionEvent::Kind kind;
    const char* name;
};

constexpr KindName kKindNames[] = {
    {CMotionEvent::EventWaitTime, "WaitTime"},
    {CMotionEvent::EventPositionPasses, "PositionPasses"},
    {CMotionEvent::EventInputChanges, "InputChanges"},
    {CMotionEvent::EventMotionComplete, "MotionComplete"},
};

const char* NameOf(CMotionEvent::Kind kind) {
    for (const KindName& entry : kKindNames) {
        if (entry.kind == kind) return entry.name;
    }
    return kKindNames[0].name;
}

// The setting in the setup's default unit of its kind, for people: "0.5 s".
std::string InDefaultUnit(const CMC_Setup& setup, UnitKind kind, double iu) {
    const CMC_Unit& unit = CDriveSetup::Of(setup).GetUnits(kind).front();
    return FormatReadable(iu / unit.iuPerUnit) + " " + unit.name;
}

}  // namespace

CMotionEvent::CMotionEvent(CMC_Setup& setup, CMC_Motion& motion)
    : m_wFlags(FLAG_BIT0), m_setup(setup), m_motion(motion), m_kind(EventWaitTime) {}

CMotionEvent::~CMotionEvent() = default;

int CMotionEvent::ReadParameters(CString& text, CString& message) {
    const int read = ReadKeys(text, message);
    if (!read) message = pt::AsHandedOut(message);
    return read;
}

int CMotionEvent::ReadKeys(CString& text, CString& message) {
    const std::string_view view = text.str();
    std::string_view name;
    if (pt::ReadWord(view, kEventKey, name, message) != pt::Status::Ok) return 0;
    const KindName* found = nullptr;
    for (const KindName& entry : kKindNames) {
        if (name == entry.name) found = &entry;
    }
    if (!found) {
        message.Format("Parameter \"%s\" has the value \"%s\", which is not a kind of event.",
                       kEventKey, std::string(name.substr(0, 40)).c_str());
        return 0;
    }
    long long value = 0, level = 1;
    switch (found->kind) {
        case EventWaitTime:
            if (pt::ReadInteger(view, kTimeKey, 0, INT_MAX, value, message) != pt::Status::Ok) {
                return 0;
            }
            break;
        case EventPositionPasses:
            if (pt::ReadInteger(view, kPositionKey, INT_MIN, INT_MAX, value, message) !=
                    pt::Status::Ok ||
                pt::ReadInteger(view, kDirectionKey, 0, 1, level, message) != pt::Status::Ok) {
                return 0;
            }
            break;
        case EventInputChanges:
            if (pt::ReadInteger(view, kInputKey, 1, CMotionEventHost::kInputCount, value,
                                message) != pt::Status::Ok ||
                pt::ReadInteger(view, kLevelKey, 0, 1, level, message) != pt::Status::Ok) {
                return 0;
            }
            break;
        case EventMotionComplete:
            break;
    }
    m_kind = found->kind;
    m_value = static_cast<double>(value);
    m_nLevel = static_cast<int>(level);
    message.Empty();
    return 1;
}

void CMotionEvent::WriteParameters(CString& text) {
    pt::AppendWord(text, kEventKey, NameOf(m_kind));
    const auto value = static_cast<long long>(m_value);
    switch (m_kind) {
        case EventWaitTime:
            pt::AppendInteger(text, kTimeKey, value);
            break;
        case EventPositionPasses:
            pt::AppendInteger(text, kPositionKey, value);
            pt::AppendInteger(text, kDirectionKey, m_nLevel);
            break;
        case EventInputChanges:
            pt::AppendInteger(text, kInputKey, value);
            pt::AppendInteger(text, kLevelKey, m_nLevel);
            break;
        case EventMotionComplete:
            break;
    }
}

CString CMotionEvent::GetDescription(int style) const {
    std::string text;
    const std::string inIU = " (" + FormatReadable(m_value) + " IU)";
    switch (m_kind) {
        case EventWaitTime:
            text = "After a wait time of " + InDefaultUnit(m_setup, UnitKind::Time, m_value);
            if (style != 0) text += inIU;
            break;
        case EventPositionPasses:
            text = std::string("When the position ") +
                   (m_nLevel ? "rises above " : "falls below ") +
                   InDefaultUnit(m_setup, UnitKind::Position, m_value);
            if (style != 0) text += inIU;
            break;
        case EventInputChanges:
            text =
                "When input " + FormatReadable(m_value) + (m_nLevel ? " goes high" : " goes low");
            break;
        case EventMotionComplete:
            text = "When the previous motion is complete";
            break;
    }
    // Stopping a motion that is complete anyway would say nothing.
    if ((m_wFlags & CMotionEventHost::FLAG_STOP_MOTION) && m_kind != EventMotionComplete) {
        text += ", stopping the motion in progress";
    }
    return CString(text);
}

CString CMotionEvent::GenerateMLCode() const {
    const auto value = static_cast<long long>(m_value);
    CString code;
    switch (m_kind) {
        case EventWaitTime:
            code.Format("  !RT %lld; //Set event: after %lld IU of time\r\n", value, value);
            break;
        case EventPositionPasses:
            code.Format(
                m_nLevel ? "  !PLGT %lld; //Set event: when the position rises above %lld IU\r\n"
                         : "  !PLLT %lld; //Set event: when the position falls below %lld IU\r\n",
                value, value);
            break;
        case EventInputChanges:
            code.Format("  !IN#%lld %d; //Set event: when input %lld goes %s\r\n", value, m_nLevel,
                        value, m_nLevel ? "high" : "low");
            break;
        case EventMotionComplete:
            code = "  !MC; //Set event: when the previous motion is complete\r\n";
            break;
    }
    if ((m_wFlags & CMotionEventHost::FLAG_STOP_MOTION) && m_kind != EventMotionComplete) {
        code += "  STOP!; //Stop the motion in progress when the event occurs\r\n";
    }
    return code;
}

int CMotionEvent::IsEditable() const { return m_kind == EventMotionComplete ? 0 : 1; }
