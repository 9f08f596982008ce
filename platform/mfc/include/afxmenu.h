// Pop-up menus: a CMenu subset whose items a window builds and whose choice the dialog driver
// asks of the user (afxdlgdriver.h).
#pragma once

#include <vector>

#include "afxwin.h"

constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT MF_BYCOMMAND = 0x0000;

constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_RETURNCMD = 0x0100;

// Sent to a window when the user asks for its context menu (the right button, the menu key):
// wParam the window's handle, lParam the pointer's position in the window's client pixels (the
// stand-in has no screen coordinates).
constexpr UINT WM_CONTEXTMENU = 0x007B;

class CMenu : public CObject {
public:
    struct CItem {
        UINT nID = 0;
        CString text;  // with its & mnemonic
        UINT nFlags = MF_STRING;
    };

    BOOL CreatePopupMenu();
    BOOL AppendMenu(UINT nFlags, UINT nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
    const std::vector<CItem>& GetItems() const { return m_items; }

    // Shows the menu at (x, y) in pWnd's client pixels. With TPM_RETURNCMD: the chosen item's id,
    // 0 when the user closes the menu without a choice. Otherwise the choice goes to pWnd as
    // WM_COMMAND and the result tells whether there was one.
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = nullptr);

private:
    std::vector<CItem> m_items;
};
