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

CString AbsolutePath(const CString& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path.str(), error);
    return error ? path : CString(absolute.lexically_normal().string());
}

}  // namespace

std::vector<CFileFilterEntry> AfxParseFileFilter(LPCTSTR lpszFilter) {
    // Name and pattern alternate; an empty part is the closing "||".
    const std::string filter = lpszFilter ? lpszFilter : "";
    std::vector<CFileFilterEntry> entries;
    size_t start = 0;
    while (start < filter.size()) {
        const size_t nameEnd = filter.find('|', start);
        if (nameEnd == std::string::npos || nameEnd == start) break;
        size_t patternEnd = filter.find('|', nameEnd + 1);
        if (patternEnd == std::string::npos) patternEnd = filter.size();
        if (patternEnd == nameEnd + 1) break;
        entries.push_back({CString(filter.substr(start, nameEnd - start)),
                           CString(filter.substr(nameEnd + 1, patternEnd - nameEnd - 1))});
        start = patternEnd + 1;
    }
    return entries;
}

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd, DWORD dwSize, BOOL)
    : CCommonDialog(pParentWnd),
      m_bOpenFileDialog(bOpenFileDialog),
      m_strFilter(lpszFilter),
      m_strPathName(lpszFileName) {
    m_ofn.lStructSize = dwSize != 0 ? dwSize : static_cast<DWORD>(sizeof(OPENFILENAME));
    m_ofn.Flags = dwFlags;
}

INT_PTR CFileDialog::DoModal() {
    CDialogDriver* driver = AfxGetDialogDriver();
    if (!driver || !m_bOpenFileDialog) return IDCANCEL;
    m_ofn.hwndOwner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    const bool disableOwner = m_ofn.hwndOwner && m_pParentWnd->IsWindowEnabled();
    if (disableOwner) m_pParentWnd->EnableWindow(FALSE);

    INT_PTR result = IDCANCEL;
    CString choice;
    while (driver->ChooseFile(m_bOpenFileDialog, m_strFilter, choice)) {
        // An empty name leaves the dialog as it is, on Windows too.
        if (choice.IsEmpty()) continue;
        if (AcceptChoice(*driver, choice)) {
            m_strPathName = AbsolutePath(choice);
            result = IDOK;
            break;
        }
        choice.Empty();
    }

    if (disableOwner) m_pParentWnd->EnableWindow(TRUE);
    return result;
}

BOOL CFileDialog::AcceptChoice(CDialogDriver& driver, const CString& path) const {
    const DWORD flags = m_ofn.Flags;
    const char* title = m_ofn.lpstrTitle ? m_ofn.lpstrTitle : "Open";
    const bool fileMustExist = flags & OFN_FILEMUSTEXIST;
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
    return TRUE;
}

CString CFileDialog::GetFolderPath() const {
    return m_strPathName.IsEmpty() ? CString() : FolderOf(m_strPathName);
}
