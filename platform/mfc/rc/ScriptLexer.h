// Splits the text of one file into tokens. Lines that start with '#' come out whole, as
// directives, for the preprocessor to read.
#pragma once

#include <string>

#include "ScriptToken.h"

namespace travexrc {

class ScriptLexer {
public:
    // `atLineStart` false lexes a fragment, such as a macro body, in which '#' starts nothing.
    ScriptLexer(std::string text, std::string fileName, int firstLine = 1, bool atLineStart = true);

    // The next token or directive; End at the end of the text.
    Token Next();
    // The next directive, passing over everything else unread: for headers, of which only the
    // preprocessor lines count, and for the lines that a false #if leaves out.
    Token NextDirective();

private:
    char Peek(size_t ahead = 0) const;
    bool AtEnd() const { return m_pos >= m_text.size(); }
    SourceLocation Here() const { return {m_fileName, m_line}; }
    // Passes blanks, comments and line ends, counting lines.
    void SkipBlanksAndComments();
    void SkipBlockComment();
    Token ReadDirective();
    Token ReadNumber();
    Token ReadString();
    Token ReadOperator();

    std::string m_text;
    std::string m_fileName;
    size_t m_pos = 0;
    int m_line;
    bool m_atLineStart;
};

// The value of a number as scripts and headers write it: decimal or 0x hex, with an optional
// U or L suffix. Throws ScriptError("bad number") for anything else or above 32 bits.
std::int64_t ParseNumber(const std::string& spelling, const SourceLocation& where);

}  // namespace travexrc
