#include <sys/stat.h>

#include <filesystem>

#include "afxdlgdriver.h"
#include "afxdlgs.h"

namespace {

bool Exists(const CString& path) {
    struct stat status {};
    return ::stat(path, &status) == 0;
}

bool IsFolder(const CString& path) {
    struct stat status {};
    return ::stat(path, &status) == 0 && S_ISDIR(status.st_mode);
}

CString FolderOf(const CString& path) {
    const size_t slash = path.str().find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? CString("/") : CString(path.str().substr(0, slash));
}

CString NameOf(const CString& path) {
    return CString(path.str().substr(path.str().find_last_of('/') + 1));
}

CString AbsolutePath(const CString& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path.str(), error);
    return error ? path : CString(absolute.lexically_normal().string());
}

}  // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName,
                         DWORD dwFlags, LPCTSTR lpszFilter, CWnd* pParentWnd, DWORD dwSize, BOOL)
    : CCommonDialog(pParentWnd),
      m_bOpenFileDialog(bOpenFileDialog),
      m_strFilter(lpszFilter),
      m_strDefExt(lpszDefExt),
      m_strPathName(lpszFileName) {
    m_ofn.lStructSize = dwSize != 0 ? dwSize : static_cast<DWORD>(sizeof(OPENFILENAME));
    m_ofn.Flags = dwFlags;
    m_ofn.lpstrDefExt = m_strDefExt.IsEmpty() ? nullptr : m_strDefExt.GetString();

    // Name and pattern alternate; an empty part is the closing "||".
    const std::string& filter = m_strFilter.str();
    size_t start = 0;
    while (start < filter.size()) {
        const size_t nameEnd = filter.find('|', start);
        if (nameEnd == std::string::npos || nameEnd == start) break;
        size_t patternEnd = filter.find('|', nameEnd + 1);
        if (patternEnd == std::string::npos) patternEnd = filter.size();
        if (patternEnd == nameEnd + 1) break;
        m_filters.push_back({CString(filter.substr(start, nameEnd - start)),
                             CString(filter.substr(nameEnd + 1, patternEnd - nameEnd - 1))});
        start = patternEnd + 1;
    }
}

INT_PTR CFileDialog::DoModal() {
    CDialogDriver* driver = AfxGetDialogDriver();
    if (!driver) return IDCANCEL;
    m_ofn.hwndOwner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    const bool disableOwner = m_ofn.hwndOwner && m_pParentWnd->IsWindowEnabled();
    if (disableOwner) m_pParentWnd->EnableWindow(FALSE);

    INT_PTR result = IDCANCEL;
    CString choice;
    while (driver->ChooseFile(m_bOpenFileDialog, m_strFilter, choice)) {
        // An empty name leaves the dialog as it is, on Windows too.
        if (choice.IsEmpty()) continue;
        const CString path = WithDefaultExtension(choice);
        if (AcceptChoice(*driver, path)) {
            m_strPathName = AbsolutePath(path);
            result = IDOK;
            break;
        }
        choice.Empty();
    }

    if (disableOwner) m_pParentWnd->EnableWindow(TRUE);
    return result;
}

CString CFileDialog::WithDefaultExtension(const CString& path) const {
    if (!m_ofn.lpstrDefExt || !*m_ofn.lpstrDefExt) return path;
    if (NameOf(path).Find('.') >= 0) return path;
    // An open dialog takes a file without an extension when there is one.
    if (m_bOpenFileDialog && Exists(path)) return path;
    return path + "." + m_ofn.lpstrDefExt;
}

BOOL CFileDialog::AcceptChoice(CDialogDriver& driver, const CString& path) const {
    const DWORD flags = m_ofn.Flags;
    const char* title = m_ofn.lpstrTitle    ? m_ofn.lpstrTitle
                        : m_bOpenFileDialog ? "Open"
                                            : "Save As";
    const bool fileMustExist = m_bOpenFileDialog && (flags & OFN_FILEMUSTEXIST);
    if ((fileMustExist || (flags & OFN_PATHMUSTEXIST)) && !IsFolder(FolderOf(path))) {
        driver.MessageBox(
            "Path not found: \"" + FolderOf(path) + "\". Check the path and try again.", title,
            MB_OK | MB_ICONWARNING);
        return FALSE;
    }
    if (fileMustExist && !Exists(path)) {
        driver.MessageBox("File not found: \"" + path + "\". Check the file name and try again.",
                          title, MB_OK | MB_ICONWARNING);
        return FALSE;
    }
    if (!m_bOpenFileDialog && (flags & OFN_OVERWRITEPROMPT) && Exists(path)) {
        return driver.MessageBox("\"" + path + "\" already exists. Do you want to replace it?",
                                 title, MB_YESNO | MB_ICONWARNING) == IDYES;
    }
    return TRUE;
}

CString CFileDialog::GetFileName() const { return NameOf(m_strPathName); }

CString CFileDialog::GetFileExt() const {
    const std::string name = NameOf(m_strPathName).str();
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? CString() : CString(name.substr(dot + 1));
}

CString CFileDialog::GetFileTitle() const {
    const std::string name = NameOf(m_strPathName).str();
    return CString(name.substr(0, name.find_last_of('.')));
}

CString CFileDialog::GetFolderPath() const {
    return m_strPathName.IsEmpty() ? CString() : FolderOf(m_strPathName);
}

CString CFileDialog::GetFilterName(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetFilterCount()) return CString();
    return m_filters[static_cast<size_t>(nIndex)].name;
}

CString CFileDialog::GetFilterPattern(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetFilterCount()) return CString();
    return m_filters[static_cast<size_t>(nIndex)].pattern;
}
