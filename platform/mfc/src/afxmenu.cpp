#include "afxmenu.h"

#include "afxdlgdriver.h"

BOOL CMenu::CreatePopupMenu() {
    m_items.clear();
    return TRUE;
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT nIDNewItem, LPCTSTR lpszNewItem) {
    m_items.push_back({nIDNewItem, CString(lpszNewItem ? lpszNewItem : ""), nFlags});
    return TRUE;
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT) {
    CDialogDriver* driver = AfxGetDialogDriver();
    const UINT chosen = driver ? driver->ChooseMenuItem(*this, CPoint(x, y), pWnd) : 0;
    if (nFlags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
    if (chosen != 0 && pWnd) pWnd->SendMessage(WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
    return chosen != 0;
}
