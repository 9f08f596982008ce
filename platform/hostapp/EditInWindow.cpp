#include "EditInWindow.h"

#include <QtDialogDriver.h>

namespace {

// Knows whether the module opened its dialog at all.
class CWatchedWindowDriver : public QtDialogDriver {
public:
    void RunModalLoop(CDialog& dialog) override {
        m_bShownDialog = true;
        QtDialogDriver::RunModalLoop(dialog);
    }
    bool m_bShownDialog = false;
};

}  // namespace

BOOL EditInWindow(const CHostSession& session, CString& text, std::vector<CString>& messages,
                  std::string& error) {
    CWatchedWindowDriver driver;
    CDialogDriver* const previous = AfxGetDialogDriver();
    AfxSetDialogDriver(&driver);
    const BOOL confirmed =
        session.GetModule().EditMotionSequence(session.GetSetup(), session.GetMotion(), text);
    AfxSetDialogDriver(previous);
    messages = driver.GetShownMessages();
    if (!driver.m_bShownDialog)
        error = "the module " + session.GetModulePath() + " did not open its editor";
    return confirmed;
}
