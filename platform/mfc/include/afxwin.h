// The application object and, with the editor, the window and dialog classes.
#pragma once

#include "afx.h"
#include "afxrestable.h"

// One application object per module. It carries the module's name and no behaviour of its own.
class CWinApp : public CObject {
public:
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    const char* m_pszAppName;
};

// The application object of the module that is running a call (the last one built).
CWinApp* AfxGetApp();
