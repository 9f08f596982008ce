#include "MC_EditMotionDlg.h"

#include "ArrayParameterHost.h"

CMC_EditMotionDlg::CMC_EditMotionDlg(CMC_Setup& /*setup*/, CMC_Motion& /*motion*/,
                                     CString& paramText, UINT templateId, CWnd* parent)
    : CDialog(templateId, parent), m_pParamText(&paramText), m_bValidating(0) {}

CMC_EditMotionDlg::~CMC_EditMotionDlg() = default;

BEGIN_MESSAGE_MAP(CMC_EditMotionDlg, CDialog)
END_MESSAGE_MAP()

CString CMC_EditMotionDlg::GetChildText(int id) {
    CString text;
    GetDlgItemText(id, text);
    return text;
}

void CMC_EditMotionDlg::SetChildText(int id, const char* text) { SetDlgItemText(id, text); }

int CMC_EditMotionDlg::GetChildCheck(int id) { return static_cast<int>(IsDlgButtonChecked(id)); }

void CMC_EditMotionDlg::SetChildCheck(int id, int check) {
    CheckDlgButton(id, check ? BST_CHECKED : BST_UNCHECKED);
}

void CMC_EditMotionDlg::EnableChild(int id, int enable) {
    if (CWnd* child = GetDlgItem(id)) child->EnableWindow(enable != 0);
}

int CMC_EditMotionDlg::IsChildEnabled(int id) {
    CWnd* child = GetDlgItem(id);
    return child && child->IsWindowEnabled() ? 1 : 0;
}

void CMC_EditMotionDlg::ShowParameter(CMC_ArrayParameter& parameter, int index, int editId,
                                      int comboId, int fillUnits, int showValue) {
    // Item i of the combo box is unit i of the parameter; ChangeParameterUnit relies on it.
    if (fillUnits) {
        SendDlgItemMessage(comboId, CB_RESETCONTENT);
        for (const CMC_Unit& unit : CArrayParameterHost::GetUnits(parameter)) {
            SendDlgItemMessage(comboId, CB_ADDSTRING, 0,
                               reinterpret_cast<LPARAM>(unit.name.c_str()));
        }
    }
    SendDlgItemMessage(comboId, CB_SETCURSEL,
                       static_cast<WPARAM>(CArrayParameterHost::GetSelectedUnitIndex(parameter)));
    if (showValue) {
        const bool held = index >= 0 && index < parameter.GetValuesCount();
        SetChildText(editId, held ? parameter.PrintValue(index) : CString());
    }
}

void CMC_EditMotionDlg::ChangeParameterUnit(CMC_ArrayParameter& parameter, int index, int editId,
                                            int comboId) {
    const auto chosen = static_cast<int>(SendDlgItemMessage(comboId, CB_GETCURSEL));
    CArrayParameterHost::SelectUnitIndex(
        parameter, chosen);  // no choice keeps the unit, and the combo box shows it
    ShowParameter(parameter, index, editId, comboId, 0, 1);
}

namespace {

bool IsOptionButton(const CWnd* control) {
    if (!control) return false;
    const DWORD kind = control->GetStyle() & BS_TYPEMASK;
    return kind == BS_AUTOCHECKBOX || kind == BS_AUTORADIOBUTTON;
}

}  // namespace

BOOL CMC_EditMotionDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == ID_DEFAULT_HELP && HIWORD(wParam) == BN_CLICKED) {
        // Modules bring no help files of their own, so the host answers for every editor.
        CString caption;
        GetWindowText(caption);
        CString help;
        help.Format(
            "%s: set the motion's values and press OK to keep them, or Cancel to leave "
            "the motion as it was.",
            caption.GetString());
        AfxMessageBox(help, MB_OK | MB_ICONINFORMATION, 0);
        return TRUE;
    }
    if (HIWORD(wParam) == BN_CLICKED && IsOptionButton(GetDlgItem(LOWORD(wParam)))) {
        // An option decides which other controls apply (a host address, the event buttons):
        // store the choice and show the dialog again, so that the enabling follows the click.
        UpdateData(TRUE);
        UpdateData(FALSE);
    }
    return CDialog::OnCommand(wParam, lParam);
}
