// The common dialogs. CFileDialog lets the user pick a file through the dialog driver, which
// shows the choice its own way (a script line, a window); the dialog then checks the choice as
// Windows checks it.
#pragma once

#include <vector>

#include "afxwin.h"

// OPENFILENAME flags, with their Windows values. The ones that only change the dialog's look are
// accepted and have no effect here.
constexpr DWORD OFN_READONLY = 0x00000001;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
constexpr DWORD OFN_SHAREAWARE = 0x00004000;
constexpr DWORD OFN_NONETWORKBUTTON = 0x00020000;
constexpr DWORD OFN_EXPLORER = 0x00080000;
constexpr DWORD OFN_LONGNAMES = 0x00200000;
constexpr DWORD OFN_ENABLESIZING = 0x00800000;
constexpr DWORD OFN_DONTADDTORECENT = 0x02000000;
constexpr DWORD OFN_FORCESHOWHIDDEN = 0x10000000;

// The part of the Windows structure that the dialog reads when it runs.
struct OPENFILENAME {
    DWORD lStructSize = 0;
    HWND hwndOwner = nullptr;
    // Null for the system's title, "Open" or "Save As"; it captions the dialog's message boxes.
    LPCTSTR lpstrTitle = nullptr;
    DWORD Flags = 0;
    // Added to a chosen name that has no extension of its own.
    LPCTSTR lpstrDefExt = nullptr;
};

class CDialogDriver;

class CCommonDialog : public CDialog {
public:
    explicit CCommonDialog(CWnd* pParentWnd) { m_pParentWnd = pParentWnd; }
};

class CFileDialog : public CCommonDialog {
public:
    // lpszFilter: pairs of a name and a pattern, each part ended by '|', the whole by another:
    // "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||". A pattern may join several by ';'.
    explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr,
                         LPCTSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         LPCTSTR lpszFilter = nullptr, CWnd* pParentWnd = nullptr, DWORD dwSize = 0,
                         BOOL bVistaStyle = TRUE);

    // IDOK with the chosen file, IDCANCEL when the user cancels or no driver is set. While it is
    // up the owner takes no input. A choice that the flags refuse is explained in a message box
    // and the dialog asks again, as Windows keeps its dialog open:
    // - OFN_PATHMUSTEXIST, or OFN_FILEMUSTEXIST in an open dialog: the folder must exist;
    // - OFN_FILEMUSTEXIST in an open dialog: the file must exist (a directory counts as one);
    // - OFN_OVERWRITEPROMPT in a save dialog: an existing file is replaced only after Yes.
    INT_PTR DoModal() override;

    // The chosen file as an absolute path; before DoModal the initial file name.
    CString GetPathName() const { return m_strPathName; }
    // "points.txt", "txt" and "points" for /data/points.txt.
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;
    CString GetFolderPath() const;

    // Not in MFC: the filter's entries, for a driver to show them.
    int GetFilterCount() const { return static_cast<int>(m_filters.size()); }
    // "Text Files (*.txt)" and "*.txt" for entry 0 of the filter above; empty out of range.
    CString GetFilterName(int nIndex) const;
    CString GetFilterPattern(int nIndex) const;

    OPENFILENAME m_ofn;

protected:
    BOOL m_bOpenFileDialog;

private:
    struct CFilterEntry {
        CString name;
        CString pattern;
    };

    // The driver's choice with the default extension added where it lacks one.
    CString WithDefaultExtension(const CString& path) const;
    // TRUE when the flags allow the choice; otherwise the user has been told why.
    BOOL AcceptChoice(CDialogDriver& driver, const CString& path) const;

    CString m_strFilter;
    CString m_strDefExt;
    CString m_strPathName;
    std::vector<CFilterEntry> m_filters;
};
