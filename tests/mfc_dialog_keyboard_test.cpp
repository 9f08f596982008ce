// The dialog manager's keys, as Windows has them: Tab walks the tab stops (a radio group's checked
// button among them), the arrow keys move within the focused control's group and click the
// automatic radio buttons they reach; edits and lists keep their arrows.
#include <algorithm>
#include <string>
#include <vector>

#include "mfc_dialog_fixture.h"

namespace dialog_test {
namespace {

using DialogKeyboard = DialogTest;

int FocusId() { return CWnd::GetFocus() ? CWnd::GetFocus()->GetDlgCtrlID() : 0; }

bool IsTabStop(CDialog& dialog, int id) {
    return (dialog.GetDlgItem(id)->GetStyle() & WS_TABSTOP) != 0;
}

// Queues `presses` presses of `key`, each followed by a note of the focus in `focus`.
void Press(CHeadlessDriver& driver, const char* key, int presses, std::vector<int>& focus) {
    for (int i = 0; i < presses; ++i)
        driver.Key(key).Inspect([&focus](CDialog&) { focus.push_back(FocusId()); });
}

TEST_F(DialogKeyboard, TabWalksTheTabStopsAndTheCheckedRadioButtonOfEachGroup) {
    CTestDlg dialog(m_log);
    std::vector<int> forward, backward, afterSlow;
    // From the first tab stop: disabled (Locked), hidden (Help), unchecked radio buttons, statics
    // and the edit without WS_TABSTOP are passed over; the walk wraps around.
    Press(m_driver, "Tab", 11, forward);
    Press(m_driver, "Shift+Tab", 11, backward);
    m_driver.Click("&Slow").Focus(IDC_UNIT);
    Press(m_driver, "Tab", 1, afterSlow);
    // An edit reached by Tab has its whole text selected.
    m_driver.Focus(IDC_VERBOSE).Key("Tab").Inspect([](CDialog& shown) {
        int start = -1, end = -1;
        static_cast<CEdit*>(shown.GetDlgItem(IDC_COUNT))->GetSel(start, end);
        EXPECT_EQ(FocusId(), IDC_COUNT);
        EXPECT_EQ(std::make_pair(start, end), std::make_pair(0, 1));  // "5"
    });
    m_driver.Key("Escape");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << m_driver.GetError();
    const std::vector<int> cycle = {IDC_COUNT, IDC_NAME, IDC_UNIT, IDC_FAST, IDC_LOG,    IDC_RED,
                                    IDC_APPLY, IDC_MORE, IDOK,     IDCANCEL, IDC_VERBOSE};
    EXPECT_EQ(forward, cycle);
    std::vector<int> reversed(cycle.rbegin() + 1, cycle.rend());
    reversed.push_back(IDC_VERBOSE);
    EXPECT_EQ(backward, reversed);
    EXPECT_EQ(afterSlow, std::vector<int>{IDC_SLOW});
}

TEST_F(DialogKeyboard, ARadioButtonIsATabStopWhileChecked) {
    CTestDlg dialog(m_log);
    m_driver
        .Inspect([](CDialog& shown) {
            EXPECT_TRUE(IsTabStop(shown, IDC_FAST));  // checked by OnInitDialog
            EXPECT_FALSE(IsTabStop(shown, IDC_SLOW));
            EXPECT_TRUE(IsTabStop(shown, IDC_LOG));  // a check box keeps its template's style
        })
        .Click("&Slow")
        .Inspect([](CDialog& shown) {
            EXPECT_FALSE(IsTabStop(shown, IDC_FAST));
            EXPECT_TRUE(IsTabStop(shown, IDC_SLOW));
            shown.CheckRadioButton(IDC_RED, IDC_GREEN, IDC_GREEN);
            EXPECT_FALSE(IsTabStop(shown, IDC_RED));
            EXPECT_TRUE(IsTabStop(shown, IDC_GREEN));
        })
        .Key("Escape");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << m_driver.GetError();
}

TEST_F(DialogKeyboard, ArrowsMoveWithinTheGroupAndClickTheRadioButtonsTheyReach) {
    CTestDlg dialog(m_log);
    std::vector<int> down, up;
    std::vector<bool> slowChecked;
    m_driver.Focus("&Fast");
    // Group Fast, Slow, Log: Slow is clicked, Log only takes the focus, then the group wraps.
    for (int i = 0; i < 3; ++i) {
        m_driver.Key("Down").Inspect([&](CDialog& shown) {
            down.push_back(FocusId());
            slowChecked.push_back(shown.IsDlgButtonChecked(IDC_SLOW) == BST_CHECKED);
        });
    }
    Press(m_driver, "Up", 2, up);
    m_driver.Key("Escape");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << m_driver.GetError();
    EXPECT_EQ(down, (std::vector<int>{IDC_SLOW, IDC_LOG, IDC_FAST}));
    EXPECT_EQ(slowChecked, (std::vector<bool>{true, true, false}));
    EXPECT_EQ(up, (std::vector<int>{IDC_LOG, IDC_SLOW}));
    // Fast was clicked by the wrap-around, with the click's notification; Log was never toggled.
    EXPECT_EQ(std::count(m_log.begin(), m_log.end(), "Fast"), 1);
    EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_LOG), 0u);
}

TEST_F(DialogKeyboard, LeftAndRightAreUpAndDownAndPassOverDisabledControls) {
    CTestDlg dialog(m_log);
    std::vector<int> right, left;
    m_driver.Focus("&Apply");
    Press(m_driver, "Right", 2, right);  // Locked is disabled
    Press(m_driver, "Left", 1, left);
    m_driver.Key("Escape");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << m_driver.GetError();
    EXPECT_EQ(right, (std::vector<int>{IDC_MORE, IDC_APPLY}));
    EXPECT_EQ(left, std::vector<int>{IDC_MORE});
    EXPECT_EQ(std::count(m_log.begin(), m_log.end(), "child 1"), 0);  // focus only, no click
}

TEST_F(DialogKeyboard, EditsKeepTheirArrowsAndAListChoosesTheNextItem) {
    CTestDlg dialog(m_log);
    std::vector<int> focus;
    m_driver.Focus("Count");
    Press(m_driver, "Down", 1, focus);
    m_driver.Focus(IDC_UNIT);
    Press(m_driver, "Down", 3, focus);  // mm -> inc -> deg, and no further
    Press(m_driver, "Up", 1, focus);
    m_driver.Key("Escape");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << m_driver.GetError();
    EXPECT_EQ(focus, (std::vector<int>{IDC_COUNT, IDC_UNIT, IDC_UNIT, IDC_UNIT, IDC_UNIT}));
    const std::vector<std::string> expected = {"unit change 1", "unit selendok 1",
                                               "unit change 2", "unit selendok 2",
                                               "unit change 1", "unit selendok 1"};
    std::vector<std::string> units;
    std::copy_if(m_log.begin(), m_log.end(), std::back_inserter(units),
                 [](const std::string& event) { return event.starts_with("unit"); });
    EXPECT_EQ(units, expected);
}

}  // namespace
}  // namespace dialog_test
