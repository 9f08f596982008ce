// A small dialog for the framework's tests: its template, a base dialog that stands in for a
// host's dialog base (its own OnCommand and map), and a derived dialog with a map of its own.
#pragma once

#include <afxdlgtemplate.h>
#include <afxheadlessdriver.h>
#include <afxwin.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace dialog_test {

constexpr UINT IDD_TEST = 100;
constexpr UINT IDD_CHILD = 101;
constexpr int IDC_VERBOSE = 201;  // auto check box "&Verbose"
constexpr int IDC_COUNT = 202;    // edit, labelled "Count"
constexpr int IDC_NAME = 203;     // edit, labelled "&Name"
constexpr int IDC_UNIT = 204;     // drop-down list, labelled "Unit"
constexpr int IDC_FAST = 211;     // auto radio "&Fast", starts a group
constexpr int IDC_SLOW = 212;     // auto radio "&Slow"
constexpr int IDC_LOG = 213;      // auto check box "&Log" inside the same group
constexpr int IDC_RED = 221;      // auto radio "&Red", starts the next group
constexpr int IDC_GREEN = 222;    // auto radio "&Green"
constexpr int IDC_APPLY = 230;    // push button "&Apply"
constexpr int IDC_LOCKED = 231;   // push button "Locked", disabled
constexpr int IDC_GRAPH = 232;    // static "Graph", for a window to take over
constexpr int IDC_NOTES = 233;    // multi-line, want-return edit
constexpr int IDC_MORE = 234;     // push button "&More...", opens the child dialog
constexpr int IDC_CHILD_TEXT = 301;
constexpr UINT WM_GRAPH_PICK = WM_USER + 0x65;

std::shared_ptr<DLGTEMPLATEDATA> MakeTestTemplate();
std::shared_ptr<DLGTEMPLATEDATA> MakeChildTemplate();

// What the dialogs saw, in order: "OnCommand 230/0", "base Apply", "OnOK", ...
using EventLog = std::vector<std::string>;

// Stands in for a host's dialog base: an OnCommand that runs before the maps, and a map of its own.
class CBaseTestDlg : public CDialog {
public:
    CBaseTestDlg(UINT templateId, EventLog& log) : CDialog(templateId), m_log(log) {}

    // TRUE makes OnCommand swallow IDC_APPLY before any map sees it.
    bool m_bSwallowApply = false;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnApplyBase();
    afx_msg void OnKillFocusCountBase();
    afx_msg void OnKillFocusNameBase();

    EventLog& m_log;

    DECLARE_MESSAGE_MAP()
};

class CTestDlg : public CBaseTestDlg {
public:
    explicit CTestDlg(EventLog& log) : CBaseTestDlg(IDD_TEST, log) {}

    int m_nCount = 5;
    CString m_strName = "first";
    // DoDataExchange checks the count against 1..255 when TRUE.
    bool m_bValidateCount = true;
    // DoDataExchange also exchanges with a control that the template lacks.
    bool m_bExchangeMissingControl = false;
    // What the child dialog opened by "&More..." returned.
    INT_PTR m_nChildResult = 0;
    CString m_strChildText;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    afx_msg void OnKillFocusCount();
    afx_msg void OnChangeName();
    afx_msg void OnUnitChange();
    afx_msg void OnUnitSelEndOk();
    afx_msg void OnVerbose();
    afx_msg void OnFast();
    afx_msg void OnMore();
    afx_msg LRESULT OnGraphPick(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};

// A dialog opened from a handler of the test dialog: one edit and OK/Cancel.
class CChildDlg : public CDialog {
public:
    explicit CChildDlg(CWnd* parent) : CDialog(IDD_CHILD, parent) {}
    CString m_strText;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_CHILD_TEXT, m_strText); }
};

// A window that takes the place of the "Graph" static and tells its parent about a pick.
class CPickWnd : public CWnd {
public:
    LRESULT Pick(int point) {
        return GetParent()->SendMessage(WM_GRAPH_PICK, 0, MAKELPARAM(0, static_cast<WORD>(point)));
    }
};

// The test dialogs' templates in the resource chain, and a headless driver set for the process.
class DialogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Texts of the message boxes shown so far.
    std::vector<std::string> MessageTexts() const;

    CResourceTable m_resources{"mfc-dialog-test"};
    CHeadlessDriver m_driver;
    EventLog m_log;
};

}  // namespace dialog_test
