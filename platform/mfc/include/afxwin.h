// The application object, windows, dialogs and their controls.
#pragma once

#include <cstdint>

#include "afx.h"
#include "afxexcept.h"
#include "afxmsg.h"
#include "afxres.h"
#include "afxrestable.h"
#include "atltypes.h"

class CDC;

using INT_PTR = std::intptr_t;

// The system's side of a window; only the framework looks inside.
struct HWND__;
using HWND = HWND__*;

// One application object per module. It carries the module's name and no behaviour of its own.
class CWinApp : public CObject {
public:
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    const char* m_pszAppName;
};

// The application object of the module that is running a call (the last one built).
CWinApp* AfxGetApp();

// Message box buttons and icons
constexpr UINT MB_OK = 0x00;
constexpr UINT MB_OKCANCEL = 0x01;
constexpr UINT MB_ABORTRETRYIGNORE = 0x02;
constexpr UINT MB_YESNOCANCEL = 0x03;
constexpr UINT MB_YESNO = 0x04;
constexpr UINT MB_RETRYCANCEL = 0x05;
constexpr UINT MB_TYPEMASK = 0x0F;
constexpr UINT MB_ICONHAND = 0x10;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONASTERISK = 0x40;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_ICONMASK = 0xF0;

// Shows a message box through the dialog driver and returns the button pressed (IDOK, IDYES,
// ...). The caption is the application's name. Without a driver the box closes at once, as the
// Escape key would close it.
int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// The same with string resource nIDPrompt as the text.
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = static_cast<UINT>(-1));

struct AFX_CMDHANDLERINFO;
class CDataExchange;

class CCmdTarget : public CObject {
public:
    // Runs this object's handler for command or notification nCode from control nID, looking in
    // the most derived class's map first. TRUE when a handler ran.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

class CWnd : public CCmdTarget {
public:
    CWnd();
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    // The object that receives the window's messages; null for no window.
    static CWnd* FromHandle(HWND hWnd);

    int GetDlgCtrlID() const;
    CWnd* GetParent() const;
    // The child with this id; the same object for as long as the window lives.
    CWnd* GetDlgItem(int nID) const;
    // GW_CHILD: the first child, GW_HWNDNEXT: the next sibling, in template order.
    CWnd* GetWindow(UINT nCmd) const;
    DWORD GetStyle() const;

    void SetWindowText(LPCTSTR lpszString);
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const;

    // Pixels: the window's place in its parent's client area (a dialog's: on the screen, as
    // far as the framework knows), and its own client area from (0, 0). Controls start at their
    // template rectangles in the dialog's units (see CDialog::MapDialogRect).
    void GetWindowRect(LPRECT lpRect) const;
    void GetClientRect(LPRECT lpRect) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);

    // Asks for the window to be painted again; a driver with a screen paints it with WM_PAINT.
    void Invalidate(BOOL bErase = TRUE);
    // TRUE while the window waits to be painted (lpRect: its client area).
    BOOL GetUpdateRect(LPRECT lpRect, BOOL bErase = FALSE) const;

    // Returns nonzero when the window was disabled before.
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    // Returns nonzero when the window was visible before.
    BOOL ShowWindow(int nCmdShow);
    // TRUE when the window and every window that holds it are shown.
    BOOL IsWindowVisible() const;

    // The window with the keyboard focus, in any dialog; null when none has it.
    static CWnd* GetFocus();
    // Returns the window that had the focus.
    CWnd* SetFocus();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // The dialog manager's keyboard navigation among this dialog's controls, from pWndCtl (null:
    // from the start or the end). Only visible, enabled controls that take the focus count.
    // The next (or previous) control with WS_TABSTOP, wrapping around the dialog; null for none.
    CWnd* GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const;
    // The next (or previous) control of pWndCtl's group, wrapping at the group's ends; a group
    // runs from a WS_GROUP control up to the next one. pWndCtl itself when it is alone.
    CWnd* GetNextDlgGroupItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const;

    // Checks nIDCheckButton and clears every other button of nIDFirstButton..nIDLastButton.
    void CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton);
    UINT IsDlgButtonChecked(int nIDButton) const;
    void CheckDlgButton(int nIDButton, UINT nCheck);
    int GetDlgItemText(int nID, CString& rString) const;
    void SetDlgItemText(int nID, LPCTSTR lpszString);

    // This object takes over an existing window: from now on the window's messages reach this
    // object's map first, then the window's own behaviour. FALSE when this object already has a
    // window or the window is taken.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);

    // Runs DoDataExchange in one direction: TRUE saves the controls into the members with
    // validation, FALSE loads the controls. FALSE when validation failed; the user has been told.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    virtual BOOL ContinueModal();
    virtual void EndModalLoop(int nResult);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);

    // Paints the client area through pDC when the window receives WM_PAINT (which a driver
    // with a screen sends with the DC in wParam); the window counts as painted afterwards.
    // Base: draws nothing, which leaves a control to its driver.
    virtual void OnDraw(CDC* pDC);

    // Every message to the window comes here: first the message map, then DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // WM_COMMAND: LOWORD(wParam) the id, HIWORD(wParam) the notification code, lParam the control
    // (0 for a menu command). Runs before the message maps.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // The window's own behaviour: what its kind of control does with the message.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    int m_nModalResult = -1;
    BOOL m_bContinueModal = FALSE;

    friend LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};

// Delivers a message to the window's object and returns its result; 0 for no window.
LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }
};

class CEdit : public CWnd {
public:
    void GetSel(int& nStartChar, int& nEndChar) const;
};

class CStatic : public CWnd {};

class CComboBox : public CWnd {
public:
    int AddString(LPCTSTR lpszString);
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    // -1 clears the selection; returns CB_ERR for an index out of range.
    int SetCurSel(int nSelect);
    int GetLBTextLen(int nIndex) const;
    void GetLBText(int nIndex, CString& rString) const;
    // Case-insensitive match of the whole item, searching after nIndexStart (-1: from the top).
    int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const;
};

class CDialog : public CWnd {
public:
    CDialog();
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Loads the template through the resource chain, creates the dialog and its controls, runs
    // OnInitDialog and then the modal loop on the dialog driver. Returns the EndDialog result, or
    // -1 when the template cannot be found or no driver is set. The controls are gone afterwards.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    // Dialog units to pixels with the dialog's base units: x * width / 4, y * height / 8. The
    // base units are those of 8-point MS Shell Dlg at 96 dpi (6 by 13) until a driver lays the
    // dialog out with its own font.
    void MapDialogRect(LPRECT lpRect) const;

    // Base: loads the controls (UpdateData(FALSE)) and returns TRUE, which gives the focus to the
    // first tab stop.
    virtual BOOL OnInitDialog();

    UINT m_nIDHelp = 0;
    LPCTSTR m_lpszTemplateName = nullptr;
    CWnd* m_pParentWnd = nullptr;

protected:
    // Base: UpdateData(TRUE), then EndDialog(IDOK) if it passed.
    virtual void OnOK();
    // Base: EndDialog(IDCANCEL).
    virtual void OnCancel();

    afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};

#include "afxdd_.h"
