// The framework's dialogs on the Windows dialog manager, under Wine on a virtual display: the
// editor's template created by the system, a script's input sent as real messages, and the
// framework's windows following the real ones both ways.
#include <afxdc.h>
#include <afxheadlessdriver.h>
#include <afxrestable.h>
#include <afxwin32dialogs.h>
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "afxwin32system.h"
#include "editor/resource.h"

const CResourceTable& TravexResourceTable();

namespace {

// The editor's template with plain controls; every notification that reaches the dialog's code
// is recorded, and the graph's place paints a frame through the drawing surface.
class CPaintedControl : public CWnd {
public:
    int paints = 0;
    CRect bounds;

protected:
    void OnDraw(CDC* pDC) override {
        ++paints;
        GetClientRect(&bounds);
        pDC->FillSolidRect(0, 0, 10, 10, RGB(255, 0, 0));
    }
};

class CRecordingDialog : public CDialog {
public:
    CRecordingDialog() : CDialog(IDD_PT_EDITOR) {}
    std::vector<std::pair<int, int>> notifications;  // id, code
    CPaintedControl graph;

    BOOL OnInitDialog() override {
        graph.SubclassDlgItem(IDC_GRAPH, this);
        return CDialog::OnInitDialog();
    }
    bool Notified(int id, int code) const {
        for (const auto& notification : notifications) {
            if (notification.first == id && notification.second == code) return true;
        }
        return false;
    }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        notifications.emplace_back(LOWORD(wParam), HIWORD(wParam));
        return CDialog::OnCommand(wParam, lParam);
    }
};

class WindowsDialogManager : public ::testing::Test {
protected:
    void SetUp() override {
        AfxSetDialogDriver(&driver);
        driver.SetInput(&dialogs);
    }
    void TearDown() override { AfxSetDialogDriver(nullptr); }

    // Plays the actions queued on `driver` on the editor's template; the dialog's result.
    INT_PTR Play() {
        const INT_PTR result = dialog.DoModal();
        EXPECT_TRUE(driver.Finish()) << driver.GetError().GetString();
        return result;
    }
    std::string SystemText(CDialog& shown, int id) {
        return afxwin32::GetText(dialogs.GetSystemControl(*shown.GetDlgItem(id)));
    }
    void* SystemControl(CDialog& shown, int id) {
        return dialogs.GetSystemControl(*shown.GetDlgItem(id));
    }

    CModuleResources resources{TravexResourceTable()};
    CWin32Dialogs dialogs;
    CHeadlessDriver driver;
    CRecordingDialog dialog;
};

TEST_F(WindowsDialogManager, TheDialogIsTheSystemsWithItsControlsAndPaintsItsCustomControl) {
    driver.Inspect([&](CDialog& shown) {
        void* window = dialogs.GetSystemWindow(shown);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(afxwin32::GetText(window), "Motion - PT");
        EXPECT_EQ(afxwin32::ClassOf(SystemControl(shown, IDC_POSITION_VALUE)), "Edit");
        EXPECT_EQ(afxwin32::ClassOf(SystemControl(shown, IDC_POSITION_UNIT)), "ComboBox");
        EXPECT_EQ(SystemText(shown, IDC_INSERT_POINT), "&Insert");
        // Painted through GDI at the size the system gave the control.
        EXPECT_GT(dialog.graph.paints, 0);
        EXPECT_GT(dialog.graph.bounds.Width(), 200);
    });
    driver.Close();
    EXPECT_EQ(Play(), IDCANCEL);
}

TEST_F(WindowsDialogManager, TypingAndClickingReachTheDialogAsTheSystemNotifiesThem) {
    driver.Type(IDC_POSITION_VALUE, "2000").Click(IDC_CLEAR_BUFFER).Inspect([&](CDialog& shown) {
        CString text;
        shown.GetDlgItemText(IDC_POSITION_VALUE, text);
        EXPECT_STREQ(text.GetString(), "2000");
        EXPECT_EQ(SystemText(shown, IDC_POSITION_VALUE), "2000");
        EXPECT_TRUE(dialog.Notified(IDC_POSITION_VALUE, EN_CHANGE));
        // The edit lost the focus to the check box, which the framework was told of.
        EXPECT_TRUE(dialog.Notified(IDC_POSITION_VALUE, EN_KILLFOCUS));
        EXPECT_TRUE(dialog.Notified(IDC_CLEAR_BUFFER, BN_CLICKED));
        EXPECT_EQ(shown.IsDlgButtonChecked(IDC_CLEAR_BUFFER), BST_CHECKED);
        EXPECT_EQ(afxwin32::GetCheck(SystemControl(shown, IDC_CLEAR_BUFFER)), BST_CHECKED);
        EXPECT_EQ(CWnd::GetFocus(), shown.GetDlgItem(IDC_CLEAR_BUFFER));
    });
    driver.Key("Escape");
    EXPECT_EQ(Play(), IDCANCEL);
}

TEST_F(WindowsDialogManager, WhatTheCodeSetsShowsOnTheSystemsControls) {
    driver
        .Inspect([&](CDialog& shown) {
            shown.SetDlgItemText(IDC_TIME_VALUE, "7");
            shown.GetDlgItem(IDC_HOST_ADDRESS)->EnableWindow(FALSE);
            shown.GetDlgItem(IDC_RELATIVE_NOTE)->ShowWindow(SW_HIDE);
            auto* units = static_cast<CComboBox*>(shown.GetDlgItem(IDC_TIME_UNIT));
            units->AddString("ms");
            units->AddString("s");
            units->SetCurSel(1);
            shown.CheckRadioButton(IDC_EXECUTE_IMMEDIATE, IDC_EXECUTE_ON_EVENT,
                                   IDC_EXECUTE_ON_EVENT);
        })
        .Inspect([&](CDialog& shown) {
            EXPECT_EQ(SystemText(shown, IDC_TIME_VALUE), "7");
            EXPECT_FALSE(afxwin32::IsEnabled(SystemControl(shown, IDC_HOST_ADDRESS)));
            EXPECT_FALSE(afxwin32::IsVisible(SystemControl(shown, IDC_RELATIVE_NOTE)));
            void* units = SystemControl(shown, IDC_TIME_UNIT);
            EXPECT_EQ(afxwin32::GetItems(units), (std::vector<std::string>{"ms", "s"}));
            EXPECT_EQ(afxwin32::GetCurSel(units), 1);
            EXPECT_EQ(afxwin32::GetCheck(SystemControl(shown, IDC_EXECUTE_ON_EVENT)), BST_CHECKED);
        })
        .Select(IDC_TIME_UNIT, "ms")
        .Inspect([&](CDialog& shown) {
            EXPECT_EQ(static_cast<CComboBox*>(shown.GetDlgItem(IDC_TIME_UNIT))->GetCurSel(), 0);
            EXPECT_TRUE(dialog.Notified(IDC_TIME_UNIT, CBN_SELENDOK));
        })
        .Key("Enter");  // the default button, OK
    EXPECT_EQ(Play(), IDOK);
}

TEST_F(WindowsDialogManager, TabAndArrowsFollowTheSystemsRules) {
    driver.Focus(IDC_POSITION_VALUE)
        .Key("Tab")
        .Inspect([&](CDialog& shown) {
            EXPECT_EQ(CWnd::GetFocus(), shown.GetDlgItem(IDC_POSITION_UNIT));
            EXPECT_EQ(afxwin32::GetFocus(), SystemControl(shown, IDC_POSITION_UNIT));
        })
        .Key("Shift+Tab")
        .Inspect([&](CDialog& shown) {
            EXPECT_EQ(CWnd::GetFocus(), shown.GetDlgItem(IDC_POSITION_VALUE));
        })
        .Click("Immediate")
        .Key("Down")  // the next automatic radio button of the group is checked
        .Inspect([&](CDialog& shown) {
            EXPECT_EQ(CWnd::GetFocus(), shown.GetDlgItem(IDC_EXECUTE_ON_EVENT));
            EXPECT_EQ(shown.IsDlgButtonChecked(IDC_EXECUTE_ON_EVENT), BST_CHECKED);
            EXPECT_EQ(shown.IsDlgButtonChecked(IDC_EXECUTE_IMMEDIATE), BST_UNCHECKED);
            EXPECT_TRUE(dialog.Notified(IDC_EXECUTE_ON_EVENT, BN_CLICKED));
        })
        .Close();
    EXPECT_EQ(Play(), IDCANCEL);
}

}  // namespace
