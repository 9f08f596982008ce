#include <DriveSetup.h>
#include <MotionEvent.h>
#include <MotionEventHost.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

class MotionEventTest : public testing::Test {
protected:
    // Writes `event` and reads the text into a fresh event, which must come out the same.
    void ExpectRoundTrip(CMotionEvent& event) {
        CString text("Execute=1\r\n");
        event.WriteParameters(text);
        CMotionEvent copy(*m_setup, m_motion);
        CMotionEventHost::SetKind(copy, CMotionEvent::EventInputChanges);
        CString message("left over");
        ASSERT_EQ(copy.ReadParameters(text, message), 1) << message.GetString();
        EXPECT_EQ(message, "");
        EXPECT_EQ(CMotionEventHost::GetKind(copy), CMotionEventHost::GetKind(event));
        EXPECT_EQ(CMotionEventHost::GetValue(copy), CMotionEventHost::GetValue(event));
        EXPECT_EQ(CMotionEventHost::GetLevel(copy), CMotionEventHost::GetLevel(event));
    }

    std::unique_ptr<CDriveSetup> m_setup = CDriveSetup::CreateDefault();
    CMC_Motion m_motion{*m_setup};
    CMotionEvent m_event{*m_setup, m_motion};
};

TEST_F(MotionEventTest, StartsAsAWaitTimeThatStopsTheMotion) {
    EXPECT_EQ(CMotionEventHost::GetKind(m_event), CMotionEvent::EventWaitTime);
    EXPECT_EQ(m_event.m_wFlags, CMotionEvent::FLAG_BIT0);
    EXPECT_EQ(m_event.IsEditable(), 1);
    EXPECT_EQ(m_event.GetDescription(0),
              "After a wait time of 0 s, stopping the motion in progress");
}

// Each kind of event with and without its stop, and at each level where it has one: its
// parameter text, its description, its code, and a text that reads back into the same event.
TEST_F(MotionEventTest, EachKindWritesDescribesAndGeneratesItself) {
    constexpr WORD kStop = CMotionEventHost::FLAG_STOP_MOTION;
    struct Case {
        CMotionEvent::Kind kind;
        double value;
        int level;
        WORD flags;
        const char* text;
        const char* description;
        const char* code;
        int editable;
    };
    const char* const stop = "  STOP!; //Stop the motion in progress when the event occurs\r\n";
    const Case cases[] = {
        {CMotionEvent::EventWaitTime, 625, 1, kStop, "Event=WaitTime\r\nEventTime=625\r\n",
         "After a wait time of 0.5 s, stopping the motion in progress",
         "  !RT 625; //Set event: after 625 IU of time\r\n", 1},
        {CMotionEvent::EventWaitTime, 625, 1, 0, "Event=WaitTime\r\nEventTime=625\r\n",
         "After a wait time of 0.5 s", "  !RT 625; //Set event: after 625 IU of time\r\n", 1},
        {CMotionEvent::EventPositionPasses, -500, 0, 0,
         "Event=PositionPasses\r\nEventPosition=-500\r\nEventDirection=0\r\n",
         "When the position falls below -0.25 rot",
         "  !PLLT -500; //Set event: when the position falls below -500 IU\r\n", 1},
        {CMotionEvent::EventPositionPasses, -500, 1, 0,
         "Event=PositionPasses\r\nEventPosition=-500\r\nEventDirection=1\r\n",
         "When the position rises above -0.25 rot",
         "  !PLGT -500; //Set event: when the position rises above -500 IU\r\n", 1},
        {CMotionEvent::EventInputChanges, 3, 1, kStop,
         "Event=InputChanges\r\nEventInput=3\r\nEventLevel=1\r\n",
         "When input 3 goes high, stopping the motion in progress",
         "  !IN#3 1; //Set event: when input 3 goes high\r\n", 1},
        {CMotionEvent::EventInputChanges, 3, 0, kStop,
         "Event=InputChanges\r\nEventInput=3\r\nEventLevel=0\r\n",
         "When input 3 goes low, stopping the motion in progress",
         "  !IN#3 0; //Set event: when input 3 goes low\r\n", 1},
        // Its settings are none, and it never stops a motion: the previous one has ended.
        {CMotionEvent::EventMotionComplete, 0, 1, kStop, "Event=MotionComplete\r\n",
         "When the previous motion is complete",
         "  !MC; //Set event: when the previous motion is complete\r\n", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        CMotionEvent event(*m_setup, m_motion);
        CMotionEventHost::SetKind(event, c.kind);
        CMotionEventHost::SetValue(event, c.value);
        CMotionEventHost::SetLevel(event, c.level);
        event.m_wFlags = c.flags;
        CString text;
        event.WriteParameters(text);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(event.GetDescription(0), c.description);
        const bool stops = (c.flags & kStop) && c.kind != CMotionEvent::EventMotionComplete;
        EXPECT_EQ(event.GenerateMLCode(), CString(c.code) + (stops ? stop : ""));
        EXPECT_EQ(event.IsEditable(), c.editable);
        ExpectRoundTrip(event);
    }
}

TEST_F(MotionEventTest, ValuesAreHeldToWhatTheDriveTakes) {
    CMotionEventHost::SetValue(m_event, 625.4);
    EXPECT_EQ(CMotionEventHost::GetValue(m_event), 625.0);
    EXPECT_EQ(m_event.GetDescription(1),
              "After a wait time of 0.5 s (625 IU), stopping the "
              "motion in progress");
    CMotionEventHost::SetValue(m_event, -3);
    EXPECT_EQ(CMotionEventHost::GetValue(m_event), 0.0);

    CMotionEventHost::SetKind(m_event, CMotionEvent::EventInputChanges);
    EXPECT_EQ(CMotionEventHost::GetValue(m_event), 1.0);
    CMotionEventHost::SetValue(m_event, 40);
    EXPECT_EQ(CMotionEventHost::GetValue(m_event), 16.0);
    CMotionEventHost::SetLevel(m_event, 7);
    EXPECT_EQ(CMotionEventHost::GetLevel(m_event), 1);
}

TEST_F(MotionEventTest, FailedReadsLeaveOnlyTheirMessageAndTheEventUnchanged) {
    // Each message ends its line, as every message that a module collects does.
    const std::pair<const char*, const char*> cases[] = {
        {"Execute=1\r\n", "Parameter \"Event\" is missing.\r\n"},
        {"Event=Sometime\r\n",
         "Parameter \"Event\" has the value \"Sometime\", which is not a kind of event.\r\n"},
        {"Event=\r\n", "Parameter \"Event\" has no value.\r\n"},
        {"Event=WaitTime\r\n", "Parameter \"EventTime\" is missing.\r\n"},
        {"Event=WaitTime\r\nEventTime=-1\r\n",
         "Parameter \"EventTime\" has the value -1; it must lie from 0 to 2147483647.\r\n"},
        {"Event=PositionPasses\r\nEventPosition=2.5\r\nEventDirection=1\r\n",
         "Parameter \"EventPosition\" has the value \"2.5\", which is not a whole number.\r\n"},
        {"Event=PositionPasses\r\nEventPosition=2\r\n",
         "Parameter \"EventDirection\" is missing.\r\n"},
        {"Event=InputChanges\r\nEventInput=17\r\nEventLevel=1\r\n",
         "Parameter \"EventInput\" has the value 17; it must lie from 1 to 16.\r\n"},
        {"Event=InputChanges\r\nEventInput=2\r\nEventLevel=2\r\n",
         "Parameter \"EventLevel\" has the value 2; it must lie from 0 to 1.\r\n"},
    };
    CMotionEventHost::SetValue(m_event, 100);
    for (const auto& [text, expected] : cases) {
        CString copy(text);
        CString message("Parameter \"TPOS\" is missing.");
        EXPECT_EQ(m_event.ReadParameters(copy, message), 0) << text;
        EXPECT_EQ(message, expected);
        EXPECT_EQ(CMotionEventHost::GetKind(m_event), CMotionEvent::EventWaitTime);
        EXPECT_EQ(CMotionEventHost::GetValue(m_event), 100.0);
    }
}

}  // namespace
