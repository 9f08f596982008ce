#include <algorithm>
#include <cstring>

#include "afxwin.h"

namespace {

BOOL CopyMessage(const char* message, LPTSTR lpszError, UINT nMaxError) {
    if (!lpszError || nMaxError == 0) return FALSE;
    const size_t count = std::min<size_t>(std::strlen(message), nMaxError - 1);
    std::memcpy(lpszError, message, count);
    lpszError[count] = '\0';
    return TRUE;
}

}  // namespace

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) {
    if (pnHelpContext) *pnHelpContext = 0;
    if (lpszError && nMaxError > 0) *lpszError = '\0';
    return FALSE;
}

int CException::ReportError(UINT nType, UINT nMessageID) {
    char buffer[512];
    CString message;
    if (GetErrorMessage(buffer, sizeof buffer))
        message = buffer;
    else if (nMessageID != 0)
        message.LoadString(nMessageID);
    if (message.IsEmpty()) message = "No error message is available.";
    return AfxMessageBox(message, nType);
}

BOOL CNotSupportedException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError,
                                             UINT* pnHelpContext) {
    if (pnHelpContext) *pnHelpContext = 0;
    return CopyMessage("An unsupported operation was attempted.", lpszError, nMaxError);
}

BOOL CMemoryException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) {
    if (pnHelpContext) *pnHelpContext = 0;
    return CopyMessage("Out of memory.", lpszError, nMaxError);
}

void AfxThrowMemoryException() {
    static CMemoryException* const exception = [] {
        auto* made = new CMemoryException;
        made->m_bAutoDelete = FALSE;
        return made;
    }();
    throw exception;
}

void AfxThrowUserException() { throw new CUserException; }

void AfxThrowNotSupportedException() { throw new CNotSupportedException; }
