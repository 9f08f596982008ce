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
    void Delete() { delete this; }
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
