#include "kinecore_dialog_fixture.h"

#include <ArrayParameterHost.h>
#include <GraphScriptVerbs.h>
#include <afxdlgtemplate.h>

#include "coded_dialog_template.h"

namespace kernel_test {
namespace {

using coded_dialog::Control;

std::shared_ptr<DLGTEMPLATEDATA> MakeEditorTemplate() {
    auto dialog = coded_dialog::ModalDialog("Motion - Test");
    dialog->items = {
        Control("STATIC", -1, "Position", SS_RIGHT | WS_GROUP),
        Control("EDIT", IDC_POSITION, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP),
        Control("STATIC", -1, "Unit", SS_RIGHT | WS_GROUP),
        Control("COMBOBOX", IDC_UNIT, "", CBS_DROPDOWNLIST | WS_TABSTOP),
        Control("BUTTON", IDC_WAIT, "&Wait", BS_AUTOCHECKBOX | WS_TABSTOP),
        Control("BUTTON", IDC_APPLY, "&Apply", BS_PUSHBUTTON | WS_TABSTOP),
        Control("STATIC", IDC_GRAPH, "Graph", SS_CENTER | WS_GROUP),
        Control("BUTTON", IDC_EVENT, "&Event...", BS_PUSHBUTTON | WS_TABSTOP),
        Control("BUTTON", IDOK, "OK", BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP),
        Control("BUTTON", IDCANCEL, "Cancel", BS_PUSHBUTTON | WS_TABSTOP),
        Control("BUTTON", ID_DEFAULT_HELP, "Help", BS_PUSHBUTTON | WS_TABSTOP),
    };
    return dialog;
}

}  // namespace

CTestEditorDlg::CTestEditorDlg(CDriveSetup& setup, CMC_Motion& motion, CString& paramText,
                               EventLog& log)
    : CMC_EditMotionDlg(setup, motion, paramText, IDD_TEST_EDITOR, nullptr),
      m_record(setup, motion),
      m_position(setup),
      m_event(setup, motion),
      m_log(log) {
    CArrayParameterHost::BindToKey(m_position, "TPOS");
    for (double iu : {0.0, 1000.0, -500.0}) {
        CArrayParameterHost::InsertValueInInternalUnitAt(m_position, m_position.GetValuesCount(),
                                                         iu);
    }
    m_curves.Add(new CCurve);
    m_curves.Add(new CCurve);
    m_curves.GetAt(0)->m_strTitle = "Time";
    m_filter.Add(new CXYCurve);
    m_filter.m_pCurves = &m_curves;
    m_filter.m_strTitle = "Position";
}

BEGIN_MESSAGE_MAP(CTestEditorDlg, CMC_EditMotionDlg)
ON_CBN_SELENDOK(IDC_UNIT, &CTestEditorDlg::OnUnit)
ON_BN_CLICKED(IDC_APPLY, &CTestEditorDlg::OnApply)
ON_BN_CLICKED(ID_DEFAULT_HELP, &CTestEditorDlg::OnModuleHelp)
ON_BN_CLICKED(IDC_EVENT, &CTestEditorDlg::OnEvent)
ON_MESSAGE(WM_GRAPH_POINT, &CTestEditorDlg::OnGraphPoint)
END_MESSAGE_MAP()

BOOL CTestEditorDlg::OnInitDialog() {
    const BOOL result = CMC_EditMotionDlg::OnInitDialog();
    ShowParameter(m_position, 1, IDC_POSITION, IDC_UNIT, 1, 1);
    if (m_bWithGraph) m_graph.SubclassDlgItem(IDC_GRAPH, this, &m_filter);
    return result;
}

void CTestEditorDlg::OnUnit() {
    m_log.push_back("unit");
    ChangeParameterUnit(m_position, 1, IDC_POSITION, IDC_UNIT);
}

// Logs the point with the coordinates that the arrays hold when the dialog hears of it.
LRESULT CTestEditorDlg::OnGraphPoint(WPARAM, LPARAM lParam) {
    const int point = HIWORD(static_cast<std::uintptr_t>(lParam));
    std::string entry = "graph " + std::to_string(LOWORD(static_cast<std::uintptr_t>(lParam))) +
                        "/" + std::to_string(point);
    if (point < m_curves.GetAt(0)->GetSize()) {
        entry += " at " + std::to_string(m_curves.GetAt(0)->GetAt(point)) + "," +
                 std::to_string(m_curves.GetAt(1)->GetAt(point));
    }
    m_log.push_back(entry);
    return 0;
}

void KernelDialogTest::SetUp() {
    m_resources.AddDialog(IDD_TEST_EDITOR, MakeEditorTemplate());
    AfxJoinResourceChain(&m_resources);
    AfxSetDialogDriver(&m_driver);
    RegisterGraphScriptVerbs(m_driver);
}

void KernelDialogTest::TearDown() {
    AfxSetDialogDriver(nullptr);
    AfxLeaveResourceChain(&m_resources);
}

void KernelDialogTest::Script(const char* text) {
    CString error;
    ASSERT_TRUE(m_driver.LoadScriptText(text, "test.txt", error)) << error.GetString();
}

void FillCurves(CTestEditorDlg& editor, const std::vector<double>& times,
                const std::vector<double>& positions) {
    for (int curve : {0, 1}) {
        const std::vector<double>& values = curve == 0 ? times : positions;
        CCurve* array = editor.m_curves.GetAt(curve);
        array->SetSize(static_cast<int>(values.size()));
        for (size_t i = 0; i < values.size(); ++i) array->SetAt(static_cast<int>(i), values[i]);
    }
}

}  // namespace kernel_test
