#include <algorithm>
#include <cerrno>
#include <cstring>

#include "afxwin.h"

namespace {

// Why a file could not be used, as the end of a sentence.
const char* CauseText(int cause) {
    switch (cause) {
        case CFileException::none:
            return "no error occurred";
        case CFileException::fileNotFound:
            return "the file does not exist";
        case CFileException::badPath:
            return "the path is not valid";
        case CFileException::tooManyOpenFiles:
            return "too many files are open";
        case CFileException::accessDenied:
            return "access is denied";
        case CFileException::invalidFile:
            return "the file is not open for this operation";
        case CFileException::removeCurrentDir:
            return "the current directory cannot be removed";
        case CFileException::directoryFull:
            return "the directory is full";
        case CFileException::badSeek:
            return "the position is not valid";
        case CFileException::hardIO:
            return "a hardware error occurred";
        case CFileException::sharingViolation:
            return "another program is using the file";
        case CFileException::lockViolation:
            return "a part of the file is locked";
        case CFileException::diskFull:
            return "the disk is full";
        case CFileException::endOfFile:
            return "the end of the file was reached";
        default:
            return "an unexpected error occurred";
    }
}

}  // namespace

CFileException::CFileException(int cause, LONG lOsError, LPCTSTR lpszArchiveName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszArchiveName) {}

int CFileException::ErrnoToException(int nErrno) {
    switch (nErrno) {
        case 0:
            return none;
        case ENOENT:
            return fileNotFound;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            return badPath;
        case EMFILE:
        case ENFILE:
            return tooManyOpenFiles;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return accessDenied;
        case EBADF:
            return invalidFile;
        case ESPIPE:
            return badSeek;
        case EIO:
        case ENXIO:
            return hardIO;
        case EBUSY:
        case ETXTBSY:
            return sharingViolation;
        case EDEADLK:
        case ENOLCK:
            return lockViolation;
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
        case EFBIG:
            return diskFull;
        default:
            return genericException;
    }
}

void CFileException::ThrowErrno(int nErrno, LPCTSTR lpszFileName) {
    throw new CFileException(ErrnoToException(nErrno), nErrno, lpszFileName);
}

void AfxThrowFileException(int cause, LONG lOsError, LPCTSTR lpszFileName) {
    throw new CFileException(cause, lOsError, lpszFileName);
}

CString CFileException::FormatErrorMessage() const {
    const bool hasOsError = m_lOsError > 0;
    // The cause in words for opening, where it says most; the system's own words for an
    // operation on an open file, where the cause (hardIO, say) says little.
    CString reason = CauseText(m_cause);
    if (m_lOsError == EISDIR)
        reason = "it is a directory";
    else if (hasOsError && m_cause == genericException)
        reason = std::strerror(m_lOsError);
    const CString detail = hasOsError && m_lOsError != EISDIR ? std::strerror(m_lOsError) : reason;

    const CString file =
        m_strFileName.IsEmpty() ? CString("an unnamed file") : "\"" + m_strFileName + "\"";
    switch (m_action) {
        case actionOpen:
            return (m_strFileName.IsEmpty() ? CString("A file") : file) +
                   " could not be opened: " + reason + ".";
        case actionRead:
            return "A read error occurred while accessing " + file + ": " + detail + ".";
        case actionWrite:
            return "A write error occurred while accessing " + file + ": " + detail + ".";
        case actionSeek:
            return "A seek error occurred while accessing " + file + ": " + detail + ".";
        case actionClose:
            return "An error occurred while closing " + file + ": " + detail + ".";
        default:
            return "An error occurred while accessing " + file + ": " + reason + ".";
    }
}

BOOL CFileException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) {
    if (pnHelpContext) *pnHelpContext = 0;
    if (!lpszError || nMaxError == 0) return FALSE;
    *lpszError = '\0';
    if (m_cause == none) return FALSE;
    const CString message = FormatErrorMessage();
    const size_t count = std::min<size_t>(static_cast<size_t>(message.GetLength()), nMaxError - 1);
    std::memcpy(lpszError, message.GetString(), count);
    lpszError[count] = '\0';
    return TRUE;
}

int CFileException::ReportError(UINT nType, UINT nMessageID) {
    if (m_cause == none) return CException::ReportError(nType, nMessageID);
    return AfxMessageBox(FormatErrorMessage(), nType);
}
