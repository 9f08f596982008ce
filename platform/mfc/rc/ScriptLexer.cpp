#include "ScriptLexer.h"

#include <cctype>
#include <cstdio>

namespace travexrc {

namespace {

bool IsIdentifierStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentifierChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::int64_t ParseNumber(const std::string& spelling, const SourceLocation& where) {
    std::string digits = spelling;
    while (!digits.empty() && std::string_view("uUlL").find(digits.back()) != std::string::npos)
        digits.pop_back();
    bool hex = digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
    size_t first = hex ? 2 : 0;
    if (digits.size() <= first) throw ScriptError(where, "bad number '" + spelling + "'");
    std::int64_t value = 0;
    for (size_t i = first; i < digits.size(); ++i) {
        int digit = hex ? HexDigit(digits[i]) : (IsDigit(digits[i]) ? digits[i] - '0' : -1);
        if (digit < 0) throw ScriptError(where, "bad number '" + spelling + "'");
        value = value * (hex ? 16 : 10) + digit;
        if (value > 0xFFFFFFFF) {
            throw ScriptError(where, "number '" + spelling + "' does not fit in 32 bits");
        }
    }
    return value;
}

ScriptLexer::ScriptLexer(std::string text, std::string fileName, int firstLine, bool atLineStart)
    : m_text(std::move(text)),
      m_fileName(std::move(fileName)),
      m_line(firstLine),
      m_atLineStart(atLineStart) {}

char ScriptLexer::Peek(size_t ahead) const {
    return m_pos + ahead < m_text.size() ? m_text[m_pos + ahead] : '\0';
}

void ScriptLexer::SkipBlockComment() {
    SourceLocation start = Here();
    m_pos += 2;
    while (!AtEnd() && !(Peek() == '*' && Peek(1) == '/')) {
        if (Peek() == '\n') ++m_line;
        ++m_pos;
    }
    if (AtEnd()) throw ScriptError(start, "comment is not closed");
    m_pos += 2;
}

void ScriptLexer::SkipBlanksAndComments() {
    while (!AtEnd()) {
        char c = Peek();
        if (c == '\n') {
            ++m_line;
            ++m_pos;
            m_atLineStart = true;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++m_pos;
        } else if (c == '/' && Peek(1) == '/') {
            while (!AtEnd() && Peek() != '\n') ++m_pos;
        } else if (c == '/' && Peek(1) == '*') {
            SkipBlockComment();
        } else {
            return;
        }
    }
}

Token ScriptLexer::Next() {
    SkipBlanksAndComments();
    if (AtEnd()) return Token{TokenKind::End, "", 0, Here()};
    if (m_atLineStart && Peek() == '#') return ReadDirective();
    m_atLineStart = false;

    char c = Peek();
    if (c == 'L' && Peek(1) == '"') {  // wide strings read as narrow ones
        ++m_pos;
        return ReadString();
    }
    if (IsIdentifierStart(c)) {
        Token token{TokenKind::Identifier, "", 0, Here()};
        while (!AtEnd() && IsIdentifierChar(Peek())) token.text += m_text[m_pos++];
        return token;
    }
    if (IsDigit(c)) return ReadNumber();
    if (c == '"') return ReadString();
    return ReadOperator();
}

Token ScriptLexer::NextDirective() {
    while (!AtEnd()) {
        char c = Peek();
        if (c == '\n' || c == ' ' || c == '\t' || c == '\r' || (c == '/' && Peek(1) == '/') ||
            (c == '/' && Peek(1) == '*')) {
            SkipBlanksAndComments();
            continue;
        }
        if (m_atLineStart && c == '#') return ReadDirective();
        m_atLineStart = false;
        if (c == '"' || c == '\'') {
            // Quoted text may hold comment starts; it never spans lines.
            ++m_pos;
            while (!AtEnd() && Peek() != c && Peek() != '\n')
                m_pos += Peek() == '\\' && Peek(1) != '\n' ? 2 : 1;
            if (Peek() == c) ++m_pos;
            continue;
        }
        ++m_pos;
    }
    return Token{TokenKind::End, "", 0, Here()};
}

Token ScriptLexer::ReadDirective() {
    Token token{TokenKind::Directive, "", 0, Here()};
    ++m_pos;  // '#'
    while (!AtEnd() && Peek() != '\n') {
        if (Peek() == '\\' && (Peek(1) == '\n' || (Peek(1) == '\r' && Peek(2) == '\n'))) {
            m_pos += Peek(1) == '\r' ? 3 : 2;
            ++m_line;
            token.text += ' ';
            continue;
        }
        if (Peek() == '/' && Peek(1) == '*') {
            int line = m_line;
            SkipBlockComment();
            token.text += ' ';
            // A comment that runs over lines ends the directive, as it ends its line.
            if (m_line != line) break;
            continue;
        }
        token.text += m_text[m_pos++];
    }
    while (!token.text.empty() && std::isspace(static_cast<unsigned char>(token.text.back())))
        token.text.pop_back();
    return token;
}

Token ScriptLexer::ReadNumber() {
    Token token{TokenKind::Number, "", 0, Here()};
    while (!AtEnd() && IsIdentifierChar(Peek())) token.text += m_text[m_pos++];
    // "1.5" would otherwise read as 1, '.', 5.
    if (Peek() == '.' && IsDigit(Peek(1))) {
        while (!AtEnd() && (IsIdentifierChar(Peek()) || Peek() == '.'))
            token.text += m_text[m_pos++];
    }
    token.number = ParseNumber(token.text, token.where);
    return token;
}

Token ScriptLexer::ReadString() {
    Token token{TokenKind::String, "", 0, Here()};
    ++m_pos;  // opening quote
    for (;;) {
        if (AtEnd() || Peek() == '\n') throw ScriptError(token.where, "string is not closed");
        char c = m_text[m_pos++];
        if (c == '"') {
            if (Peek() != '"') break;
            token.text += '"';  // "" stands for one quote
            ++m_pos;
            continue;
        }
        if (c != '\\') {
            token.text += c;
            continue;
        }
        if (AtEnd()) throw ScriptError(token.where, "string is not closed");
        char e = m_text[m_pos++];
        switch (e) {
            case 'n':
                token.text += '\n';
                break;
            case 't':
                token.text += '\t';
                break;
            case 'r':
                token.text += '\r';
                break;
            case 'a':
                token.text += '\a';
                break;
            case 'b':
                token.text += '\b';
                break;
            case 'f':
                token.text += '\f';
                break;
            case 'v':
                token.text += '\v';
                break;
            case '\\':
                token.text += '\\';
                break;
            case '"':
                token.text += '"';
                break;
            case '\'':
                token.text += '\'';
                break;
            case '?':
                token.text += '?';
                break;
            case 'x': {
                int value = 0, count = 0;
                while (count < 2 && HexDigit(Peek()) >= 0)
                    value = value * 16 + HexDigit(m_text[m_pos++]), ++count;
                if (count == 0) throw ScriptError(Here(), "\\x without hex digits in a string");
                token.text += static_cast<char>(value);
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    int value = e - '0';
                    for (int count = 1; count < 3 && Peek() >= '0' && Peek() <= '7'; ++count)
                        value = value * 8 + (m_text[m_pos++] - '0');
                    if (value > 0xFF)
                        throw ScriptError(Here(), "octal escape above \\377 in a string");
                    token.text += static_cast<char>(value);
                    break;
                }
                throw ScriptError(Here(), std::string("unknown escape '\\") + e + "' in a string");
        }
    }
    return token;
}

Token ScriptLexer::ReadOperator() {
    static constexpr std::string_view kPairs[] = {"&&", "||", "==", "!=", "<=", ">=", "<<", ">>"};
    static constexpr std::string_view kSingles = ",|+-~(){}&!<>*/%^=";
    Token token{TokenKind::Operator, "", 0, Here()};
    for (std::string_view pair : kPairs) {
        if (m_text.compare(m_pos, 2, pair) == 0) {
            token.text = pair;
            m_pos += 2;
            return token;
        }
    }
    char c = Peek();
    if (kSingles.find(c) != std::string_view::npos) {
        token.text = c;
        ++m_pos;
        return token;
    }
    char shown[16];
    if (std::isprint(static_cast<unsigned char>(c))) {
        std::snprintf(shown, sizeof shown, "'%c'", c);
    } else {
        std::snprintf(shown, sizeof shown, "byte 0x%02X", static_cast<unsigned char>(c));
    }
    throw ScriptError(token.where, std::string("unexpected ") + shown);
}

}  // namespace travexrc
