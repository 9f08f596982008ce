// The dialog driver with real windows (Qt 6 Widgets): each modal dialog is a window of its
// own, message boxes and file choices are Qt's. The user's input goes through the same helpers
// as the headless driver's, so both drivers behave alike.
#pragma once

#include <afxdlgdriver.h>

#include <QString>
#include <memory>
#include <string>
#include <vector>

class QtDialogWindow;

class QtDialogDriver : public CDialogDriver {
public:
    // Needs a QApplication for as long as dialogs run.
    QtDialogDriver();
    ~QtDialogDriver() override;

    void RunModalLoop(CDialog& dialog) override;
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) override;
    BOOL ChooseFile(BOOL bOpenFileDialog, LPCTSTR lpszFilter, CString& path) override;
    // Qt's pop-up menu at the pointer.
    UINT ChooseMenuItem(const CMenu& menu, CPoint point, CWnd* owner) override;

    // The window of the dialog in front; null when none is open.
    QtDialogWindow* GetFrontWindow() const;
    // Dots per inch that dialogs are laid out for: the screen's, 96 without one.
    int GetDpi() const { return m_dpi; }
    // Every message box shown: its text, in order.
    const std::vector<CString>& GetShownMessages() const { return m_messages; }

    // The user's input, from the windows. Each returns why the control refused it (empty when
    // done) and then shows the new state of every open dialog.
    CString Click(HWND control);
    CString Type(HWND edit, const CString& text);
    CString Select(HWND comboBox, int index);
    CString Focus(HWND control);
    CString Key(CDialog& dialog, UINT nVirtKey, BOOL bShift = FALSE);
    CString Close(CDialog& dialog);
    // After input that reached a control directly (the mouse on a graph): the windows of ended
    // dialogs stop, the others show the framework's state.
    void AfterInput();

    // What the windows need from the framework.
    static CString ClassOf(const CWnd& control) { return GetControlClass(control); }
    // Lays the dialog out for its font at the driver's dpi; the font's family and pixel size.
    void LayOut(CDialog& dialog, std::string& fontFamily, int& pixelSize);

private:
    CString Finish(const CString& refusal);

    std::vector<QtDialogWindow*> m_windows;  // the open dialogs, the front one last
    std::vector<CString> m_messages;
    int m_dpi = 96;
    QString m_lastFolder;  // of the last file chosen, where the next file dialog opens
};
