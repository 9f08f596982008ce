#include "EditorScriptDriver.h"

#include <GraphScriptVerbs.h>

#include "PtEditorActions.h"

CEditorScriptDriver::CEditorScriptDriver() {
    RegisterGraphScriptVerbs(*this);
    RegisterPtEditorVerbs(*this);
}

BOOL CEditorScriptDriver::Edit(const CHostSession& session, CString& text) {
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
