// The dialog as a whole: construction on the caller's text, its opening, the exchange between
// controls and record, OK, the event buttons and the unit selectors.
#include "editor/EditorDlg.h"

#include "editor/NumberScan.h"
#include "editor/resource.h"

CEditorDlg::CEditorDlg(CMC_Setup& setup, CMC_Motion& motion, CString& paramText, CWnd* parent)
    : CMC_EditMotionDlg(setup, motion, paramText, IDD_PT_EDITOR, parent),
      m_Data(setup, motion),
      m_nSelPoint(0),
      m_Graph(1, 0) {
    // The dialog opens on whatever can be read; faults surface at OK as a validation error.
    CString ignoredErrors;
    m_Data.ReadParameters(paramText, ignoredErrors);
    m_nSelPoint = 0;
    m_Data.MatchPointCounts();
}

CEditorDlg::~CEditorDlg() = default;

BEGIN_MESSAGE_MAP(CEditorDlg, CMC_EditMotionDlg)
ON_BN_CLICKED(IDC_PREV_POINT, &CEditorDlg::OnPrevPoint)
ON_BN_CLICKED(IDC_NEXT_POINT, &CEditorDlg::OnNextPoint)
ON_BN_CLICKED(IDC_REMOVE_POINT, &CEditorDlg::OnRemovePoint)
ON_BN_CLICKED(IDC_UPDATE_POINT, &CEditorDlg::OnUpdatePoint)
ON_BN_CLICKED(IDC_INSERT_POINT, &CEditorDlg::OnInsertPoint)
ON_BN_CLICKED(IDC_IMPORT_FROM_FILE, &CEditorDlg::OnImportFromFile)
ON_EN_KILLFOCUS(IDC_POSITION_VALUE, &CEditorDlg::OnKillFocusValue)
ON_EN_KILLFOCUS(IDC_TIME_VALUE, &CEditorDlg::OnKillFocusValue)
ON_CBN_SELENDOK(IDC_POSITION_UNIT, &CEditorDlg::OnPositionUnit)
ON_CBN_SELENDOK(IDC_TIME_UNIT, &CEditorDlg::OnTimeUnit)
ON_BN_CLICKED(IDC_CHANGE_EVENT, &CEditorDlg::OnChangeEvent)
ON_BN_CLICKED(IDC_EDIT_EVENT, &CEditorDlg::OnEditEvent)
ON_MESSAGE(WM_GRAPH_POINT, &CEditorDlg::OnGraphSelect)
END_MESSAGE_MAP()

BOOL CEditorDlg::OnInitDialog() {
    m_nSelPoint = 0;
    SetUpGraph();
    CDialog::OnInitDialog();
    FocusPositionEdit();
    AttachGraph();
    return TRUE;
}

void CEditorDlg::DoDataExchange(CDataExchange* pDX) {
    if (!pDX->m_bSaveAndValidate) {
        SetChildCheck(IDC_HOST_ADDRESS_CHECK, m_Data.m_bSetHostAddress);
        EnableChild(IDC_HOST_ADDRESS, m_Data.m_bSetHostAddress);
        CString address;
        if (m_Data.m_bSetHostAddress) address.Format("%d", m_Data.m_nHostAddress);
        SetChildText(IDC_HOST_ADDRESS, address);
        SetChildCheck(IDC_CLEAR_BUFFER, m_Data.m_nClearBuffer);

        ShowParameter(m_Data.m_Position, m_nSelPoint, IDC_POSITION_VALUE, IDC_POSITION_UNIT, 1, 1);
        ShowParameter(m_Data.m_Time, m_nSelPoint, IDC_TIME_VALUE, IDC_TIME_UNIT, 1, 1);
        // Point 0 is the fixed start point: it can be neither left behind nor removed.
        const int count = m_Data.m_Time.GetValuesCount();
        EnableChild(IDC_PREV_POINT, m_nSelPoint > 0);
        EnableChild(IDC_NEXT_POINT, m_nSelPoint < count - 1);
        EnableChild(IDC_REMOVE_POINT, m_nSelPoint > 0);

        SetChildCheck(IDC_START_FROM_REFERENCE, m_Data.m_nStartPoint == 0);
        SetChildCheck(IDC_START_FROM_ACTUAL, m_Data.m_nStartPoint == 1);
        CheckRadioButton(IDC_EXECUTE_IMMEDIATE, IDC_EXECUTE_ON_EVENT,
                         IDC_EXECUTE_IMMEDIATE + m_Data.m_nExecute);
        const bool immediate = m_Data.m_nExecute == 0;
        const bool onEvent = m_Data.m_nExecute == 1;
        EnableChild(IDC_WAIT_FOR_COMPLETION, immediate);
        SetChildCheck(IDC_WAIT_FOR_COMPLETION, immediate && m_Data.m_nWaitForCompletion);
        EnableChild(IDC_CHANGE_EVENT, onEvent);
        EnableChild(IDC_EDIT_EVENT, onEvent && m_Data.m_Event.IsEditable());
        SetChildText(IDC_EVENT_DESCRIPTION, onEvent ? m_Data.m_Event.GetDescription(0) : CString());
        return;
    }

    if (IsChildEnabled(IDC_HOST_ADDRESS_CHECK)) {
        m_Data.m_bSetHostAddress = GetChildCheck(IDC_HOST_ADDRESS_CHECK);
    }
    if (IsChildEnabled(IDC_HOST_ADDRESS)) {
        pDX->PrepareEditCtrl(IDC_HOST_ADDRESS);
        int address = 0;
        if (!ScanInt(GetChildText(IDC_HOST_ADDRESS), address)) address = 0;
        // Only OK checks the range; the event buttons store what is there and OK refuses it.
        if (m_bValidating) DDV_MinMaxInt(pDX, address, 1, 255);
        m_Data.m_nHostAddress = address;
    }
    m_Data.m_nClearBuffer = GetChildCheck(IDC_CLEAR_BUFFER);
    if (GetChildCheck(IDC_START_FROM_REFERENCE)) {
        m_Data.m_nStartPoint = 0;
    } else if (GetChildCheck(IDC_START_FROM_ACTUAL)) {
        m_Data.m_nStartPoint = 1;
    }
    if (GetChildCheck(IDC_EXECUTE_IMMEDIATE)) {
        m_Data.m_nExecute = 0;
        // The box is disabled while executing on event; switching back means "wait".
        m_Data.m_nWaitForCompletion =
            IsChildEnabled(IDC_WAIT_FOR_COMPLETION) ? GetChildCheck(IDC_WAIT_FOR_COMPLETION) : 1;
    } else if (GetChildCheck(IDC_EXECUTE_ON_EVENT)) {
        m_Data.m_nExecute = 1;
    }
}

void CEditorDlg::OnOK() {
    // Enter walks from the position to the time and then enters the point.
    if (CWnd* focus = GetFocus()) {
        const int id = focus->GetDlgCtrlID();
        if (id == IDC_POSITION_VALUE) {
            FocusTimeEdit();
            return;
        }
        if (id == IDC_TIME_VALUE) {
            OnInsertPoint();
            return;
        }
    }
    m_bValidating = 1;
    if (UpdateData(TRUE)) {
        const CString error = m_Data.ValidatePoints(m_nSelPoint);
        if (error.IsEmpty()) {
            EndDialog(IDOK);
            m_pParamText->Empty();
            GetInternalData()->WriteParameters(*m_pParamText);
        } else {
            AfxMessageBox(error, MB_OK, 0);
            RefreshGraph();
        }
    }
    m_bValidating = 0;
}

void CEditorDlg::OnEditEvent() {
    UpdateData(TRUE);
    if (m_Data.m_Event.Edit()) UpdateData(FALSE);
}

void CEditorDlg::OnChangeEvent() {
    UpdateData(TRUE);
    if (m_Data.m_Event.ChangeType(0)) UpdateData(FALSE);
}

void CEditorDlg::OnPositionUnit() {
    ChangeParameterUnit(m_Data.m_Position, m_nSelPoint, IDC_POSITION_VALUE, IDC_POSITION_UNIT);
    RefreshGraph();
}

void CEditorDlg::OnTimeUnit() {
    ChangeParameterUnit(m_Data.m_Time, m_nSelPoint, IDC_TIME_VALUE, IDC_TIME_UNIT);
    RefreshGraph();
}

// Leaving a value edit commits nothing: values enter the table only through the point buttons.
void CEditorDlg::OnKillFocusValue() {}
