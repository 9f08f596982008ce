// The headless driver that plays a user's script on the module's editor: the built-in actions,
// the graph's drag and pick, and the PT editor's own verbs (PtEditorActions.h).
#pragma once

#include <afxheadlessdriver.h>

#include <string>

#include "HostSession.h"

class CEditorScriptDriver : public CHeadlessDriver {
public:
    CEditorScriptDriver();
    CEditorScriptDriver(const CEditorScriptDriver&) = delete;
    CEditorScriptDriver& operator=(const CEditorScriptDriver&) = delete;

    // Loads the script at `path`, or standard input for "-"; a byte-order mark is skipped. An
    // empty script, one that cannot be read and one that does not parse are refused, with a
    // message that names it.
    bool LoadScriptFrom(const std::string& path, std::string& error);

    // Runs the module's editor on `text` with this driver as the process's dialog driver, and
    // returns what EditMotionSequence returned: TRUE after OK, with `text` replaced.
    BOOL Edit(const HostSession& session, CString& text);
    // FALSE when no dialog came up at all (the module could not open its editor).
    BOOL HasShownDialog() const { return m_bShownDialog; }

    void RunModalLoop(CDialog& dialog) override;

private:
    BOOL m_bShownDialog = FALSE;
};
