#include "afxdlgdriver.h"
#include "afxdlgtemplate.h"
#include "afxhwnd.h"

namespace afximpl {

LRESULT DialogWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_CLOSE) return DefaultWindowProc(hWnd, message, wParam, lParam);
    // The close box stands for Cancel, unless a disabled Cancel button says otherwise.
    HWND cancel = nullptr;
    for (HWND child : hWnd->children) {
        if (child->id == IDCANCEL) cancel = child;
    }
    if (cancel && (cancel->style & WS_DISABLED)) return 0;
    ::SendMessage(hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                  reinterpret_cast<LPARAM>(cancel));
    return 0;
}

}  // namespace afximpl

namespace {

RECT MapDialogUnits(HWND dialog, short x, short y, short cx, short cy) {
    const int bx = dialog->baseUnitX;
    const int by = dialog->baseUnitY;
    // Windows rounds each edge on its own: MulDiv(x, base, 4).
    auto mapX = [bx](int units) { return (units * bx + (units >= 0 ? 2 : -2)) / 4; };
    auto mapY = [by](int units) { return (units * by + (units >= 0 ? 4 : -4)) / 8; };
    return RECT{mapX(x), mapY(y), mapX(x + cx), mapY(y + cy)};
}

HWND CreateFromTemplate(const DLGTEMPLATEDATA& dialogTemplate, HWND owner) {
    // Shown only once initialised, as a modal dialog is.
    HWND dialog = afximpl::CreateWindowRecord(afximpl::kDialogClass, owner, false);
    dialog->text = dialogTemplate.caption;
    dialog->style = dialogTemplate.style & ~static_cast<DWORD>(WS_VISIBLE);
    dialog->exStyle = dialogTemplate.exStyle;
    dialog->x = dialogTemplate.x;
    dialog->y = dialogTemplate.y;
    dialog->cx = dialogTemplate.cx;
    dialog->cy = dialogTemplate.cy;
    dialog->fontFace = dialogTemplate.typeface;
    dialog->fontPointSize = dialogTemplate.pointSize;
    dialog->pixels = MapDialogUnits(dialog, dialogTemplate.x, dialogTemplate.y, dialogTemplate.cx,
                                    dialogTemplate.cy);
    for (const DLGITEMTEMPLATEDATA& item : dialogTemplate.items) {
        HWND control = afximpl::CreateWindowRecord(item.windowClass, dialog, true);
        control->id = item.id;
        control->text = item.text;
        control->style = item.style;
        control->exStyle = item.exStyle;
        control->x = item.x;
        control->y = item.y;
        control->cx = item.cx;
        control->cy = item.cy;
        control->pixels = MapDialogUnits(dialog, item.x, item.y, item.cx, item.cy);
    }
    return dialog;
}

HWND FirstTabStop(HWND dialog) {
    for (HWND child : dialog->children) {
        if ((child->style & WS_TABSTOP) && (child->style & WS_VISIBLE) &&
            !(child->style & WS_DISABLED))
            return child;
    }
    return nullptr;
}

}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
ON_MESSAGE(WM_INITDIALOG, &CDialog::HandleInitDialog)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() { afximpl::DestroyWindowRecord(m_hWnd); }

INT_PTR CDialog::DoModal() {
    const DLGTEMPLATEDATA* dialogTemplate = m_lpszTemplateName
                                                ? AfxFindDialogResource(m_lpszTemplateName)
                                                : AfxFindDialogResource(m_nIDHelp);
    CDialogDriver* driver = AfxGetDialogDriver();
    if (!dialogTemplate || !driver || m_hWnd) return -1;

    HWND previousFocus = afximpl::GetFocus();
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    // The owner takes no input while its modal dialog is up.
    const bool enableOwner = owner && m_pParentWnd->IsWindowEnabled();
    if (enableOwner) m_pParentWnd->EnableWindow(FALSE);
    HWND dialog = CreateFromTemplate(*dialogTemplate, owner);
    dialog->object = this;
    m_hWnd = dialog;
    m_nModalResult = -1;
    m_bContinueModal = TRUE;

    // TRUE from OnInitDialog asks for the dialog manager's focus: the first tab stop, with an
    // edit's text selected.
    HWND firstTabStop = FirstTabStop(dialog);
    if (SendMessage(WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTabStop)) && ContinueModal()) {
        firstTabStop = FirstTabStop(dialog);
        if (firstTabStop) {
            afximpl::SetFocus(firstTabStop);
            if (afximpl::IsClass(firstTabStop, "EDIT"))
                ::SendMessage(firstTabStop, EM_SETSEL, 0, -1);
        }
    }
    if (ContinueModal()) {
        dialog->style |= WS_VISIBLE;
        driver->RunModalLoop(*this);
    }
    if (enableOwner && afximpl::IsWindow(owner)) m_pParentWnd->EnableWindow(TRUE);
    // The focus goes back before the controls go, so an edit that had it still says so.
    afximpl::SetFocus(afximpl::IsWindow(previousFocus) ? previousFocus : nullptr);
    afximpl::DestroyWindowRecord(dialog);
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult) { EndModalLoop(nResult); }

void CDialog::MapDialogRect(LPRECT lpRect) const {
    if (!lpRect || !m_hWnd) return;
    auto units = [](LONG value) { return static_cast<short>(value); };
    *lpRect =
        MapDialogUnits(m_hWnd, units(lpRect->left), units(lpRect->top),
                       units(lpRect->right - lpRect->left), units(lpRect->bottom - lpRect->top));
}

namespace afximpl {

void LayOutDialog(HWND dialog, int baseUnitX, int baseUnitY) {
    dialog->baseUnitX = baseUnitX;
    dialog->baseUnitY = baseUnitY;
    dialog->pixels = MapDialogUnits(dialog, dialog->x, dialog->y, dialog->cx, dialog->cy);
    for (HWND control : dialog->children) {
        control->pixels = MapDialogUnits(dialog, control->x, control->y, control->cx, control->cy);
        control->needsPaint = true;
    }
}

}  // namespace afximpl

BOOL CDialog::OnInitDialog() {
    if (!UpdateData(FALSE)) {
        EndDialog(-1);
        return FALSE;
    }
    // MFC shows the Help button only when the application handles ID_HELP; no application here
    // routes commands, so it is hidden.
    if (CWnd* help = GetDlgItem(ID_HELP)) help->ShowWindow(SW_HIDE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }
