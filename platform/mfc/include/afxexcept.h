// The framework's exceptions. As in MFC they are thrown by pointer (AfxThrow...) and the catcher
// releases them: catch (CException* e) { e->ReportError(); e->Delete(); }
#pragma once

#include "afx.h"

class CException : public CObject {
public:
    // The message for the user; FALSE when the exception has none.
    virtual BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr);
    // Shows the message in a message box of type nType; without a message, string resource
    // nMessageID or a general text stands in.
    virtual int ReportError(UINT nType = 0, UINT nMessageID = 0);
    // Releases the exception; one that lives on (the memory exception) stays.
    void Delete() {
        if (m_bAutoDelete) delete this;
    }

    BOOL m_bAutoDelete = TRUE;
};

// Memory ran out: the framework's strings, file buffers and the kernel's arrays throw it where
// an allocation fails. There is one, made before any failure, since a new one would need memory.
class CMemoryException : public CException {
public:
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) override;
};

// Stops a user's operation after the user has been told why (a failed data exchange).
class CUserException : public CException {};

// A framework operation that cannot be done, such as exchanging data with a missing control.
class CNotSupportedException : public CException {
public:
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) override;
};

[[noreturn]] void AfxThrowUserException();
[[noreturn]] void AfxThrowNotSupportedException();
// Declared in afxstr.h too, for CString.
[[noreturn]] void AfxThrowMemoryException();

// A failure of a file operation: why (m_cause), the system's errno (m_lOsError, -1 when none)
// and the file as the program named it.
class CFileException : public CException {
public:
    enum {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };
    // Not in MFC: what was being done with the file, so that the message can say whether opening,
    // reading or writing failed. CFile sets it; an exception built by hand stays actionUnknown.
    enum Action { actionUnknown, actionOpen, actionRead, actionWrite, actionSeek, actionClose };

    explicit CFileException(int cause = none, LONG lOsError = -1,
                            LPCTSTR lpszArchiveName = nullptr);

    // A sentence naming the file, what failed and why:
    // "points.txt" could not be opened: the file does not exist.
    // A read error occurred while accessing "points.txt": Input/output error.
    // FALSE for cause none.
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) override;
    // The whole message, however long the path.
    int ReportError(UINT nType = 0, UINT nMessageID = 0) override;

    // The cause for an errno value. The system's own errors are errno values here, so the two
    // conversions agree.
    static int ErrnoToException(int nErrno);
    [[noreturn]] static void ThrowErrno(int nErrno, LPCTSTR lpszFileName = nullptr);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
    Action m_action = actionUnknown;

private:
    CString FormatErrorMessage() const;
};

[[noreturn]] void AfxThrowFileException(int cause, LONG lOsError = -1,
                                        LPCTSTR lpszFileName = nullptr);
