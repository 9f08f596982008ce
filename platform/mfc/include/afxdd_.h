// Dialog data exchange: moving values between a dialog's controls and its members (DDX_), and
// checking them on the way in (DDV_). Included by afxwin.h.
#pragma once

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;  // TRUE: controls to members, with validation
    CWnd* m_pDlgWnd;

    // Name the control that the following exchange and validation concern, so that Fail can
    // give it the focus back. Both throw CNotSupportedException for a missing control.
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);

    // Ends the exchange: gives the focus back to the prepared control, with an edit's whole text
    // selected, and throws the CUserException that UpdateData turns into FALSE. The user must
    // have been told why already.
    [[noreturn]] void Fail();

    UINT m_idLastControl = 0;
    BOOL m_bEditLastControl = FALSE;
};

// An edit's text as a whole integer (blanks around it allowed) or as text.
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);

// When saving and value lies outside minVal..maxVal: tells the user the range and fails the
// exchange.
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
