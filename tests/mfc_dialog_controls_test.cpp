// Controls behave as Windows controls do: focus, check boxes and radio groups, keys, edits and
// combo boxes, disabled and hidden controls, and the dialog's life around DoModal.
#include <algorithm>

#include "mfc_dialog_fixture.h"

namespace dialog_test {
namespace {

using DialogControls = DialogTest;

CString TextOf(CWnd& dialog, int id) {
    CString text;
    dialog.GetDlgItemText(id, text);
    return text;
}

std::pair<int, int> SelectionOf(CWnd& dialog, int id) {
    int start = -1, end = -1;
    static_cast<CEdit*>(dialog.GetDlgItem(id))->GetSel(start, end);
    return {start, end};
}

int FocusId() { return CWnd::GetFocus() ? CWnd::GetFocus()->GetDlgCtrlID() : 0; }

long Count(const EventLog& log, const std::string& event) {
    return std::count(log.begin(), log.end(), event);
}

TEST_F(DialogControls, InitialisedDialogShowsTheMembersWithTheFocusOnTheFirstTabStop) {
    CTestDlg dialog(m_log);
    m_driver
        .Inspect([&](CDialog& shown) {
            EXPECT_EQ(FocusId(), IDC_VERBOSE);
            EXPECT_EQ(TextOf(shown, IDC_COUNT), "5");
            EXPECT_EQ(TextOf(shown, IDC_NAME), "first");
            EXPECT_EQ(TextOf(shown, IDC_UNIT), "mm");
            EXPECT_EQ(shown.IsDlgButtonChecked(IDC_FAST), BST_CHECKED);
            EXPECT_EQ(shown.IsDlgButtonChecked(IDC_SLOW), BST_UNCHECKED);
            EXPECT_TRUE(shown.IsWindowVisible());
            EXPECT_TRUE(shown.GetDlgItem(IDC_COUNT)->IsWindowVisible());
            EXPECT_FALSE(shown.GetDlgItem(IDC_LOCKED)->IsWindowEnabled());
            // No application here handles ID_HELP, so the framework hides the Help button.
            EXPECT_FALSE(shown.GetDlgItem(ID_HELP)->IsWindowVisible());
            // Items keep their template order, which is the tab order.
            EXPECT_EQ(shown.GetWindow(GW_CHILD)->GetDlgCtrlID(), IDC_VERBOSE);
            EXPECT_EQ(shown.GetDlgItem(IDC_GRAPH)->GetWindow(GW_HWNDNEXT)->GetDlgCtrlID(),
                      IDC_NOTES);
        })
        .Key("Escape");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << m_driver.GetError();
    EXPECT_EQ(Count(m_log, "exchange load"), 1);
}

TEST_F(DialogControls, AutoRadioButtonClearsOnlyTheOtherRadioButtonsOfItsGroup) {
    CTestDlg dialog(m_log);
    m_driver.Click("&Log")
        .Click("&Slow")
        .Inspect([&](CDialog& shown) {
            EXPECT_EQ(shown.IsDlgButtonChecked(IDC_SLOW), BST_CHECKED);
            EXPECT_EQ(shown.IsDlgButtonChecked(IDC_FAST), BST_UNCHECKED);
            EXPECT_EQ(shown.IsDlgButtonChecked(IDC_LOG), BST_CHECKED);  // same group, no radio
            EXPECT_EQ(shown.IsDlgButtonChecked(IDC_RED), BST_CHECKED);  // the next group
        })
        .Click("Green")
        .Click("Fast")
        .Inspect([&](CDialog& shown) {
            EXPECT_EQ(shown.IsDlgButtonChecked(IDC_GREEN), BST_CHECKED);
            EXPECT_EQ(shown.IsDlgButtonChecked(IDC_RED), BST_UNCHECKED);
            EXPECT_EQ(shown.IsDlgButtonChecked(IDC_FAST), BST_CHECKED);
            EXPECT_EQ(shown.IsDlgButtonChecked(IDC_SLOW), BST_UNCHECKED);
            // CheckRadioButton sets the range without notifying anyone.
            shown.CheckRadioButton(IDC_FAST, IDC_SLOW, IDC_SLOW);
            EXPECT_EQ(shown.IsDlgButtonChecked(IDC_FAST), BST_UNCHECKED);
        })
        .Key("Escape");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << m_driver.GetError();
    EXPECT_EQ(Count(m_log, "Fast"), 1);
}

TEST_F(DialogControls, CheckBoxTogglesAndCheckClicksOnlyWhenNeeded) {
    CTestDlg dialog(m_log);
    m_driver.Click("&Verbose")
        .Check("Verbose")
        .Inspect([&](CDialog& shown) {
            EXPECT_EQ(shown.IsDlgButtonChecked(IDC_VERBOSE), BST_CHECKED);
            EXPECT_EQ(Count(m_log, "Verbose"), 1);
        })
        .Uncheck(IDC_VERBOSE)
        .Inspect([&](CDialog& shown) {
            EXPECT_EQ(shown.IsDlgButtonChecked(IDC_VERBOSE), BST_UNCHECKED);
            EXPECT_EQ(Count(m_log, "Verbose"), 2);
        })
        .Uncheck("Fast");
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(m_driver.GetError(),
              "script:6: radio button 211 \"&Fast\" is cleared by checking another of its group");
}

TEST_F(DialogControls, EnterRunsOnOkEvenWhenAnEditHasTheFocus) {
    CTestDlg dialog(m_log);
    m_driver.Type("Count", "7").Key("Enter");
    EXPECT_EQ(dialog.DoModal(), IDOK) << m_driver.GetError();
    EXPECT_EQ(dialog.m_nCount, 7);
    EXPECT_EQ(Count(m_log, "OnOK focus=202"), 1);
}

TEST_F(DialogControls, EnterGoesToAFocusedPushButtonOrStaysInAWantReturnEdit) {
    CTestDlg dialog(m_log);
    m_driver.Focus("&Apply")
        .Key("Enter")
        .Focus(IDC_NOTES)
        .Key("Enter")
        .Inspect([&](CDialog& shown) {
            EXPECT_EQ(Count(m_log, "base Apply"), 1);
            EXPECT_EQ(TextOf(shown, IDC_NOTES), "\r\n");
        })
        .Key("Escape");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << m_driver.GetError();
}

TEST_F(DialogControls, EscapeAndTheCloseBoxCancelWithoutSaving) {
    for (const char* how : {"Escape", "close"}) {
        SCOPED_TRACE(how);
        m_driver.Type("Count", "9");
        if (how == std::string("close"))
            m_driver.Close();
        else
            m_driver.Key(how);
        CTestDlg dialog(m_log);
        EXPECT_EQ(dialog.DoModal(), IDCANCEL) << m_driver.GetError();
        EXPECT_EQ(dialog.m_nCount, 5);
    }
    EXPECT_EQ(Count(m_log, "exchange save"), 0);
}

TEST_F(DialogControls, FocusSelectsAnEditsTextAndEmSetSelMovesTheSelection) {
    CTestDlg dialog(m_log);
    m_driver.Focus("&Name")
        .Inspect([&](CDialog& shown) {
            EXPECT_EQ(FocusId(), IDC_NAME);
            EXPECT_EQ(SelectionOf(shown, IDC_NAME), std::make_pair(0, 5));
            CWnd* name = shown.GetDlgItem(IDC_NAME);
            name->SendMessage(EM_SETSEL, 1, 3);
            EXPECT_EQ(SelectionOf(shown, IDC_NAME), std::make_pair(1, 3));
            name->SendMessage(EM_SETSEL, 4, 2);  // reversed
            EXPECT_EQ(SelectionOf(shown, IDC_NAME), std::make_pair(2, 4));
            name->SendMessage(EM_SETSEL, 0, -1);
            EXPECT_EQ(SelectionOf(shown, IDC_NAME), std::make_pair(0, 5));
            EXPECT_EQ(name->SendMessage(EM_SCROLLCARET), TRUE);
            // Focus from code: the count edit, then the name again.
            EXPECT_EQ(shown.GetDlgItem(IDC_COUNT)->SetFocus(), name);
            EXPECT_EQ(FocusId(), IDC_COUNT);
        })
        .Type("&Name", "abc")
        .Inspect([&](CDialog& shown) {
            EXPECT_EQ(TextOf(shown, IDC_NAME), "abc");
            EXPECT_EQ(SelectionOf(shown, IDC_NAME), std::make_pair(3, 3));  // caret at the end
        })
        .Key("Escape");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << m_driver.GetError();
    // Leaving the count edit for the name edit told the dialog.
    EXPECT_EQ(Count(m_log, "derived KillFocus Count"), 1);
}

TEST_F(DialogControls, DisabledOrHiddenControlsTakeNoInput) {
    struct Case {
        const char* what;
        std::function<void(CHeadlessDriver&)> act;
        const char* error;
    };
    const Case cases[] = {
        {"template-disabled button", [](CHeadlessDriver& d) { d.Click("Locked"); },
         "script:1: control 231 \"Locked\" is disabled"},
        {"button hidden by the framework", [](CHeadlessDriver& d) { d.Click("Help"); },
         "script:1: control 57670 \"&Help\" is hidden"},
        {"edit disabled by code",
         [](CHeadlessDriver& d) {
             d.Inspect([](CDialog& shown) {
                  shown.GetDlgItem(IDC_COUNT)->EnableWindow(FALSE);
              }).Type("Count", "3");
         },
         "script:2: control 202 (EDIT) is disabled"},
        {"check box disabled by code",
         [](CHeadlessDriver& d) {
             d.Inspect([](CDialog& shown) {
                  shown.GetDlgItem(IDC_VERBOSE)->EnableWindow(FALSE);
              }).Check("Verbose");
         },
         "script:2: control 201 \"&Verbose\" is disabled"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CHeadlessDriver driver;
        AfxSetDialogDriver(&driver);
        c.act(driver);
        CTestDlg dialog(m_log);
        EXPECT_EQ(dialog.DoModal(), -1);
        EXPECT_EQ(driver.GetError(), c.error);
        EXPECT_EQ(dialog.m_nCount, 5);
    }
    AfxSetDialogDriver(&m_driver);
    EXPECT_EQ(Count(m_log, "Verbose"), 0);
}

TEST_F(DialogControls, DisablingTheFocusedControlTakesTheFocusAway) {
    CTestDlg dialog(m_log);
    m_driver.Focus("Count")
        .Inspect([&](CDialog& shown) {
            shown.GetDlgItem(IDC_COUNT)->EnableWindow(FALSE);
            EXPECT_EQ(CWnd::GetFocus(), nullptr);
            EXPECT_EQ(Count(m_log, "derived KillFocus Count"), 1);
        })
        .Key("Escape");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << m_driver.GetError();
}

TEST_F(DialogControls, ComboBoxSelectionNotifiesSelChangeThenSelEndOk) {
    CTestDlg dialog(m_log);
    m_driver.Select("Unit", "DEG")
        .Inspect([&](CDialog& shown) {
            auto* unit = static_cast<CComboBox*>(shown.GetDlgItem(IDC_UNIT));
            EXPECT_EQ(unit->GetCurSel(), 2);
            EXPECT_EQ(TextOf(shown, IDC_UNIT), "deg");
            EXPECT_EQ(FocusId(), IDC_UNIT);
            EXPECT_EQ(unit->SetCurSel(7), CB_ERR);
            EXPECT_EQ(unit->GetCurSel(), -1);
            unit->ResetContent();
            EXPECT_EQ(unit->AddString("rev"), 0);
            EXPECT_EQ(unit->FindStringExact(-1, "REV"), 0);
        })
        .Select(IDC_UNIT, "deg");
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(m_driver.GetError(),
              "script:3: control 204 (COMBOBOX) has no item \"deg\"; its items: \"rev\"");
    const EventLog unitEvents = [&] {
        EventLog kept;
        std::copy_if(m_log.begin(), m_log.end(), std::back_inserter(kept),
                     [](const std::string& e) { return e.rfind("unit ", 0) == 0; });
        return kept;
    }();
    EXPECT_EQ(unitEvents, (EventLog{"unit change 2", "unit selendok 2"}));
}

TEST_F(DialogControls, ControlsLiveExactlyAsLongAsTheModalLoop) {
    CTestDlg dialog(m_log);
    CWnd* count = nullptr;
    m_driver.Focus("Count")
        .Inspect([&](CDialog& shown) {
            count = shown.GetDlgItem(IDC_COUNT);
            EXPECT_EQ(shown.GetDlgItem(IDC_COUNT), count);
            EXPECT_EQ(CWnd::FromHandle(count->GetSafeHwnd()), count);
            EXPECT_NE(dynamic_cast<CEdit*>(count), nullptr);
        })
        .Click("&Apply")
        .Inspect([&](CDialog& shown) { EXPECT_EQ(shown.GetDlgItem(IDC_COUNT), count); })
        .Key("Escape");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << m_driver.GetError();
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
    EXPECT_EQ(dialog.GetDlgItem(IDC_COUNT), nullptr);
    EXPECT_EQ(CWnd::GetFocus(), nullptr);
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError();
}

TEST_F(DialogControls, DoModalFailsWithoutTemplateOrDriver) {
    CDialog missing(999);
    EXPECT_EQ(missing.DoModal(), -1);
    AfxSetDialogDriver(nullptr);
    CTestDlg dialog(m_log);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_TRUE(m_log.empty());
}

}  // namespace
}  // namespace dialog_test
