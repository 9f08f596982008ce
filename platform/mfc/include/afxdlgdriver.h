// The seam between dialogs and whoever works them: a modal dialog runs its loop on the dialog
// driver of the process, and message boxes and file choices are put to the same driver. The
// headless driver plays a script (afxheadlessdriver.h); a driver with real windows plugs in the
// same way, without any change to the code of the dialogs.
#pragma once

#include "afxwin.h"

class CMenu;

class CDialogDriver {
public:
    virtual ~CDialogDriver();

    // The modal loop of a dialog that has been created and initialised: passes the user's input
    // to it until dialog.ContinueModal() turns FALSE. A driver that cannot go on ends the dialog
    // with EndDialog(-1). Runs again, nested, for a dialog opened from a handler.
    virtual void RunModalLoop(CDialog& dialog) = 0;
    // Shows a message box and returns the button pressed: IDOK, IDCANCEL, IDYES, ...
    virtual int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) = 0;
    // Lets the user pick a file (lpszFilter as CFileDialog takes it: "Text Files (*.txt)|*.txt||").
    // FALSE when the user cancels.
    virtual BOOL ChooseFile(BOOL bOpenFileDialog, LPCTSTR lpszFilter, CString& path) = 0;
    // Shows a pop-up menu at `point` in the owner's client pixels and returns the id of the item
    // chosen, 0 when none is. A driver without menus chooses none.
    virtual UINT ChooseMenuItem(const CMenu& menu, CPoint point, CWnd* owner);

protected:
    // The user's input, carried out as the system carries it out. Each returns an empty text when
    // done, or why the control takes no such input: hidden, disabled, not that kind of control.

    // A mouse click: a button takes the focus and is clicked (an auto check box toggles, an auto
    // radio button is checked and clears its group, BN_CLICKED goes to the dialog); an edit or a
    // combo box takes the focus.
    static CString ClickControl(CWnd& control);
    // Focus to the edit, its whole text selected and replaced: EN_CHANGE.
    static CString TypeText(CWnd& edit, LPCTSTR text);
    // Focus to the combo box, item `index` chosen: CBN_SELCHANGE, then CBN_SELENDOK.
    static CString SelectItem(CWnd& comboBox, int index);
    // Focus as the Tab key gives it: an edit's whole text selected.
    static CString FocusControl(CWnd& control);
    // A key as the dialog manager (IsDialogMessage) takes it. VK_RETURN: a focused push button's
    // command, else the default button's (IDOK when there is none), whatever control has the
    // focus. VK_ESCAPE: IDCANCEL. VK_TAB (bShift: backwards): the focus to the next tab stop.
    // VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN: an edit or drop-down list keeps the key; otherwise the
    // focus moves within its group, and an automatic radio button that it reaches is clicked.
    static CString PressKey(CDialog& dialog, UINT nVirtKey, BOOL bShift = FALSE);
    // The close box: IDCANCEL.
    static CString CloseDialog(CDialog& dialog);

    // Lays the dialog out for the driver's font: base units (the font's average character
    // width and its height in pixels) that move the dialog and every control to its template
    // rectangle (CWnd::GetWindowRect).
    static void LayOutDialog(CDialog& dialog, int baseUnitX, int baseUnitY);
    // The template's font; "MS Shell Dlg", 8 points when the template names none.
    static void GetDialogFont(const CDialog& dialog, CString& face, int& pointSize);

    // Why the control takes no input now (hidden, disabled); empty when it takes input.
    static CString InputRefusal(const CWnd& control);
    // A control as messages name it: its id and caption.
    static CString DescribeControl(const CWnd& control);
    // "EDIT", "BUTTON", "STATIC", "COMBOBOX", or the class of a program's own.
    static CString GetControlClass(const CWnd& control);
};

// The driver that dialogs, message boxes and file choices use from now on; null for none.
void AfxSetDialogDriver(CDialogDriver* driver);
CDialogDriver* AfxGetDialogDriver();

// The answer of a message box closed without a choice (Escape): IDCANCEL, or IDOK, IDNO or
// IDABORT for boxes without Cancel.
int AfxDismissAnswer(UINT nType);
