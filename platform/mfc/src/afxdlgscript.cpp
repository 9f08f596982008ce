#include "afxdlgscript.h"

#include <sstream>

namespace {

bool IsBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r'; }

// The words of one line; FALSE for a quote that the line does not close.
bool SplitWords(const std::string& line, std::vector<CString>& words) {
    size_t at = 0;
    while (true) {
        while (at < line.size() && IsBlank(line[at])) ++at;
        if (at == line.size() || line[at] == '#') return true;
        std::string word;
        if (line[at] == '"') {
            ++at;
            while (at < line.size() && line[at] != '"') {
                if (line[at] == '\\' && at + 1 < line.size() &&
                    (line[at + 1] == '"' || line[at + 1] == '\\'))
                    ++at;
                word += line[at++];
            }
            if (at == line.size()) return false;
            ++at;
        } else {
            while (at < line.size() && !IsBlank(line[at])) word += line[at++];
        }
        words.emplace_back(std::move(word));
    }
}

}  // namespace

BOOL AfxParseDialogScript(const std::string& text, const char* origin,
                          std::vector<CDialogScriptAction>& actions, CString& error) {
    std::vector<CDialogScriptAction> parsed;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::vector<CString> words;
        if (!SplitWords(line, words)) {
            error.Format("%s:%d: a quoted word is not closed", origin, number);
            return FALSE;
        }
        if (words.empty()) continue;
        CDialogScriptAction action;
        action.origin = origin;
        action.line = number;
        action.verb = words.front();
        action.args.assign(words.begin() + 1, words.end());
        parsed.push_back(std::move(action));
    }
    actions.insert(actions.end(), parsed.begin(), parsed.end());
    return TRUE;
}
