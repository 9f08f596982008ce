// The event's own dialogs, played by scripts: its settings (Edit) and its kind (ChangeType).
#include <MotionEventHost.h>

#include <functional>
#include <vector>

#include "kinecore_dialog_fixture.h"
#include "platform/kinecore/KernelResource.h"

namespace kernel_test {
namespace {

class EventDialogTest : public KernelDialogTest {
protected:
    int PlayEdit(const char* script) {
        Script(script);
        const int result = m_event.Edit();
        EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
        return result;
    }
    int PlayChangeType(const char* script, int excludedKinds = 0) {
        Script(script);
        const int result = m_event.ChangeType(excludedKinds);
        EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
        return result;
    }
    // What the edit dialog shows: the value's text and its unit.
    void ExpectShown(const char* value, const char* unit) {
        m_driver.Inspect([=](CDialog& shown) {
            CString text;
            shown.GetDlgItemText(IDC_EVENT_VALUE, text);
            EXPECT_EQ(text, value);
            shown.GetDlgItemText(IDC_EVENT_UNIT, text);
            EXPECT_EQ(text, unit);
        });
    }

    CMotionEvent m_event{*m_setup, m_motion};
};

TEST_F(EventDialogTest, WaitTimeInTheFirstTimeUnitRefusingWhatIsNoWaitTime) {
    CMotionEventHost::SetValue(m_event, 625);
    ExpectShown("0.5", "s");
    Script(
        "type Value abc\n"
        "click OK\n"
        "expect-message \"\\\"abc\\\" is not a number. Enter the wait time in s.\"\n");
    m_driver.Inspect([](CDialog& shown) {  // the focus is back, the text selected
        CWnd* edit = shown.GetDlgItem(IDC_EVENT_VALUE);
        int start = 0, end = 0;
        static_cast<CEdit*>(edit)->GetSel(start, end);
        EXPECT_EQ(CWnd::GetFocus(), edit);
        EXPECT_EQ(end - start, 3);
        EXPECT_FALSE(shown.GetDlgItem(IDC_EVENT_RISING)->IsWindowVisible());
    });
    EXPECT_EQ(PlayEdit("type Value -0.001\n"
                       "key Enter\n"
                       "expect-message \"The wait time must lie between 0 and 1717986.9176 s.\"\n"
                       "type Value \" 2.0006 \"\n"
                       "click OK\n"),
              1);
    EXPECT_EQ(CMotionEventHost::GetValue(m_event), 2501);  // the nearest whole IU
    EXPECT_EQ(m_driver.GetMessages().size(), 2u);
}

TEST_F(EventDialogTest, CancelAnUnchangedOkAndAnEventWithoutSettingsChangeNothing) {
    CMotionEventHost::SetValue(m_event, 625);
    EXPECT_EQ(PlayEdit("type Value 9\nclick Cancel\n"), 0);
    EXPECT_EQ(PlayEdit("type Value +0.50\nclick OK\n"), 0);
    EXPECT_EQ(CMotionEventHost::GetValue(m_event), 625);
    CMotionEventHost::SetKind(m_event, CMotionEvent::EventMotionComplete);
    EXPECT_EQ(PlayEdit(""), 0);  // no dialog, so no line is needed
}

TEST_F(EventDialogTest, PositionAndInputHaveADirectionOrLevel) {
    CMotionEventHost::SetKind(m_event, CMotionEvent::EventPositionPasses);
    CMotionEventHost::SetValue(m_event, -500);
    ExpectShown("-0.25", "rot");
    EXPECT_EQ(PlayEdit("type Value 1e7\n"
                       "click OK\n"
                       "expect-message \"The position must lie between -1073741.824 and "
                       "1073741.8235 rot.\"\n"
                       "type Value 2\n"
                       "check \"Falls below\"\n"
                       "click OK\n"),
              1);
    EXPECT_EQ(CMotionEventHost::GetValue(m_event), 4000);
    EXPECT_EQ(CMotionEventHost::GetLevel(m_event), 0);

    CMotionEventHost::SetKind(m_event, CMotionEvent::EventInputChanges);
    ExpectShown("1", "(1 to 16)");
    EXPECT_EQ(PlayEdit("type Value 3.5\n"
                       "click OK\n"
                       "expect-message \"The input number must be a whole number from 1 to 16.\"\n"
                       "type Value 16\n"
                       "check \"Goes low\"\n"
                       "click OK\n"),
              1);
    EXPECT_EQ(CMotionEventHost::GetValue(m_event), 16);
    EXPECT_EQ(CMotionEventHost::GetLevel(m_event), 0);
}

TEST_F(EventDialogTest, ChangeTypeStartsAnotherKindFromItsDefaults) {
    CMotionEventHost::SetValue(m_event, 625);
    m_event.m_wFlags = 0;
    EXPECT_EQ(PlayChangeType("check \"When a digital input changes\"\nclick OK\n"), 1);
    EXPECT_EQ(CMotionEventHost::GetKind(m_event), CMotionEvent::EventInputChanges);
    EXPECT_EQ(CMotionEventHost::GetValue(m_event), 1);
    EXPECT_EQ(m_event.m_wFlags, 0);  // the flags follow the setup, not the kind
    CMotionEventHost::SetValue(m_event, 9);
    EXPECT_EQ(PlayChangeType("check 1212\nclick Cancel\n"), 0);
    EXPECT_EQ(PlayChangeType("check 1212\ncheck 1213\nclick OK\n"), 0);
    EXPECT_EQ(CMotionEventHost::GetValue(m_event), 9);  // the same kind keeps its settings

    m_driver.Inspect([](CDialog& shown) {
        EXPECT_FALSE(shown.GetDlgItem(IDC_EVENT_MOTION_COMPLETE)->IsWindowEnabled());
        EXPECT_TRUE(shown.GetDlgItem(IDC_EVENT_WAIT_TIME)->IsWindowEnabled());
    });
    EXPECT_EQ(PlayChangeType("key Escape\n", 1 << CMotionEvent::EventMotionComplete), 0);
}

// The focus's control id after each step, noted by the returned inspection.
std::function<void(CDialog&)> NoteFocus(std::vector<int>& focus) {
    return [&focus](CDialog&) {
        focus.push_back(CWnd::GetFocus() ? CWnd::GetFocus()->GetDlgCtrlID() : 0);
    };
}

TEST_F(EventDialogTest, TheKindsFromTheKeyboard) {
    // The dialog opens on the checked kind; the arrows check the next kind and wrap among the
    // kinds, passing over an excluded one; Tab leaves the group for OK.
    CMotionEventHost::SetKind(m_event, CMotionEvent::EventPositionPasses);
    std::vector<int> focus;
    m_driver.Inspect(NoteFocus(focus));
    for (const char* key : {"Down", "Down", "Up", "Up", "Right"})
        m_driver.Key(key).Inspect(NoteFocus(focus));
    m_driver.Key("Tab").Inspect(NoteFocus(focus)).Key("Enter");
    EXPECT_EQ(PlayChangeType("", 1 << CMotionEvent::EventMotionComplete), 1);
    EXPECT_EQ(focus, (std::vector<int>{IDC_EVENT_POSITION_PASSES, IDC_EVENT_INPUT_CHANGES,
                                       IDC_EVENT_WAIT_TIME, IDC_EVENT_INPUT_CHANGES,
                                       IDC_EVENT_POSITION_PASSES, IDC_EVENT_INPUT_CHANGES, IDOK}));
    EXPECT_EQ(CMotionEventHost::GetKind(m_event), CMotionEvent::EventInputChanges);
}

TEST_F(EventDialogTest, TheDirectionFromTheKeyboard) {
    CMotionEventHost::SetKind(m_event, CMotionEvent::EventPositionPasses);
    CMotionEventHost::SetValue(m_event, 2000);
    std::vector<int> focus;
    // From the value: Tab to the checked direction, Down to the other, which it checks; the
    // group wraps at its end; Tab goes on to OK, Cancel and back to the value.
    m_driver.Inspect(NoteFocus(focus));
    for (const char* key : {"Tab", "Down", "Down", "Down", "Tab", "Tab", "Tab"})
        m_driver.Key(key).Inspect(NoteFocus(focus));
    m_driver.Click("OK");
    EXPECT_EQ(PlayEdit(""), 1);
    EXPECT_EQ(focus, (std::vector<int>{IDC_EVENT_VALUE, IDC_EVENT_RISING, IDC_EVENT_FALLING,
                                       IDC_EVENT_RISING, IDC_EVENT_FALLING, IDOK, IDCANCEL,
                                       IDC_EVENT_VALUE}));
    EXPECT_EQ(CMotionEventHost::GetLevel(m_event), 0);  // falls below

    // A wait time hides the direction: Tab goes from the value straight to OK.
    CMotionEventHost::SetKind(m_event, CMotionEvent::EventWaitTime);
    focus.clear();
    m_driver.Key("Tab").Inspect(NoteFocus(focus)).Key("Escape");
    EXPECT_EQ(PlayEdit(""), 0);
    EXPECT_EQ(focus, std::vector<int>{IDOK});
}

TEST_F(EventDialogTest, AnEditorsEventDialogTakesTheLinesThatFollowItsButton) {
    CMotionEventHost::SetValue(m_dialog.m_event, 625);
    Script("click Event...\n");
    m_driver.Inspect([this](CDialog& shown) {
        EXPECT_NE(&shown, &m_dialog);
        EXPECT_FALSE(m_dialog.IsWindowEnabled());  // the owner waits for its event dialog
    });
    Script(
        "type Value 1\n"
        "click OK\n"
        "click OK\n");
    EXPECT_EQ(m_dialog.DoModal(), IDOK);
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
    EXPECT_EQ(m_log, (EventLog{"event 1"}));
    EXPECT_EQ(CMotionEventHost::GetValue(m_dialog.m_event), 1250);
}

}  // namespace
}  // namespace kernel_test
