// Feeds the parser the tokens of a script: follows #include, keeps #define macros and expands
// them, and leaves out what #if, #ifdef and their kin exclude. Of included headers (.h, .c)
// only the preprocessor lines count, as with the Windows resource compiler.
#pragma once

#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ScriptLexer.h"

namespace travexrc {

class ScriptPreprocessor {
public:
    explicit ScriptPreprocessor(std::vector<std::filesystem::path> includeDirs);
    ~ScriptPreprocessor();

    // Starts on the main script. Throws ScriptError if it cannot be read.
    void Open(const std::filesystem::path& script);

    // The next token of the script; End once the main script is through.
    Token Next();

    bool IsDefined(const std::string& name) const { return m_macros.count(name) != 0; }

    // A file that a statement at `from` names: beside the file holding the statement, then in
    // the include directories. Empty if there is none.
    std::filesystem::path FindFile(const std::string& name, const SourceLocation& from) const;

    // Records a file the output depends on, beyond the scripts and headers read.
    void AddDependency(const std::filesystem::path& file);
    // Every file read so far, in the order of first use.
    const std::vector<std::filesystem::path>& Dependencies() const { return m_dependencies; }

private:
    struct OpenFile;
    struct Macro {
        std::string body;
        bool functionLike = false;
        SourceLocation where;
    };
    struct Condition {
        bool active;       // lines in the current branch count
        bool branchTaken;  // some branch of this #if has been taken
        bool sawElse;
        SourceLocation where;
    };

    void Push(const std::filesystem::path& file, const SourceLocation& includedFrom);
    bool Active() const { return m_conditions.empty() || m_conditions.back().active; }
    bool ParentActive() const;
    void HandleDirective(const Token& directive);
    void Include(const std::string& rest, const SourceLocation& where);
    void Define(const std::string& rest, const SourceLocation& where);
    bool EvaluateIf(const std::string& rest, const SourceLocation& where);
    // Pushes the body of `token`'s macro in its place; false if `token` names no macro.
    bool Expand(const Token& token);
    std::vector<Token> BodyTokens(const Macro& macro, const Token& use) const;

    std::vector<std::filesystem::path> m_includeDirs;
    std::vector<std::unique_ptr<OpenFile>> m_files;
    std::map<std::string, Macro> m_macros;
    std::vector<Condition> m_conditions;
    std::deque<Token> m_expanded;
    std::vector<std::filesystem::path> m_dependencies;
    SourceLocation m_lastLocation;
};

// Reads a whole file; false if it cannot be read.
bool ReadFile(const std::filesystem::path& file, std::string& contents);

// A file name as scripts write it, with Windows separators, in the form of this system.
std::string PortablePath(const std::string& name);

}  // namespace travexrc
