#include <cerrno>
#include <climits>
#include <cstdlib>

#include "afxhwnd.h"

namespace {

// Holds back the dialog's control notifications for as long as it exchanges data.
class CNotifyLockout {
public:
    explicit CNotifyLockout(HWND hWnd) : m_previous(afximpl::LockoutNotifyWindow()) {
        afximpl::LockoutNotifyWindow() = hWnd;
    }
    ~CNotifyLockout() { afximpl::LockoutNotifyWindow() = m_previous; }
    CNotifyLockout(const CNotifyLockout&) = delete;
    CNotifyLockout& operator=(const CNotifyLockout&) = delete;

private:
    HWND m_previous;
};

bool IsBlank(char ch) { return ch == ' ' || ch == '\t'; }

// The whole text as one integer, blanks around it allowed.
bool ParseWholeInt(const char* text, int& value) {
    while (IsBlank(*text)) ++text;
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(text, &end, 10);
    if (end == text || errno == ERANGE || number < INT_MIN || number > INT_MAX) return false;
    while (IsBlank(*end)) ++end;
    if (*end != '\0') return false;
    value = static_cast<int>(number);
    return true;
}

}  // namespace

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
    CWnd* control = m_pDlgWnd->GetDlgItem(nIDC);
    if (!control) AfxThrowNotSupportedException();
    m_idLastControl = static_cast<UINT>(nIDC);
    m_bEditLastControl = FALSE;
    return control->m_hWnd;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
    HWND hWnd = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hWnd;
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_idLastControl != 0) {
        if (CWnd* control = m_pDlgWnd->GetDlgItem(static_cast<int>(m_idLastControl))) {
            control->SetFocus();
            if (m_bEditLastControl) control->SendMessage(EM_SETSEL, 0, -1);
        }
    }
    AfxThrowUserException();
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange exchange(this, bSaveAndValidate);
    CNotifyLockout lockout(m_hWnd);
    try {
        DoDataExchange(&exchange);
        return TRUE;
    } catch (CUserException* e) {
        e->Delete();  // the user has been told already
    } catch (CException* e) {
        e->ReportError(MB_ICONEXCLAMATION);
        e->Delete();
    }
    return FALSE;
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    CWnd* edit = CWnd::FromHandle(pDX->PrepareEditCtrl(nIDC));
    if (pDX->m_bSaveAndValidate) {
        CString text;
        edit->GetWindowText(text);
        if (!ParseWholeInt(text, value)) {
            AfxMessageBox("Enter an integer.", MB_ICONEXCLAMATION);
            pDX->Fail();
        }
    } else {
        CString text;
        text.Format("%d", value);
        edit->SetWindowText(text);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    CWnd* edit = CWnd::FromHandle(pDX->PrepareEditCtrl(nIDC));
    if (pDX->m_bSaveAndValidate)
        edit->GetWindowText(value);
    else
        edit->SetWindowText(value);
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
    // Out of range while loading is the program's business, not the user's.
    if ((value >= minVal && value <= maxVal) || !pDX->m_bSaveAndValidate) return;
    CString prompt;
    prompt.Format("Enter an integer between %d and %d.", minVal, maxVal);
    AfxMessageBox(prompt, MB_ICONEXCLAMATION);
    pDX->Fail();
}
