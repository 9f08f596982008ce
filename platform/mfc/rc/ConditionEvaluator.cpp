#include "ConditionEvaluator.h"

#include <array>
#include <string_view>

namespace travexrc {

namespace {

class ConditionParser {
public:
    ConditionParser(const std::vector<Token>& tokens, const SourceLocation& where)
        : m_tokens(tokens), m_where(where) {}

    std::int64_t ParseAll() {
        std::int64_t value = Binary(0);
        if (m_pos < m_tokens.size()) Fail("unexpected " + Describe(m_tokens[m_pos]));
        return value;
    }

private:
    // Binary operators from the loosest to the tightest binding.
    static constexpr std::array<std::array<std::string_view, 4>, 10> kLevels = {{
        {"||"},
        {"&&"},
        {"|"},
        {"^"},
        {"&"},
        {"==", "!="},
        {"<", ">", "<=", ">="},
        {"<<", ">>"},
        {"+", "-"},
        {"*", "/", "%"},
    }};

    [[noreturn]] void Fail(const std::string& message) const {
        throw ScriptError(m_where, "in #if: " + message);
    }

    const Token* PeekOperator() const {
        if (m_pos < m_tokens.size() && m_tokens[m_pos].kind == TokenKind::Operator)
            return &m_tokens[m_pos];
        return nullptr;
    }

    std::int64_t Binary(size_t level) {
        if (level == kLevels.size()) return Unary();
        std::int64_t value = Binary(level + 1);
        for (;;) {
            const Token* op = PeekOperator();
            if (!op) return value;
            bool found = false;
            for (std::string_view candidate : kLevels[level])
                found |= !candidate.empty() && op->text == candidate;
            if (!found) return value;
            std::string name = op->text;
            ++m_pos;
            std::int64_t right = Binary(level + 1);
            value = Apply(name, value, right);
        }
    }

    std::int64_t Apply(const std::string& op, std::int64_t a, std::int64_t b) const {
        if (op == "||") return a || b;
        if (op == "&&") return a && b;
        if (op == "|") return a | b;
        if (op == "^") return a ^ b;
        if (op == "&") return a & b;
        if (op == "==") return a == b;
        if (op == "!=") return a != b;
        if (op == "<") return a < b;
        if (op == ">") return a > b;
        if (op == "<=") return a <= b;
        if (op == ">=") return a >= b;
        if (op == "<<" || op == ">>") {
            if (b < 0 || b > 62) Fail("shift by " + std::to_string(b));
            return op == "<<" ? a << b : a >> b;
        }
        // Wrapping, not undefined, on overflow.
        auto ua = static_cast<std::uint64_t>(a), ub = static_cast<std::uint64_t>(b);
        if (op == "+") return static_cast<std::int64_t>(ua + ub);
        if (op == "-") return static_cast<std::int64_t>(ua - ub);
        if (op == "*") return static_cast<std::int64_t>(ua * ub);
        if (b == 0) Fail("division by zero");
        if (b == -1) return op == "/" ? static_cast<std::int64_t>(0 - ua) : 0;
        return op == "/" ? a / b : a % b;
    }

    std::int64_t Unary() {
        if (m_pos >= m_tokens.size()) Fail("the expression ends too early");
        const Token& token = m_tokens[m_pos++];
        if (token.kind == TokenKind::Number) return token.number;
        if (token.kind == TokenKind::Identifier) return 0;
        if (token.IsOperator("!")) return !Unary();
        if (token.IsOperator("~")) return ~Unary();
        if (token.IsOperator("-")) return -Unary();
        if (token.IsOperator("+")) return Unary();
        if (token.IsOperator("(")) {
            std::int64_t value = Binary(0);
            if (m_pos >= m_tokens.size() || !m_tokens[m_pos].IsOperator(")"))
                Fail("')' is missing");
            ++m_pos;
            return value;
        }
        Fail("unexpected " + Describe(token));
    }

    const std::vector<Token>& m_tokens;
    const SourceLocation& m_where;
    size_t m_pos = 0;
};

}  // namespace

std::int64_t EvaluateCondition(const std::vector<Token>& tokens, const SourceLocation& where) {
    return ConditionParser(tokens, where).ParseAll();
}

}  // namespace travexrc
