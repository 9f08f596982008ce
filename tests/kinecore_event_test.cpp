#include <MotionEvent.h>
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
        copy.SetKind(CMotionEvent::EventInputChanges);
        CString message("left over");
        ASSERT_EQ(copy.ReadParameters(text, message), 1) << message.GetString();
        EXPECT_EQ(message, "");
        EXPECT_EQ(copy.GetKind(), event.GetKind());
        EXPECT_EQ(copy.GetValue(), event.GetValue());
        EXPECT_EQ(copy.GetLevel(), event.GetLevel());
    }

    std::unique_ptr<CMC_Setup> m_setup = CMC_Setup::CreateDefault();
    CMC_Motion m_motion{*m_setup};
    CMotionEvent m_event{*m_setup, m_motion};
};

TEST_F(MotionEventTest, StartsAsAWaitTimeThatStopsTheMotion) {
    EXPECT_EQ(m_event.GetKind(), CMotionEvent::EventWaitTime);
    EXPECT_EQ(m_event.m_wFlags, CMotionEvent::FLAG_BIT0);
    EXPECT_EQ(m_event.IsEditable(), 1);
    EXPECT_EQ(m_event.GetDescription(0),
              "After a wait time of 0 s, stopping the motion in progress");
}

TEST_F(MotionEventTest, WaitTime) {
    m_event.SetValue(625.4);
    EXPECT_EQ(m_event.GetValue(), 625.0);
    CString text;
    m_event.WriteParameters(text);
    EXPECT_EQ(text, "Event=WaitTime\r\nEventTime=625\r\n");
    EXPECT_EQ(m_event.GetDescription(0),
              "After a wait time of 0.5 s, stopping the motion in progress");
    EXPECT_EQ(m_event.GenerateMLCode(),
              "  !RT 625; //Set event: after 625 IU of time\r\n"
              "  STOP!; //Stop the motion in progress when the event occurs\r\n");
    m_event.m_wFlags &= ~CMotionEvent::FLAG_BIT0;
    EXPECT_EQ(m_event.GetDescription(0), "After a wait time of 0.5 s");
    EXPECT_EQ(m_event.GetDescription(1), "After a wait time of 0.5 s (625 IU)");
    EXPECT_EQ(m_event.GenerateMLCode(), "  !RT 625; //Set event: after 625 IU of time\r\n");
    ExpectRoundTrip(m_event);
    m_event.SetValue(-3);
    EXPECT_EQ(m_event.GetValue(), 0.0);
}

TEST_F(MotionEventTest, PositionPasses) {
    m_event.SetKind(CMotionEvent::EventPositionPasses);
    m_event.SetValue(-500);
    m_event.SetLevel(0);
    m_event.m_wFlags = 0;
    CString text;
    m_event.WriteParameters(text);
    EXPECT_EQ(text, "Event=PositionPasses\r\nEventPosition=-500\r\nEventDirection=0\r\n");
    EXPECT_EQ(m_event.GetDescription(0), "When the position falls below -0.25 rot");
    EXPECT_EQ(m_event.GenerateMLCode(),
              "  !PLLT -500; //Set event: when the position falls below -500 IU\r\n");
    ExpectRoundTrip(m_event);
    m_event.SetLevel(7);
    EXPECT_EQ(m_event.GetLevel(), 1);
    EXPECT_EQ(m_event.GetDescription(0), "When the position rises above -0.25 rot");
    EXPECT_EQ(m_event.GenerateMLCode(),
              "  !PLGT -500; //Set event: when the position rises above -500 IU\r\n");
    ExpectRoundTrip(m_event);
}

TEST_F(MotionEventTest, InputChanges) {
    m_event.SetKind(CMotionEvent::EventInputChanges);
    EXPECT_EQ(m_event.GetValue(), 1.0);
    m_event.SetValue(40);
    EXPECT_EQ(m_event.GetValue(), 16.0);
    m_event.SetValue(3);
    CString text;
    m_event.WriteParameters(text);
    EXPECT_EQ(text, "Event=InputChanges\r\nEventInput=3\r\nEventLevel=1\r\n");
    EXPECT_EQ(m_event.GetDescription(0), "When input 3 goes high, stopping the motion in progress");
    EXPECT_EQ(m_event.GenerateMLCode(),
              "  !IN#3 1; //Set event: when input 3 goes high\r\n"
              "  STOP!; //Stop the motion in progress when the event occurs\r\n");
    m_event.SetLevel(0);
    EXPECT_TRUE(m_event.GenerateMLCode().str().starts_with(
        "  !IN#3 0; //Set event: when input 3 goes low\r\n  STOP!;"));
    ExpectRoundTrip(m_event);
}

TEST_F(MotionEventTest, MotionCompleteHasNoSettingsAndNoStop) {
    m_event.SetKind(CMotionEvent::EventMotionComplete);
    EXPECT_EQ(m_event.IsEditable(), 0);
    CString text;
    m_event.WriteParameters(text);
    EXPECT_EQ(text, "Event=MotionComplete\r\n");
    EXPECT_EQ(m_event.GetDescription(0), "When the previous motion is complete");
    EXPECT_EQ(m_event.GenerateMLCode(),
              "  !MC; //Set event: when the previous motion is complete\r\n");
    ExpectRoundTrip(m_event);
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
    m_event.SetValue(100);
    for (const auto& [text, expected] : cases) {
        CString copy(text);
        CString message("Parameter \"TPOS\" is missing.");
        EXPECT_EQ(m_event.ReadParameters(copy, message), 0) << text;
        EXPECT_EQ(message, expected);
        EXPECT_EQ(m_event.GetKind(), CMotionEvent::EventWaitTime);
        EXPECT_EQ(m_event.GetValue(), 100.0);
    }
}

}  // namespace
