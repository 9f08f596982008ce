// Where a script's input goes: by default the framework carries a click, a text or a key out on
// its own controls (CDialogDriver), and a driver on a real dialog manager sends real messages to
// real windows instead, whose notifications come back to the dialog's code.
#pragma once

#include "afxwin.h"

class CDialogInput {
public:
    virtual ~CDialogInput();

    // The dialog has been created and initialised, and is about to take input.
    virtual void DialogOpened(CDialog& dialog) = 0;
    // Something may have changed the dialog's controls outside the input below (a host's verb).
    virtual void ActionPlayed(CDialog& dialog) = 0;
    // The dialog is about to go.
    virtual void DialogClosing(CDialog& dialog) = 0;

    // The user's input, as CDialogDriver describes it: an empty text when done, else why the
    // control takes no such input.
    virtual CString Click(CWnd& control) = 0;
    virtual CString Type(CWnd& edit, LPCTSTR text) = 0;
    virtual CString Select(CWnd& comboBox, int index) = 0;
    virtual CString Focus(CWnd& control) = 0;
    virtual CString PressKey(CDialog& dialog, UINT nVirtKey, BOOL bShift) = 0;
    virtual CString Close(CDialog& dialog) = 0;
};
