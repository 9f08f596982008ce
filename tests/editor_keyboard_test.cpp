// The editor from the keyboard, as a Windows user knows a dialog: Tab reaches the checked button
// of each radio group and passes over the graph, which is no tab stop; the arrow keys check the
// radio buttons of a group as clicks do, and never leave the group.
#include <vector>

#include "EditorHarness.h"

namespace {

using Keyboard = EditorHarness;

// Queues `presses` presses of `key`, each followed by a note of the focused control's id.
void Press(CHeadlessDriver& driver, const char* key, int presses, std::vector<int>& focus) {
    for (int i = 0; i < presses; ++i)
        driver.Key(key).Inspect([&focus](CDialog&) {
            focus.push_back(CWnd::GetFocus() ? CWnd::GetFocus()->GetDlgCtrlID() : 0);
        });
}

TEST_F(Keyboard, TabReachesTheCheckedRadioButtonsAndPassesOverTheGraph) {
    // Three points, point 0 selected: "&<<" and "&Remove" are disabled, and so are the host
    // address and the event buttons.
    CString text = MotionText("ATIME[IU]=3: 0 10 20", "TPOS[IU]=3: 0 1 2");
    std::vector<int> forward, backward;
    driver.Focus(IDC_HOST_ADDRESS_CHECK);
    Press(driver, "Tab", 16, forward);
    Press(driver, "Shift+Tab", 2, backward);
    driver.Check(IDC_EXECUTE_ON_EVENT).Check(IDC_START_FROM_ACTUAL).Focus(IDC_IMPORT_FROM_FILE);
    Press(driver, "Tab", 1, forward);
    driver.Focus(IDC_INSERT_POINT);
    Press(driver, "Tab", 1, forward);
    driver.Key("Escape");
    EXPECT_EQ(Run(text), IDCANCEL);
    const std::vector<int> expected = {
        IDC_CLEAR_BUFFER, IDC_POSITION_VALUE, IDC_POSITION_UNIT, IDC_TIME_VALUE, IDC_TIME_UNIT,
        IDC_NEXT_POINT, IDC_UPDATE_POINT, IDC_INSERT_POINT, IDC_EXECUTE_IMMEDIATE,
        IDC_WAIT_FOR_COMPLETION, IDC_IMPORT_FROM_FILE, IDC_START_FROM_REFERENCE, IDOK, IDCANCEL,
        ID_DEFAULT_HELP, IDC_HOST_ADDRESS_CHECK,
        // after the radio buttons changed: the newly checked one of each group
        IDC_START_FROM_ACTUAL,
        // from Insert: the Execute group's checked button, On event
        IDC_EXECUTE_ON_EVENT};
    EXPECT_EQ(forward, expected);
    EXPECT_EQ(backward, (std::vector<int>{ID_DEFAULT_HELP, IDCANCEL}));
}

TEST_F(Keyboard, ArrowsCheckTheExecuteButtonsAndStayInTheirGroup) {
    CString text = MotionText("ATIME[IU]=2: 0 10", "TPOS[IU]=2: 0 1");
    std::vector<int> focus;
    std::vector<bool> onEvent;
    const auto note = [&](CDialog& dialog) {
        focus.push_back(Focus());
        onEvent.push_back(Checked(dialog, IDC_EXECUTE_ON_EVENT));
    };
    // Down from Immediate checks On event; Up goes back; Up at the group's first control wraps
    // to its last (Import From File), which only takes the focus: no file dialog opens.
    driver.Focus(IDC_EXECUTE_IMMEDIATE)
        .Key("Down")
        .Inspect(note)
        .Key("Up")
        .Inspect(note)
        .Key("Up")
        .Inspect(note)
        .Key("Down")  // wraps back to Immediate, already checked
        .Inspect(note)
        .Key("Right")
        .Inspect(note)
        .Click("OK");
    ASSERT_EQ(Run(text), IDOK);
    EXPECT_EQ(focus,
              (std::vector<int>{IDC_EXECUTE_ON_EVENT, IDC_EXECUTE_IMMEDIATE, IDC_IMPORT_FROM_FILE,
                                IDC_EXECUTE_IMMEDIATE, IDC_EXECUTE_ON_EVENT}));
    EXPECT_EQ(onEvent, (std::vector<bool>{true, false, false, false, true}));
    EXPECT_NE(text.str().find("Execute=1\r\n"), std::string::npos) << text.GetString();
}

TEST_F(Keyboard, ArrowsCheckTheStartButtonsWithoutOpeningTheImport) {
    // The user's report: Up on "load/motor" went to Import From File, and Space opened it.
    CString text = MotionText("ATIME[IU]=2: 0 10", "TPOS[IU]=2: 0 1", "StartPoint=1\r\n");
    std::vector<int> focus;
    std::vector<bool> fromActual;
    const auto note = [&](CDialog& dialog) {
        focus.push_back(Focus());
        fromActual.push_back(Checked(dialog, IDC_START_FROM_ACTUAL));
    };
    driver.Focus(IDC_START_FROM_ACTUAL)
        .Key("Up")
        .Inspect(note)
        .Key("Down")
        .Inspect(note)
        .Key("Down")  // OK belongs to the group in the template: it takes the focus only
        .Inspect(note)
        .Key("Left")
        .Inspect(note)
        .Focus(IDC_START_FROM_REFERENCE)
        .Key("Up")  // wraps to the group's last control: Help
        .Inspect(note)
        .Click("OK");
    ASSERT_EQ(Run(text), IDOK);
    EXPECT_EQ(focus, (std::vector<int>{IDC_START_FROM_REFERENCE, IDC_START_FROM_ACTUAL, IDOK,
                                       IDC_START_FROM_ACTUAL, ID_DEFAULT_HELP}));
    EXPECT_EQ(fromActual, (std::vector<bool>{false, true, true, true, true}));
    EXPECT_TRUE(driver.GetMessages().empty());
    EXPECT_NE(text.str().find("StartPoint=1\r\n"), std::string::npos) << text.GetString();
}

TEST_F(Keyboard, TheGraphTakesTheFocusFromAClickOnly) {
    CString text = MotionText("ATIME[IU]=2: 0 10", "TPOS[IU]=2: 0 1");
    driver.Focus(IDC_INSERT_POINT)
        .Inspect([](CDialog& dialog) {
            dialog.GetDlgItem(IDC_GRAPH)->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            dialog.GetDlgItem(IDC_GRAPH)->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
            EXPECT_EQ(Focus(), IDC_GRAPH);
        })
        .Key("Tab")
        .Inspect([](CDialog&) { EXPECT_EQ(Focus(), IDC_EXECUTE_IMMEDIATE); })
        .Key("Shift+Tab")
        .Inspect([](CDialog&) { EXPECT_EQ(Focus(), IDC_INSERT_POINT); })
        .Key("Escape");
    EXPECT_EQ(Run(text), IDCANCEL);
}

}  // namespace
