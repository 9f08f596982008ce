// The integer expressions of #if and #elif lines, with C's operators and precedence.
#pragma once

#include <cstdint>
#include <vector>

#include "ScriptToken.h"

namespace travexrc {

// `tokens` has its macros expanded and `defined` replaced already; identifiers that remain are
// 0, as in C. Throws ScriptError for a malformed expression.
std::int64_t EvaluateCondition(const std::vector<Token>& tokens, const SourceLocation& where);

}  // namespace travexrc
