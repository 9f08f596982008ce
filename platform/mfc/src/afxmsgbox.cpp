#include "afxdlgdriver.h"
#include "afxwin.h"

int AfxDismissAnswer(UINT nType) {
    switch (nType & MB_TYPEMASK) {
        case MB_OK:
            return IDOK;
        case MB_YESNO:
            return IDNO;
        case MB_ABORTRETRYIGNORE:
            return IDABORT;
        default:
            return IDCANCEL;
    }
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT) {
    CDialogDriver* driver = AfxGetDialogDriver();
    if (!driver) return AfxDismissAnswer(nType);
    const CWinApp* app = AfxGetApp();
    const char* caption = app && app->m_pszAppName ? app->m_pszAppName : "";
    return driver->MessageBox(lpszText ? lpszText : "", caption, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    CString prompt;
    prompt.LoadString(nIDPrompt);
    return AfxMessageBox(prompt, nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}
