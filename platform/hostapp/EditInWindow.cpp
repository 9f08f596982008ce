#include "EditInWindow.h"

BOOL EditInWindow(HostGraphics& windows, const HostSession& session, CString& text,
                  std::vector<CString>& messages, std::string& error) {
    bool shownDialog = false;
    const BOOL confirmed = windows.RunWithWindows(
        [&] {
            return session.GetModule().EditMotionSequence(session.GetSetup(), session.GetMotion(),
                                                          text);
        },
        messages, shownDialog);
    if (!shownDialog) error = "the module " + session.GetModulePath() + " did not open its editor";
    return confirmed;
}
