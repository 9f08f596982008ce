// Windows only: the dialogs on the system's dialog manager. Each modal dialog is created from its
// compiled template with CreateDialogIndirectParam; its controls are the system's, and the
// framework's window objects follow them: what the user does reaches the dialog's code as the
// real controls' notifications, and what the code sets is shown on the real controls. Tab,
// arrows, Enter and Escape go through IsDialogMessage, so the keyboard rules are Windows' own.
//
// As a dialog driver it runs the modal loop for a person (GetMessage, IsDialogMessage), with the
// system's message boxes and file dialogs; as a script's input (CHeadlessDriver::SetInput) it
// plays each action by sending the real messages that the user's action would send.
#pragma once

#include <memory>
#include <vector>

#include "afxdlgdriver.h"
#include "afxdlginput.h"

class CWin32Dialogs : public CDialogDriver, public CDialogInput {
public:
    CWin32Dialogs();
    ~CWin32Dialogs() override;
    CWin32Dialogs(const CWin32Dialogs&) = delete;
    CWin32Dialogs& operator=(const CWin32Dialogs&) = delete;

    void RunModalLoop(CDialog& dialog) override;
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) override;
    BOOL ChooseFile(BOOL bOpenFileDialog, LPCTSTR lpszFilter, CString& path) override;

    void DialogOpened(CDialog& dialog) override;
    void ActionPlayed(CDialog& dialog) override;
    void DialogClosing(CDialog& dialog) override;
    CString Click(CWnd& control) override;
    CString Type(CWnd& edit, LPCTSTR text) override;
    CString Select(CWnd& comboBox, int index) override;
    CString Focus(CWnd& control) override;
    CString PressKey(CDialog& dialog, UINT nVirtKey, BOOL bShift) override;
    CString Close(CDialog& dialog) override;

    // The system's window of an open dialog (an HWND of <windows.h>); null when it has none.
    void* GetSystemWindow(const CDialog& dialog) const;
    // The system's window of a control of an open dialog; null when it has none.
    void* GetSystemControl(const CWnd& control) const;

    // With a script: the dialog stays in view this long after each action, painted.
    void SetPause(int milliseconds) { m_pauseMs = milliseconds; }
    // Why a dialog could not be made a real one (its template not found, the system refused
    // it), the first time; empty when every dialog was. Such a dialog gets the framework's own
    // input, or ends with -1 in the modal loop.
    const CString& GetFailure() const { return m_failure; }
    // The texts of the message boxes shown to the user, in order.
    const std::vector<CString>& GetShownMessages() const { return m_shownMessages; }

    class CMirror;

private:
    CMirror* MirrorOf(const CWnd& window) const;

    std::vector<std::unique_ptr<CMirror>> m_open;
    std::vector<CString> m_shownMessages;
    CString m_failure;
    int m_pauseMs = 0;
};
