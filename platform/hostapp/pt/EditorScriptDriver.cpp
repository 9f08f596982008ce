#include "pt/EditorScriptDriver.h"

#include <GraphScriptVerbs.h>

#include "files/WholeTextIO.h"
#include "pt/PtEditorActions.h"

CEditorScriptDriver::CEditorScriptDriver() {
    RegisterGraphScriptVerbs(*this);
    RegisterPtEditorVerbs(*this);
}

bool CEditorScriptDriver::LoadScriptFrom(const std::string& path, std::string& error) {
    std::string script;
    if (!ReadWholeText(path, script, error)) return false;
    SkipByteOrderMark(script);
    const std::string name = InputName(path);
    if (script.find_first_not_of(" \t\r\n") == std::string::npos) {
        error = "the script " + name +
                " is empty; it needs the user's actions, one a line (see "
                "docs/editing-with-scripts.md)";
        return false;
    }
    CString message;
    if (LoadScriptText(script, name.c_str(), message)) return true;
    error = message.str();
    return false;
}

BOOL CEditorScriptDriver::Edit(const HostSession& session, CString& text) {
    CDialogDriver* const previous = AfxGetDialogDriver();
    AfxSetDialogDriver(this);
    const BOOL confirmed =
        session.GetModule().EditMotionSequence(session.GetSetup(), session.GetMotion(), text);
    AfxSetDialogDriver(previous);
    return confirmed;
}

void CEditorScriptDriver::RunModalLoop(CDialog& dialog) {
    m_bShownDialog = TRUE;
    CHeadlessDriver::RunModalLoop(dialog);
}
