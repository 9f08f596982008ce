// Reads the statements of a resource script into a ResourceScript: LANGUAGE, STRINGTABLE,
// DIALOG and DIALOGEX with their controls, BITMAP, VERSIONINFO and manifests (RT_MANIFEST).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ControlStatements.h"
#include "ResourceScript.h"
#include "ScriptPreprocessor.h"

namespace travexrc {

class ScriptParser {
public:
    explicit ScriptParser(ScriptPreprocessor& source);

    // Throws ScriptError at the first fault.
    ResourceScript Parse();

private:
    const Token& Peek();
    Token Take();
    [[noreturn]] void Fail(const Token& at, const std::string& message) const;
    [[noreturn]] void Unexpected(const Token& at, const std::string& expected) const;
    bool AcceptOperator(std::string_view op);
    void ExpectComma();
    bool AtBlockStart();
    bool AtBlockEnd();
    void ExpectBlockStart(const std::string& what);
    // Ends a block; a script that ends inside one is a fault.
    bool AcceptBlockEnd(const std::string& what);

    // An expression of numbers, macros, | + - & ~ and parentheses. `NOT x` clears the bits of x
    // from the value so far, which starts at `base`: the default style of a control or dialog.
    std::int64_t Expression(std::int64_t base = 0);
    std::int64_t Operand();
    std::int64_t Ranged(const std::string& what, std::int64_t low, std::int64_t high);
    WORD Word(const std::string& what) { return static_cast<WORD>(Ranged(what, 0, 0xFFFF)); }
    short Coordinate(const std::string& what);
    DWORD Style(DWORD base);
    std::string String(const std::string& what);
    WORD Language();

    void ParseStringTable();
    void ParseResource();
    CResourceName ResourceName();
    void ParseDialog(const CResourceName& name, bool extended, const Token& at);
    void ParseControl(DLGTEMPLATEDATA& dialog, const ControlStatement& statement);
    void ParseVersionInfo(const Token& at);
    void ParseStringFileInfo(CVersionRecord& version);
    void ParseVarFileInfo();
    void ParseFile(ResourceKind kind, const CResourceName& name, const Token& at);

    ScriptPreprocessor& m_source;
    std::optional<Token> m_peeked;
    WORD m_language = 0;  // LANG_NEUTRAL until a LANGUAGE statement
    ResourceScript m_script;
};

// How a resource name reads in a message: 214 or "MODULEICON".
std::string Describe(const CResourceName& name);

}  // namespace travexrc
