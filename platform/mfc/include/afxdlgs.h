// The common dialogs. CFileDialog lets the user pick a file through the dialog driver, which
// shows the choice its own way (a script line, a window); the dialog then checks the choice as
// Windows checks it.
#pragma once

#include <vector>

#include "afxwin.h"

// OPENFILENAME flags, with their Windows values. OFN_HIDEREADONLY only changes the dialog's look
// and has no effect here.
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;

// The part of the Windows structure that the dialog reads when it runs.
struct OPENFILENAME {
    DWORD lStructSize = 0;
    HWND hwndOwner = nullptr;
    // Null for the system's title, "Open"; it captions the dialog's message boxes.
    LPCTSTR lpstrTitle = nullptr;
    DWORD Flags = 0;
};

// One entry of a file dialog's filter: "Text Files (*.txt)" and "*.txt".
struct CFileFilterEntry {
    CString name;
    CString pattern;
};
// lpszFilter as MFC writes it: pairs of a name and a pattern, each part ended by '|', the whole
// by another: "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||". A pattern may join several by
// ';'. The entries up to the first that lacks its name or its pattern.
std::vector<CFileFilterEntry> AfxParseFileFilter(LPCTSTR lpszFilter);

class CDialogDriver;

class CCommonDialog : public CDialog {
public:
    explicit CCommonDialog(CWnd* pParentWnd) { m_pParentWnd = pParentWnd; }
};

class CFileDialog : public CCommonDialog {
public:
    // MFC's parameters. The stand-in has the open dialog only: a save dialog (bOpenFileDialog
    // FALSE) is cancelled at once rather than replace a file unasked, and lpszDefExt, which
    // only a save dialog uses, is ignored. lpszFilter: see AfxParseFileFilter.
    explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr,
                         LPCTSTR lpszFileName = nullptr, DWORD dwFlags = OFN_HIDEREADONLY,
                         LPCTSTR lpszFilter = nullptr, CWnd* pParentWnd = nullptr, DWORD dwSize = 0,
                         BOOL bVistaStyle = TRUE);

    // IDOK with the chosen file, IDCANCEL when the user cancels or no driver is set. While it is
    // up the owner takes no input. A choice that the flags refuse is explained in a message box
    // and the dialog asks again, as Windows keeps its dialog open:
    // - OFN_PATHMUSTEXIST or OFN_FILEMUSTEXIST: the folder must exist;
    // - OFN_FILEMUSTEXIST: the file must exist (a directory counts as one).
    INT_PTR DoModal() override;

    // The chosen file as an absolute path; before DoModal the initial file name.
    CString GetPathName() const { return m_strPathName; }
    // "/data" for /data/points.txt.
    CString GetFolderPath() const;

    OPENFILENAME m_ofn;

protected:
    BOOL m_bOpenFileDialog;

private:
    // TRUE when the flags allow the choice; otherwise the user has been told why.
    BOOL AcceptChoice(CDialogDriver& driver, const CString& path) const;

    CString m_strFilter;
    CString m_strPathName;
};
