// The event's own dialogs, played by scripts: its settings (Edit) and its kind (ChangeType).
#include <afxdlgtemplate.h>

#include "kinecore_dialog_fixture.h"
#include "platform/kinecore/KernelResource.h"

namespace kernel_test {
namespace {

class EventDialogTest : public KernelDialogTest {
protected:
    // Plays `script` on the event's edit dialog and returns what Edit returned.
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
    // The edit dialog's texts as the user sees them when it opens.
    void ExpectShown(const char* heading, const char* value, const char* unit) {
        m_driver.Inspect([=](CDialog& shown) {
            CString text;
            shown.GetDlgItemText(IDC_EVENT_KIND, text);
            EXPECT_EQ(text, heading);
            shown.GetDlgItemText(IDC_EVENT_VALUE, text);
            EXPECT_EQ(text, value);
            shown.GetDlgItemText(IDC_EVENT_UNIT, text);
            EXPECT_EQ(text, unit);
        });
    }

    CMotionEvent m_event{*m_setup, m_motion};
};

TEST_F(EventDialogTest, TheKernelsTemplatesAreInTheChainWhileItIsLoaded) {
    const DLGTEMPLATEDATA* edit = AfxFindDialogResource(IDD_EVENT_EDIT);
    const DLGTEMPLATEDATA* type = AfxFindDialogResource(IDD_EVENT_TYPE);
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(edit->caption, "Edit Event");
    EXPECT_EQ(type->caption, "Event Type");
}

TEST_F(EventDialogTest, WaitTimeIsEditedInTheSetupsFirstTimeUnit) {
    m_event.SetValue(625);
    ExpectShown("Start the motion after a wait time of", "0.5", "s");
    m_driver.Inspect([](CDialog& shown) {
        // A wait time has no direction; the edit has the focus with its text selected.
        EXPECT_FALSE(shown.GetDlgItem(IDC_EVENT_RISING)->IsWindowVisible());
        EXPECT_FALSE(shown.GetDlgItem(IDC_EVENT_FALLING)->IsWindowVisible());
        EXPECT_EQ(CWnd::GetFocus(), shown.GetDlgItem(IDC_EVENT_VALUE));
    });
    EXPECT_EQ(PlayEdit("type Value \" 2.0008 \"\nclick OK\n"), 1);
    EXPECT_EQ(m_event.GetValue(), 2501);  // whole IU, the nearest
    EXPECT_EQ(m_event.GetKind(), CMotionEvent::EventWaitTime);
}

TEST_F(EventDialogTest, CancelAndAnUnchangedOkChangeNothing) {
    m_event.SetValue(625);
    EXPECT_EQ(PlayEdit("type Value 9\nclick Cancel\n"), 0);
    EXPECT_EQ(m_event.GetValue(), 625);
    EXPECT_EQ(PlayEdit("type Value 9\nkey Escape\n"), 0);
    EXPECT_EQ(m_event.GetValue(), 625);
    // The same value in other words is no change.
    EXPECT_EQ(PlayEdit("type Value +0.50\nkey Enter\n"), 0);
    EXPECT_EQ(m_event.GetValue(), 625);
    EXPECT_TRUE(m_driver.GetMessages().empty());
}

TEST_F(EventDialogTest, ABadNumberIsRefusedAndTheFocusGoesBack) {
    m_event.SetValue(625);
    Script(
        "type Value abc\n"
        "click OK\n"
        "expect-message \"\\\"abc\\\" is not a number. Enter the wait time in s.\"\n");
    m_driver.Inspect([](CDialog& shown) {
        CWnd* edit = shown.GetDlgItem(IDC_EVENT_VALUE);
        EXPECT_EQ(CWnd::GetFocus(), edit);
        int start = 0, end = 0;
        static_cast<CEdit*>(edit)->GetSel(start, end);
        EXPECT_EQ(start, 0);
        EXPECT_EQ(end, 3);
    });
    Script(
        "type Value \"\"\n"
        "key Enter\n"
        "expect-message \"Enter the wait time in s.\"\n"
        "type Value -0.001\n"
        "click OK\n"
        "expect-message \"The wait time must lie between 0 and 1717986.9176 s.\"\n"
        "type Value 1\n"
        "click OK\n");
    EXPECT_EQ(PlayEdit(""), 1);
    EXPECT_EQ(m_event.GetValue(), 1250);
    EXPECT_EQ(m_driver.GetMessages().size(), 3u);
    EXPECT_EQ(m_driver.GetMessages()[0].type, MB_OK | MB_ICONEXCLAMATION);
}

TEST_F(EventDialogTest, PositionHasADirection) {
    m_event.SetKind(CMotionEvent::EventPositionPasses);
    m_event.SetValue(-500);
    ExpectShown("Start the motion when the position passes", "-0.25", "rot");
    m_driver.Inspect([](CDialog& shown) {
        EXPECT_EQ(shown.IsDlgButtonChecked(IDC_EVENT_RISING), BST_CHECKED);
        EXPECT_EQ(shown.IsDlgButtonChecked(IDC_EVENT_FALLING), BST_UNCHECKED);
    });
    EXPECT_EQ(PlayEdit("check \"Falls below\"\nclick OK\n"), 1);
    EXPECT_EQ(m_event.GetLevel(), 0);
    EXPECT_EQ(m_event.GetValue(), -500);

    EXPECT_EQ(PlayEdit("type Value 1e7\n"
                       "click OK\n"
                       "expect-message \"The position must lie between -1073741.824 and "
                       "1073741.8235 rot.\"\n"
                       "type Value 2\n"
                       "check \"&Rises above\"\n"
                       "click OK\n"),
              1);
    EXPECT_EQ(m_event.GetValue(), 4000);
    EXPECT_EQ(m_event.GetLevel(), 1);
}

TEST_F(EventDialogTest, InputIsAWholeNumberWithALevel) {
    m_event.SetKind(CMotionEvent::EventInputChanges);
    ExpectShown("Start the motion when a digital input changes", "1", "(1 to 16)");
    EXPECT_EQ(PlayEdit("type Value 3.5\n"
                       "click OK\n"
                       "expect-message \"The input number must be a whole number from 1 to 16.\"\n"
                       "type Value 17\n"
                       "click OK\n"
                       "expect-message \"The input number must be a whole number from 1 to 16.\"\n"
                       "type Value x\n"
                       "click OK\n"
                       "expect-message \"\\\"x\\\" is not a number. Enter an input number from 1 "
                       "to 16.\"\n"
                       "type Value 16\n"
                       "check \"Goes low\"\n"
                       "click OK\n"),
              1);
    EXPECT_EQ(m_event.GetValue(), 16);
    EXPECT_EQ(m_event.GetLevel(), 0);
}

TEST_F(EventDialogTest, AnEventWithoutSettingsOpensNoDialog) {
    m_event.SetKind(CMotionEvent::EventMotionComplete);
    EXPECT_EQ(m_event.Edit(), 0);
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
    EXPECT_TRUE(m_driver.GetMessages().empty());
}

TEST_F(EventDialogTest, ChangeTypeStartsTheNewKindFromItsDefaults) {
    m_event.SetValue(625);
    m_event.m_wFlags = 0;
    m_driver.Inspect([](CDialog& shown) {
        EXPECT_EQ(shown.IsDlgButtonChecked(IDC_EVENT_WAIT_TIME), BST_CHECKED);
    });
    EXPECT_EQ(PlayChangeType("check \"When a digital input changes\"\nclick OK\n"), 1);
    EXPECT_EQ(m_event.GetKind(), CMotionEvent::EventInputChanges);
    EXPECT_EQ(m_event.GetValue(), 1);
    EXPECT_EQ(m_event.GetLevel(), 1);
    EXPECT_EQ(m_event.m_wFlags, 0);  // the flags follow the setup, not the kind

    m_event.SetValue(9);
    EXPECT_EQ(PlayChangeType("check 1212\nclick Cancel\n"), 0);
    EXPECT_EQ(m_event.GetKind(), CMotionEvent::EventInputChanges);
    EXPECT_EQ(PlayChangeType("check 1212\ncheck 1213\nclick OK\n"), 0);
    EXPECT_EQ(m_event.GetValue(), 9);  // the same kind keeps its settings
    EXPECT_EQ(PlayChangeType("check \"When the previous motion is complete\"\nkey Enter\n"), 1);
    EXPECT_EQ(m_event.GetKind(), CMotionEvent::EventMotionComplete);
    EXPECT_EQ(m_event.IsEditable(), 0);
}

TEST_F(EventDialogTest, ExcludedKindsCannotBeChosen) {
    const int excluded =
        (1 << CMotionEvent::EventInputChanges) | (1 << CMotionEvent::EventMotionComplete);
    Script("check 1213\n");
    m_event.ChangeType(excluded);
    EXPECT_FALSE(m_driver.Finish());
    EXPECT_EQ(m_driver.GetError(),
              "test.txt:1: control 1213 \"When a digital &input changes\" is disabled");
    EXPECT_EQ(m_event.GetKind(), CMotionEvent::EventWaitTime);
}

TEST_F(EventDialogTest, AnEditorsEventDialogIsPlayedByTheLinesThatFollow) {
    CTestEditorDlg dialog(*m_setup, m_motion, m_paramText, m_log);
    dialog.m_event.SetValue(625);
    Script("click Event...\n");
    m_driver.Inspect([&dialog](CDialog& shown) {
        // The event dialog is in front, and its owner takes no input meanwhile.
        EXPECT_NE(&shown, &dialog);
        EXPECT_FALSE(dialog.IsWindowEnabled());
    });
    Script(
        "type Value 1\n"
        "click OK\n"
        "click Event...\n"
        "click Cancel\n"
        "click OK\n");
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
    EXPECT_EQ(m_log, (EventLog{"event 1", "event 0"}));
    EXPECT_EQ(dialog.m_event.GetValue(), 1250);
}

}  // namespace
}  // namespace kernel_test
