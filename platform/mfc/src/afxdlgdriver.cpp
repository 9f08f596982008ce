#include "afxdlgdriver.h"

#include <algorithm>

#include "afxdlginput.h"
#include "afxhwnd.h"

namespace {

CDialogDriver* g_driver = nullptr;

bool HasCaption(HWND hWnd) {
    return afximpl::IsClass(hWnd, "BUTTON") || afximpl::IsClass(hWnd, "STATIC");
}

CString Describe(const CWnd& control) {
    HWND hWnd = control.m_hWnd;
    if (!hWnd) return "(destroyed)";
    CString text;
    if (hWnd->id != -1) text.Format("%d", hWnd->id);
    if (HasCaption(hWnd) && !hWnd->text.empty()) {
        if (!text.IsEmpty()) text += ' ';
        text += ('"' + hWnd->text + '"').c_str();
    } else {
        CString kind;
        kind.Format("%s(%s)", text.IsEmpty() ? "" : " ", hWnd->className.c_str());
        text += kind;
    }
    return text;
}

// Why a control takes no input from the user; empty when it does.
CString Refusal(const CWnd& control) {
    CString reason;
    if (!control.m_hWnd)
        reason = "has no window";
    else if (!control.IsWindowVisible())
        reason = "is hidden";
    else if (!control.IsWindowEnabled() ||
             (control.m_hWnd->parent && (control.m_hWnd->parent->style & WS_DISABLED)))
        reason = "is disabled";
    else
        return CString();
    return "control " + Describe(control) + " " + reason;
}

CString NotA(const CWnd& control, const char* what) {
    return "control " + Describe(control) + " is not " + what;
}

HWND DefaultButton(HWND dialog) {
    for (HWND child : dialog->children) {
        if (afximpl::IsClass(child, "BUTTON") && afximpl::ButtonType(child) == BS_DEFPUSHBUTTON)
            return child;
    }
    return nullptr;
}

HWND ChildWithId(HWND dialog, int id) {
    for (HWND child : dialog->children) {
        if (child->id == id) return child;
    }
    return nullptr;
}

// Sends a button's command to the dialog, as the dialog manager does for a key; a disabled
// button lets the key go unheard.
void SendButtonCommand(HWND dialog, int id, HWND button) {
    if (button && (button->style & WS_DISABLED)) return;
    ::SendMessage(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                  reinterpret_cast<LPARAM>(button));
}

// The focus as the dialog manager gives it from the keyboard: an edit's whole text selected.
void FocusFromKeyboard(HWND control) {
    afximpl::SetFocus(control);
    if (afximpl::IsClass(control, "EDIT")) ::SendMessage(control, EM_SETSEL, 0, -1);
}

bool IsArrow(UINT nVirtKey) {
    return nVirtKey == VK_LEFT || nVirtKey == VK_UP || nVirtKey == VK_RIGHT || nVirtKey == VK_DOWN;
}

// An arrow key that the focused control keeps: an edit moves its caret, a drop-down list
// chooses the item before or after the chosen one. TRUE when the control took the key.
bool ArrowToControl(HWND focus, UINT nVirtKey) {
    if (afximpl::IsClass(focus, "EDIT")) return true;
    if (!afximpl::IsClass(focus, "COMBOBOX")) return false;
    const int count = static_cast<int>(focus->items.size());
    const int step = nVirtKey == VK_LEFT || nVirtKey == VK_UP ? -1 : 1;
    const int next = std::clamp(focus->curSel + step, 0, count - 1);
    if (count > 0 && next != focus->curSel) {
        ::SendMessage(focus, CB_SETCURSEL, static_cast<WPARAM>(next), 0);
        afximpl::NotifyParent(focus, CBN_SELCHANGE);
        afximpl::NotifyParent(focus, CBN_SELENDOK);
    }
    return true;
}

}  // namespace

CDialogDriver::~CDialogDriver() = default;

CDialogInput::~CDialogInput() = default;

UINT CDialogDriver::ChooseMenuItem(const CMenu&, CPoint, CWnd*) { return 0; }

CString CDialogDriver::ClickControl(CWnd& control) {
    if (CString refusal = Refusal(control); !refusal.IsEmpty()) return refusal;
    HWND hWnd = control.m_hWnd;
    if (afximpl::IsClass(hWnd, "BUTTON") && afximpl::ButtonType(hWnd) != BS_GROUPBOX) {
        afximpl::SetFocus(hWnd);
        ::SendMessage(hWnd, BM_CLICK, 0, 0);
        return CString();
    }
    if (afximpl::IsClass(hWnd, "EDIT") || afximpl::IsClass(hWnd, "COMBOBOX")) {
        afximpl::SetFocus(hWnd);
        return CString();
    }
    return "control " + Describe(control) + " takes no clicks";
}

CString CDialogDriver::TypeText(CWnd& edit, LPCTSTR text) {
    if (CString refusal = Refusal(edit); !refusal.IsEmpty()) return refusal;
    HWND hWnd = edit.m_hWnd;
    if (!afximpl::IsClass(hWnd, "EDIT")) return NotA(edit, "an edit");
    if (hWnd->style & ES_READONLY) return "control " + Describe(edit) + " is read-only";
    afximpl::SetFocus(hWnd);
    ::SendMessage(hWnd, EM_SETSEL, 0, -1);
    ::SendMessage(hWnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text ? text : ""));
    return CString();
}

CString CDialogDriver::SelectItem(CWnd& comboBox, int index) {
    if (CString refusal = Refusal(comboBox); !refusal.IsEmpty()) return refusal;
    HWND hWnd = comboBox.m_hWnd;
    if (!afximpl::IsClass(hWnd, "COMBOBOX")) return NotA(comboBox, "a combo box");
    if (index < 0 || index >= static_cast<int>(hWnd->items.size())) {
        CString text;
        text.Format("control %s has no item %d", Describe(comboBox).GetString(), index);
        return text;
    }
    afximpl::SetFocus(hWnd);
    ::SendMessage(hWnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    afximpl::NotifyParent(hWnd, CBN_SELCHANGE);
    afximpl::NotifyParent(hWnd, CBN_SELENDOK);
    return CString();
}

CString CDialogDriver::FocusControl(CWnd& control) {
    if (CString refusal = Refusal(control); !refusal.IsEmpty()) return refusal;
    HWND hWnd = control.m_hWnd;
    if (afximpl::IsClass(hWnd, "STATIC") ||
        (afximpl::IsClass(hWnd, "BUTTON") && afximpl::ButtonType(hWnd) == BS_GROUPBOX))
        return "control " + Describe(control) + " takes no focus";
    afximpl::SetFocus(hWnd);
    if (afximpl::IsClass(hWnd, "EDIT")) ::SendMessage(hWnd, EM_SETSEL, 0, -1);
    return CString();
}

CString CDialogDriver::PressKey(CDialog& dialog, UINT nVirtKey, BOOL bShift) {
    HWND hWnd = dialog.m_hWnd;
    if (!hWnd) return "the dialog has no window";
    HWND focus = afximpl::GetFocus();
    if (focus && focus->parent != hWnd) focus = nullptr;
    if (nVirtKey == VK_TAB) {
        if (CWnd* next = dialog.GetNextDlgTabItem(CWnd::FromHandle(focus), bShift))
            FocusFromKeyboard(next->m_hWnd);
        return CString();
    }
    if (IsArrow(nVirtKey)) {
        if (!focus || ArrowToControl(focus, nVirtKey)) return CString();
        CWnd* next = dialog.GetNextDlgGroupItem(CWnd::FromHandle(focus),
                                                nVirtKey == VK_LEFT || nVirtKey == VK_UP);
        if (!next || next->m_hWnd == focus) return CString();
        const HWND target = next->m_hWnd;
        FocusFromKeyboard(target);
        // An automatic radio button is checked as by a click, with the same notification.
        if (afximpl::IsClass(target, "BUTTON") &&
            afximpl::ButtonType(target) == BS_AUTORADIOBUTTON && target->check != BST_CHECKED)
            ::SendMessage(target, BM_CLICK, 0, 0);
        return CString();
    }
    if (nVirtKey == VK_RETURN) {
        if (focus && afximpl::IsClass(focus, "EDIT") && (focus->style & ES_MULTILINE) &&
            (focus->style & ES_WANTRETURN)) {
            // The edit keeps the key for itself: a new line.
            if (!(focus->style & ES_READONLY))
                ::SendMessage(focus, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("\r\n"));
            return CString();
        }
        HWND button = focus && afximpl::IsPushButton(focus) ? focus : DefaultButton(hWnd);
        SendButtonCommand(hWnd, button ? button->id : IDOK,
                          button ? button : ChildWithId(hWnd, IDOK));
        return CString();
    }
    if (nVirtKey == VK_ESCAPE) {
        SendButtonCommand(hWnd, IDCANCEL, ChildWithId(hWnd, IDCANCEL));
        return CString();
    }
    CString text;
    text.Format("no action for key %u", nVirtKey);
    return text;
}

CString CDialogDriver::CloseDialog(CDialog& dialog) {
    if (!dialog.m_hWnd) return "the dialog has no window";
    dialog.SendMessage(WM_CLOSE);
    return CString();
}

void CDialogDriver::LayOutDialog(CDialog& dialog, int baseUnitX, int baseUnitY) {
    if (dialog.m_hWnd && baseUnitX > 0 && baseUnitY > 0)
        afximpl::LayOutDialog(dialog.m_hWnd, baseUnitX, baseUnitY);
}

void CDialogDriver::GetDialogFont(const CDialog& dialog, CString& face, int& pointSize) {
    const HWND hWnd = dialog.m_hWnd;
    const bool named = hWnd && !hWnd->fontFace.empty() && hWnd->fontPointSize > 0;
    face = named ? CString(hWnd->fontFace) : CString("MS Shell Dlg");
    pointSize = named ? hWnd->fontPointSize : 8;
}

CString CDialogDriver::InputRefusal(const CWnd& control) { return Refusal(control); }

CString CDialogDriver::DescribeControl(const CWnd& control) { return Describe(control); }

CString CDialogDriver::GetControlClass(const CWnd& control) {
    return control.m_hWnd ? CString(control.m_hWnd->className) : CString();
}

void AfxSetDialogDriver(CDialogDriver* driver) { g_driver = driver; }

CDialogDriver* AfxGetDialogDriver() { return g_driver; }
