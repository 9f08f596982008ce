// The text of a dialog script: one action a line, a verb and its words.
#pragma once

#include <string>
#include <vector>

#include "afxstr.h"

struct CDialogScriptAction {
    CString origin;  // the script's file name, or "script" for actions added in code
    int line = 0;
    CString verb;
    std::vector<CString> args;
};

// Splits a script into actions. Words are separated by blanks or tabs; a word in double quotes
// may hold blanks, \" and \\; a # outside quotes at the start of a word begins a comment. Blank
// and comment lines give no action. FALSE, with a message naming the line, for an unclosed quote.
BOOL AfxParseDialogScript(const std::string& text, const char* origin,
                          std::vector<CDialogScriptAction>& actions, CString& error);
