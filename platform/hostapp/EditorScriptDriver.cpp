#include "EditorScriptDriver.h"

#include <GraphScriptVerbs.h>

#include "editor/resource.h"

CEditorScriptDriver::CEditorScriptDriver() {
    RegisterGraphScriptVerbs(*this);
    RegisterVerb("import", [this](CDialog& dialog, const std::vector<CString>& args) {
        return Import(dialog, args);
    });
}

CString CEditorScriptDriver::Import(CDialog& dialog, const std::vector<CString>& args) {
    if (args.size() != 1) {
        CString error;
        error.Format("import takes 1 word (FILE), not %zu", args.size());
        return error;
    }
    if (args[0].IsEmpty()) return "import needs a file name";
    CString error;
    CWnd* button = FindControl(dialog, CControlName(IDC_IMPORT_FROM_FILE).name, error);
    if (!button) return error;
    // The click opens the file dialog; the answer waits for it, as the user's choice would.
    AnswerNextFileChoice(args[0]);
    return ClickControl(*button);
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
