// The tokens of a resource script and of the preprocessor lines in it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ScriptError.h"

namespace travexrc {

enum class TokenKind {
    Identifier,
    Number,
    String,     // text holds the decoded characters
    Operator,   // punctuation: , | + - ~ ( ) { } and the operators of #if lines
    Directive,  // a whole preprocessor line, without its '#'
    End,
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;
    std::int64_t number = 0;
    SourceLocation where;
    int expansionDepth = 0;  // how many macro expansions produced this token

    bool IsOperator(std::string_view op) const { return kind == TokenKind::Operator && text == op; }
    // Keywords of resource scripts are not case-sensitive.
    bool IsKeyword(std::string_view keyword) const;
};

// How a token reads in a message: 'BEGIN', "text", 12, end of file.
std::string Describe(const Token& token);

}  // namespace travexrc
