#include "ScriptPreprocessor.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "ConditionEvaluator.h"

namespace travexrc {

namespace {

// Deep enough for any real script, shallow enough to stop a file that includes itself.
constexpr size_t kMaxIncludeDepth = 32;
constexpr int kMaxExpansionDepth = 32;

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool IsHeader(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".h" || extension == ".hh" || extension == ".hpp" || extension == ".hxx" ||
           extension == ".c" || extension == ".cc" || extension == ".cpp";
}

std::vector<Token> LexAll(const std::string& text, const SourceLocation& where) {
    ScriptLexer lexer(text, where.file, where.line, false);
    std::vector<Token> tokens;
    for (Token token = lexer.Next(); token.kind != TokenKind::End; token = lexer.Next())
        tokens.push_back(std::move(token));
    return tokens;
}

}  // namespace

bool ReadFile(const std::filesystem::path& file, std::string& contents) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return false;
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    contents = buffer.str();
    return !in.bad();
}

std::string PortablePath(const std::string& name) {
    std::string path;
    for (char c : name) {
        if (c != '\\') {
            path += c;
        } else if (path.empty() || path.back() != '/') {
            path += '/';  // "res\\x.bmp" and "res\x.bmp" alike
        }
    }
    return path;
}

struct ScriptPreprocessor::OpenFile {
    ScriptLexer lexer;
    bool headerOnly;
    size_t conditionDepth;  // conditions open when the file was entered
};

ScriptPreprocessor::ScriptPreprocessor(std::vector<std::filesystem::path> includeDirs)
    : m_includeDirs(std::move(includeDirs)) {}

ScriptPreprocessor::~ScriptPreprocessor() = default;

void ScriptPreprocessor::Open(const std::filesystem::path& script) {
    Push(script, SourceLocation{script.string(), 0});
}

void ScriptPreprocessor::Push(const std::filesystem::path& file,
                              const SourceLocation& includedFrom) {
    if (m_files.size() >= kMaxIncludeDepth) {
        throw ScriptError(includedFrom, "#include nested too deeply (does a file include itself?)");
    }
    std::string contents;
    if (!ReadFile(file, contents))
        throw ScriptError(includedFrom, "cannot read '" + file.string() + "'");
    AddDependency(file);
    m_files.push_back(std::make_unique<OpenFile>(OpenFile{
        ScriptLexer(std::move(contents), file.string()), IsHeader(file), m_conditions.size()}));
}

void ScriptPreprocessor::AddDependency(const std::filesystem::path& file) {
    std::filesystem::path absolute = std::filesystem::absolute(file).lexically_normal();
    if (std::find(m_dependencies.begin(), m_dependencies.end(), absolute) == m_dependencies.end())
        m_dependencies.push_back(absolute);
}

std::filesystem::path ScriptPreprocessor::FindFile(const std::string& name,
                                                   const SourceLocation& from) const {
    std::filesystem::path relative(PortablePath(name));
    std::vector<std::filesystem::path> candidates;
    if (relative.is_absolute()) {
        candidates.push_back(relative);
    } else {
        candidates.push_back(std::filesystem::path(from.file).parent_path() / relative);
        for (const auto& dir : m_includeDirs) candidates.push_back(dir / relative);
    }
    for (const auto& candidate : candidates) {
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error)) return candidate.lexically_normal();
    }
    return {};
}

Token ScriptPreprocessor::Next() {
    for (;;) {
        Token token;
        if (!m_expanded.empty()) {
            token = std::move(m_expanded.front());
            m_expanded.pop_front();
        } else {
            if (m_files.empty()) return Token{TokenKind::End, "", 0, m_lastLocation};
            OpenFile& file = *m_files.back();
            token = file.headerOnly || !Active() ? file.lexer.NextDirective() : file.lexer.Next();
            if (token.kind == TokenKind::End) {
                if (m_conditions.size() > file.conditionDepth) {
                    throw ScriptError(m_conditions.back().where, "#if without #endif");
                }
                m_lastLocation = token.where;
                m_files.pop_back();
                continue;
            }
            if (token.kind == TokenKind::Directive) {
                HandleDirective(token);
                continue;
            }
        }
        if (token.kind == TokenKind::Identifier && Expand(token)) continue;
        m_lastLocation = token.where;
        return token;
    }
}

bool ScriptPreprocessor::ParentActive() const {
    return m_conditions.size() < 2 || m_conditions[m_conditions.size() - 2].active;
}

void ScriptPreprocessor::HandleDirective(const Token& directive) {
    const SourceLocation& where = directive.where;
    std::string text = Trim(directive.text);
    size_t nameEnd = 0;
    while (nameEnd < text.size() &&
           (std::isalnum(static_cast<unsigned char>(text[nameEnd])) || text[nameEnd] == '_'))
        ++nameEnd;
    std::string name = text.substr(0, nameEnd);
    std::string rest = Trim(text.substr(nameEnd));
    if (text.empty()) return;  // a lone '#' is a null directive

    // Conditionals count even where lines are left out: they nest.
    size_t fileDepth = m_files.back()->conditionDepth;
    bool open = m_conditions.size() > fileDepth;
    if (name == "if" || name == "ifdef" || name == "ifndef") {
        bool value = false;
        if (Active()) {
            if (name == "if") {
                value = EvaluateIf(rest, where);
            } else {
                std::vector<Token> tokens = LexAll(rest, where);
                if (tokens.empty() || tokens[0].kind != TokenKind::Identifier)
                    throw ScriptError(where, "#" + name + " needs a macro name");
                value = IsDefined(tokens[0].text) == (name == "ifdef");
            }
        }
        m_conditions.push_back(Condition{value, value, false, where});
        return;
    }
    if (name == "elif" || name == "else") {
        if (!open) throw ScriptError(where, "#" + name + " without #if");
        Condition& condition = m_conditions.back();
        if (condition.sawElse) throw ScriptError(where, "#" + name + " after #else");
        bool take =
            ParentActive() && !condition.branchTaken && (name == "else" || EvaluateIf(rest, where));
        condition.active = take;
        condition.branchTaken = condition.branchTaken || take;
        condition.sawElse = name == "else";
        return;
    }
    if (name == "endif") {
        if (!open) throw ScriptError(where, "#endif without #if");
        m_conditions.pop_back();
        return;
    }
    if (!Active()) return;

    if (name == "include") {
        Include(rest, where);
    } else if (name == "define") {
        Define(rest, where);
    } else if (name == "undef") {
        std::vector<Token> tokens = LexAll(rest, where);
        if (tokens.empty() || tokens[0].kind != TokenKind::Identifier)
            throw ScriptError(where, "#undef needs a macro name");
        m_macros.erase(tokens[0].text);
    } else if (name == "error") {
        throw ScriptError(where, "#error " + rest);
    } else if (name != "pragma" && name != "line" && name != "ident" && name != "warning") {
        throw ScriptError(where, "unknown directive '#" + name + "'");
    }
}

void ScriptPreprocessor::Include(const std::string& rest, const SourceLocation& where) {
    char close = rest.empty() ? '\0' : rest[0] == '"' ? '"' : rest[0] == '<' ? '>' : '\0';
    size_t end = close ? rest.find(close, 1) : std::string::npos;
    if (end == std::string::npos) throw ScriptError(where, "#include expects \"file\" or <file>");
    std::string name = rest.substr(1, end - 1);
    std::filesystem::path file = FindFile(name, where);
    if (file.empty()) throw ScriptError(where, "cannot find include file '" + name + "'");
    Push(file, where);
}

void ScriptPreprocessor::Define(const std::string& rest, const SourceLocation& where) {
    size_t nameEnd = 0;
    while (nameEnd < rest.size() &&
           (std::isalnum(static_cast<unsigned char>(rest[nameEnd])) || rest[nameEnd] == '_'))
        ++nameEnd;
    if (nameEnd == 0 || std::isdigit(static_cast<unsigned char>(rest[0])))
        throw ScriptError(where, "#define needs a macro name");
    Macro macro;
    macro.where = where;
    std::string body = rest.substr(nameEnd);
    if (!body.empty() && body[0] == '(') {
        macro.functionLike = true;
        size_t close = body.find(')');
        body = close == std::string::npos ? "" : body.substr(close + 1);
    }
    macro.body = Trim(body);
    m_macros[rest.substr(0, nameEnd)] = std::move(macro);
}

std::vector<Token> ScriptPreprocessor::BodyTokens(const Macro& macro, const Token& use) const {
    std::vector<Token> tokens = LexAll(macro.body, macro.where);
    for (Token& token : tokens) {
        token.where = use.where;  // faults show where the macro is used
        token.expansionDepth = use.expansionDepth + 1;
    }
    return tokens;
}

bool ScriptPreprocessor::Expand(const Token& token) {
    auto found = m_macros.find(token.text);
    if (found == m_macros.end()) return false;
    if (found->second.functionLike) {
        throw ScriptError(token.where,
                          "function-like macro '" + token.text + "' cannot be used here");
    }
    if (token.expansionDepth >= kMaxExpansionDepth) {
        throw ScriptError(token.where, "macro '" + token.text + "' expands into itself");
    }
    std::vector<Token> body = BodyTokens(found->second, token);
    m_expanded.insert(m_expanded.begin(), body.begin(), body.end());
    return true;
}

bool ScriptPreprocessor::EvaluateIf(const std::string& rest, const SourceLocation& where) {
    std::vector<Token> pending = LexAll(rest, where);
    std::reverse(pending.begin(), pending.end());  // a stack, next token last
    std::vector<Token> tokens;
    while (!pending.empty()) {
        Token token = std::move(pending.back());
        pending.pop_back();
        if (token.kind == TokenKind::Identifier && token.text == "defined") {
            bool parenthesised = !pending.empty() && pending.back().IsOperator("(");
            if (parenthesised) pending.pop_back();
            if (pending.empty() || pending.back().kind != TokenKind::Identifier)
                throw ScriptError(where, "'defined' needs a macro name");
            Token number{TokenKind::Number, "", IsDefined(pending.back().text) ? 1 : 0, where};
            pending.pop_back();
            if (parenthesised) {
                if (pending.empty() || !pending.back().IsOperator(")"))
                    throw ScriptError(where, "')' is missing after 'defined'");
                pending.pop_back();
            }
            tokens.push_back(number);
            continue;
        }
        auto macro =
            token.kind == TokenKind::Identifier ? m_macros.find(token.text) : m_macros.end();
        if (macro != m_macros.end() && !macro->second.functionLike &&
            token.expansionDepth < kMaxExpansionDepth) {
            std::vector<Token> body = BodyTokens(macro->second, token);
            pending.insert(pending.end(), body.rbegin(), body.rend());
            continue;
        }
        tokens.push_back(std::move(token));
    }
    return EvaluateCondition(tokens, where) != 0;
}

}  // namespace travexrc
