// The module's application object. It holds no data: every export builds its own objects.
#pragma once

#include <afxwin.h>

class CTravexApp : public CWinApp {
public:
    CTravexApp() : CWinApp(nullptr) {}
};

// The module's compiled resource script (dialog template, icon, version record, manifest).
const CResourceTable& TravexResourceTable();
