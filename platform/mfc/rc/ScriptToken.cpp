#include "ScriptToken.h"

#include <algorithm>
#include <cctype>

namespace travexrc {

bool Token::IsKeyword(std::string_view keyword) const {
    return kind == TokenKind::Identifier && text.size() == keyword.size() &&
           std::equal(text.begin(), text.end(), keyword.begin(), [](char a, char b) {
               return std::toupper(static_cast<unsigned char>(a)) ==
                      std::toupper(static_cast<unsigned char>(b));
           });
}

std::string Describe(const Token& token) {
    switch (token.kind) {
        case TokenKind::End:
            return "end of file";
        case TokenKind::String:
            return "\"" + token.text + "\"";
        case TokenKind::Directive:
            return "'#" + token.text + "'";
        default:
            return "'" + token.text + "'";
    }
}

}  // namespace travexrc
