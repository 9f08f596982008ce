#include "mfc_dialog_fixture.h"

#include "coded_dialog_template.h"

namespace dialog_test {
namespace {

using coded_dialog::Control;

std::string Id(WPARAM wParam) { return std::to_string(LOWORD(wParam)); }

}  // namespace

std::shared_ptr<DLGTEMPLATEDATA> MakeTestTemplate() {
    auto dialog = coded_dialog::ModalDialog("Test");
    dialog->items = {
        Control("BUTTON", IDC_VERBOSE, "&Verbose", BS_AUTOCHECKBOX | WS_TABSTOP),
        Control("STATIC", -1, "Count", SS_LEFT | WS_GROUP),
        Control("EDIT", IDC_COUNT, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP),
        Control("STATIC", -1, "&Name", SS_LEFT | WS_GROUP),
        Control("EDIT", IDC_NAME, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP),
        Control("STATIC", -1, "Unit", SS_LEFT | WS_GROUP),
        Control("combobox", IDC_UNIT, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP),
        Control("BUTTON", IDC_FAST, "&Fast", BS_AUTORADIOBUTTON | WS_GROUP),
        Control("BUTTON", IDC_SLOW, "&Slow", BS_AUTORADIOBUTTON),
        Control("BUTTON", IDC_LOG, "&Log", BS_AUTOCHECKBOX | WS_TABSTOP),
        Control("BUTTON", IDC_RED, "&Red", BS_AUTORADIOBUTTON | WS_GROUP),
        Control("BUTTON", IDC_GREEN, "&Green", BS_AUTORADIOBUTTON),
        Control("BUTTON", IDC_APPLY, "&Apply", BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP),
        Control("BUTTON", IDC_LOCKED, "Locked", BS_PUSHBUTTON | WS_DISABLED | WS_TABSTOP),
        Control("BUTTON", IDC_MORE, "&More...", BS_PUSHBUTTON | WS_TABSTOP),
        Control("STATIC", IDC_GRAPH, "Graph", SS_CENTER | WS_GROUP),
        Control("EDIT", IDC_NOTES, "", ES_MULTILINE | ES_WANTRETURN | WS_BORDER),
        Control("BUTTON", IDOK, "OK", BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP),
        Control("BUTTON", IDCANCEL, "Cancel", BS_PUSHBUTTON | WS_TABSTOP),
        Control("BUTTON", ID_HELP, "&Help", BS_PUSHBUTTON | WS_TABSTOP),
    };
    return dialog;
}

std::shared_ptr<DLGTEMPLATEDATA> MakeChildTemplate() {
    auto dialog = coded_dialog::ModalDialog("Child");
    dialog->items = {
        Control("EDIT", IDC_CHILD_TEXT, "", WS_BORDER | WS_TABSTOP),
        Control("BUTTON", IDOK, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP),
        Control("BUTTON", IDCANCEL, "Cancel", BS_PUSHBUTTON | WS_TABSTOP),
    };
    return dialog;
}

BEGIN_MESSAGE_MAP(CBaseTestDlg, CDialog)
ON_BN_CLICKED(IDC_APPLY, &CBaseTestDlg::OnApplyBase)
ON_EN_KILLFOCUS(IDC_COUNT, &CBaseTestDlg::OnKillFocusCountBase)
ON_EN_KILLFOCUS(IDC_NAME, &CBaseTestDlg::OnKillFocusNameBase)
END_MESSAGE_MAP()

BOOL CBaseTestDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED) m_log.push_back("OnCommand " + Id(wParam));
    if (m_bSwallowApply && LOWORD(wParam) == IDC_APPLY) return TRUE;
    return CDialog::OnCommand(wParam, lParam);
}

void CBaseTestDlg::OnApplyBase() { m_log.push_back("base Apply"); }
void CBaseTestDlg::OnKillFocusCountBase() { m_log.push_back("base KillFocus Count"); }
void CBaseTestDlg::OnKillFocusNameBase() { m_log.push_back("base KillFocus Name"); }

BEGIN_MESSAGE_MAP(CTestDlg, CBaseTestDlg)
ON_EN_KILLFOCUS(IDC_COUNT, &CTestDlg::OnKillFocusCount)
ON_EN_CHANGE(IDC_NAME, &CTestDlg::OnChangeName)
ON_CBN_SELCHANGE(IDC_UNIT, &CTestDlg::OnUnitChange)
ON_CBN_SELENDOK(IDC_UNIT, &CTestDlg::OnUnitSelEndOk)
ON_BN_CLICKED(IDC_VERBOSE, &CTestDlg::OnVerbose)
ON_BN_CLICKED(IDC_FAST, &CTestDlg::OnFast)
ON_BN_CLICKED(IDC_MORE, &CTestDlg::OnMore)
ON_MESSAGE(WM_GRAPH_PICK, &CTestDlg::OnGraphPick)
END_MESSAGE_MAP()

void CTestDlg::DoDataExchange(CDataExchange* pDX) {
    m_log.push_back(pDX->m_bSaveAndValidate ? "exchange save" : "exchange load");
    DDX_Text(pDX, IDC_COUNT, m_nCount);
    if (m_bValidateCount) DDV_MinMaxInt(pDX, m_nCount, 1, 255);
    DDX_Text(pDX, IDC_NAME, m_strName);
    if (m_bExchangeMissingControl) DDX_Text(pDX, 999, m_strName);
}

BOOL CTestDlg::OnInitDialog() {
    // The framework made a CComboBox for the template's combo box.
    auto* unit = static_cast<CComboBox*>(GetDlgItem(IDC_UNIT));
    unit->AddString("mm");
    unit->AddString("inc");
    unit->AddString("deg");
    unit->SetCurSel(0);
    CheckRadioButton(IDC_FAST, IDC_SLOW, IDC_FAST);
    CheckRadioButton(IDC_RED, IDC_GREEN, IDC_RED);
    m_log.push_back("OnInitDialog");
    return CBaseTestDlg::OnInitDialog();
}

void CTestDlg::OnOK() {
    CWnd* focus = GetFocus();
    m_log.push_back("OnOK focus=" + std::to_string(focus ? focus->GetDlgCtrlID() : 0));
    CBaseTestDlg::OnOK();
}

void CTestDlg::OnKillFocusCount() { m_log.push_back("derived KillFocus Count"); }
void CTestDlg::OnChangeName() { m_log.push_back("change Name"); }
void CTestDlg::OnUnitChange() {
    m_log.push_back("unit change " + std::to_string(SendDlgItemMessage(IDC_UNIT, CB_GETCURSEL)));
}
void CTestDlg::OnUnitSelEndOk() {
    m_log.push_back("unit selendok " + std::to_string(SendDlgItemMessage(IDC_UNIT, CB_GETCURSEL)));
}
void CTestDlg::OnVerbose() { m_log.push_back("Verbose"); }
void CTestDlg::OnFast() { m_log.push_back("Fast"); }

void CTestDlg::OnMore() {
    CChildDlg child(this);
    child.m_strText = "seed";
    m_nChildResult = child.DoModal();
    m_strChildText = child.m_strText;
    m_log.push_back("child " + std::to_string(m_nChildResult));
}

LRESULT CTestDlg::OnGraphPick(WPARAM, LPARAM lParam) {
    m_log.push_back("pick " + std::to_string(HIWORD(static_cast<WPARAM>(lParam))));
    return 42;
}

void DialogTest::SetUp() {
    m_resources.AddDialog(IDD_TEST, MakeTestTemplate());
    m_resources.AddDialog(IDD_CHILD, MakeChildTemplate());
    AfxJoinResourceChain(&m_resources);
    AfxSetDialogDriver(&m_driver);
}

void DialogTest::TearDown() {
    AfxSetDialogDriver(nullptr);
    AfxLeaveResourceChain(&m_resources);
}

std::vector<std::string> DialogTest::MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& message : m_driver.GetMessages()) texts.push_back(message.text.str());
    return texts;
}

}  // namespace dialog_test
