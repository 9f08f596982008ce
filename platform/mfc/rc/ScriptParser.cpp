#include "ScriptParser.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "afxres.h"

namespace travexrc {

namespace {

// Memory options of 16-bit Windows; scripts still carry them and they mean nothing now.
bool IsMemoryOption(const Token& token) {
    static constexpr std::array<std::string_view, 9> kOptions = {
        "DISCARDABLE", "MOVEABLE",   "FIXED",  "PURE",     "IMPURE",
        "PRELOAD",     "LOADONCALL", "SHARED", "NONSHARED"};
    return std::any_of(kOptions.begin(), kOptions.end(),
                       [&](std::string_view option) { return token.IsKeyword(option); });
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

bool IsLanguageAndCodePage(const std::string& name) {
    return name.size() == 8 && std::all_of(name.begin(), name.end(),
                                           [](unsigned char c) { return std::isxdigit(c) != 0; });
}

bool SameName(const CResourceName& a, const CResourceName& b) { return !(a < b) && !(b < a); }

}  // namespace

std::string Describe(const CResourceName& name) {
    return name.IsNumber() ? std::to_string(name.number) : "\"" + name.text + "\"";
}

ScriptParser::ScriptParser(ScriptPreprocessor& source) : m_source(source) {}

const Token& ScriptParser::Peek() {
    if (!m_peeked) m_peeked = m_source.Next();
    return *m_peeked;
}

Token ScriptParser::Take() {
    Peek();
    Token token = std::move(*m_peeked);
    m_peeked.reset();
    return token;
}

void ScriptParser::Fail(const Token& at, const std::string& message) const {
    throw ScriptError(at.where, message);
}

void ScriptParser::Unexpected(const Token& at, const std::string& expected) const {
    Fail(at, "expected " + expected + ", found " + Describe(at));
}

bool ScriptParser::AcceptOperator(std::string_view op) {
    if (!Peek().IsOperator(op)) return false;
    Take();
    return true;
}

void ScriptParser::ExpectComma() {
    if (!AcceptOperator(",")) Unexpected(Peek(), "','");
}

bool ScriptParser::AtBlockStart() { return Peek().IsKeyword("BEGIN") || Peek().IsOperator("{"); }

bool ScriptParser::AtBlockEnd() { return Peek().IsKeyword("END") || Peek().IsOperator("}"); }

void ScriptParser::ExpectBlockStart(const std::string& what) {
    if (!AtBlockStart()) Unexpected(Peek(), "BEGIN of " + what);
    Take();
}

bool ScriptParser::AcceptBlockEnd(const std::string& what) {
    if (Peek().kind == TokenKind::End) Fail(Peek(), what + " is not closed: END is missing");
    if (!AtBlockEnd()) return false;
    Take();
    return true;
}

std::int64_t ScriptParser::Expression(std::int64_t base) {
    std::int64_t value = base;
    std::string op = "|";
    for (;;) {
        if (Peek().IsKeyword("NOT")) {
            Take();
            value &= ~Operand();
        } else {
            std::int64_t operand = Operand();
            if (op == "|") value |= operand;
            if (op == "&") value &= operand;
            if (op == "+") value += operand;
            if (op == "-") value -= operand;
        }
        const Token& next = Peek();
        if (!(next.IsOperator("|") || next.IsOperator("&") || next.IsOperator("+") ||
              next.IsOperator("-")))
            return value;
        op = Take().text;
    }
}

std::int64_t ScriptParser::Operand() {
    Token token = Take();
    if (token.kind == TokenKind::Number) return token.number;
    if (token.IsOperator("-")) return -Operand();
    if (token.IsOperator("~")) return ~Operand();
    if (token.IsOperator("(")) {
        std::int64_t value = Expression();
        if (!AcceptOperator(")")) Unexpected(Peek(), "')'");
        return value;
    }
    if (token.kind == TokenKind::Identifier) {
        Fail(token, "'" + token.text + "' is neither a number nor a defined symbol");
    }
    Unexpected(token, "a number");
}

std::int64_t ScriptParser::Ranged(const std::string& what, std::int64_t low, std::int64_t high) {
    Token at = Peek();
    std::int64_t value = Expression();
    if (value < low || value > high) {
        Fail(at, what + " " + std::to_string(value) + " is out of range (" + std::to_string(low) +
                     " to " + std::to_string(high) + ")");
    }
    return value;
}

short ScriptParser::Coordinate(const std::string& what) {
    return static_cast<short>(Ranged(what, -32768, 32767));
}

DWORD ScriptParser::Style(DWORD base) { return static_cast<DWORD>(Expression(base) & 0xFFFFFFFF); }

std::string ScriptParser::String(const std::string& what) {
    Token token = Take();
    if (token.kind != TokenKind::String) Unexpected(token, what + " in quotes");
    return token.text;
}

WORD ScriptParser::Language() {
    WORD language = static_cast<WORD>(Ranged("language", 0, 0x3FF));
    ExpectComma();
    WORD sublanguage = static_cast<WORD>(Ranged("sublanguage", 0, 0x3F));
    return static_cast<WORD>(sublanguage << 10 | language);
}

ResourceScript ScriptParser::Parse() {
    for (;;) {
        const Token& token = Peek();
        if (token.kind == TokenKind::End) break;
        if (token.IsKeyword("LANGUAGE")) {
            Take();
            m_language = Language();
        } else if (token.IsKeyword("STRINGTABLE")) {
            Take();
            ParseStringTable();
        } else if (AtBlockStart() || AtBlockEnd()) {
            Fail(token, "unexpected " + Describe(token) + " outside a resource");
        } else {
            ParseResource();
        }
    }
    return std::move(m_script);
}

void ScriptParser::ParseStringTable() {
    for (;;) {
        if (IsMemoryOption(Peek())) {
            Take();
        } else if (Peek().IsKeyword("LANGUAGE")) {
            Take();
            Language();  // string ids are one set for every language here
        } else if (Peek().IsKeyword("CHARACTERISTICS") || Peek().IsKeyword("VERSION")) {
            Take();
            Expression();
        } else {
            break;
        }
    }
    ExpectBlockStart("STRINGTABLE");
    while (!AcceptBlockEnd("STRINGTABLE")) {
        Token at = Peek();
        UINT id = Word("string id");
        AcceptOperator(",");
        std::string text = String("the text of string " + std::to_string(id));
        bool taken = std::any_of(m_script.strings.begin(), m_script.strings.end(),
                                 [&](const StringResource& string) { return string.id == id; });
        if (taken) Fail(at, "string " + std::to_string(id) + " is defined twice");
        m_script.strings.push_back({id, std::move(text)});
    }
}

CResourceName ScriptParser::ResourceName() {
    const Token& token = Peek();
    if (token.kind == TokenKind::Identifier || token.kind == TokenKind::String) {
        // Names are not case-sensitive; Windows keeps them in upper case.
        std::string name = Upper(Take().text);
        return CResourceName(name.c_str());
    }
    return CResourceName(static_cast<UINT>(Word("resource id")));
}

void ScriptParser::ParseResource() {
    Token at = Peek();
    CResourceName name = ResourceName();
    Token type = Take();
    if (type.IsKeyword("DIALOGEX") || type.IsKeyword("DIALOG")) {
        ParseDialog(name, type.IsKeyword("DIALOGEX"), at);
    } else if (type.IsKeyword("BITMAP") ||
               (type.kind == TokenKind::Number && type.number == RT_BITMAP)) {
        ParseFile(ResourceKind::Bitmap, name, at);
    } else if (type.kind == TokenKind::Number && type.number == RT_MANIFEST) {
        ParseFile(ResourceKind::Manifest, name, at);
    } else if (type.IsKeyword("VERSIONINFO")) {
        ParseVersionInfo(at);
    } else if (type.kind == TokenKind::Number) {
        Fail(type, "resource type " + std::to_string(type.number) +
                       " is not supported (only RT_BITMAP and RT_MANIFEST files)");
    } else if (type.kind == TokenKind::End) {
        Fail(type, "unexpected end of file after " + Describe(at));
    } else {
        const Token& unknown = type.kind == TokenKind::Identifier ? type : at;
        Fail(unknown, "unknown statement " + Describe(unknown) +
                          " (known: LANGUAGE, STRINGTABLE, DIALOG, DIALOGEX, BITMAP, "
                          "VERSIONINFO, RT_MANIFEST)");
    }
}

void ScriptParser::ParseDialog(const CResourceName& name, bool extended, const Token& at) {
    DialogResource resource{name, {}};
    DLGTEMPLATEDATA& dialog = resource.dialog;
    dialog.language = m_language;
    while (IsMemoryOption(Peek())) Take();
    dialog.x = Coordinate("x");
    ExpectComma();
    dialog.y = Coordinate("y");
    ExpectComma();
    dialog.cx = Coordinate("width");
    ExpectComma();
    dialog.cy = Coordinate("height");
    if (extended && AcceptOperator(",")) Expression();  // a help id: the template keeps none

    bool hasStyle = false, hasCaption = false, hasFont = false;
    while (!AtBlockStart()) {
        Token option = Take();
        if (option.IsKeyword("STYLE")) {
            dialog.style = Style(0);
            hasStyle = true;
        } else if (option.IsKeyword("EXSTYLE")) {
            dialog.exStyle = Style(0);
        } else if (option.IsKeyword("CAPTION")) {
            dialog.caption = String("the caption");
            hasCaption = true;
        } else if (option.IsKeyword("FONT")) {
            dialog.pointSize = Word("point size");
            ExpectComma();
            dialog.typeface = String("the typeface");
            if (extended && AcceptOperator(",")) {
                dialog.weight = Word("font weight");
                if (AcceptOperator(",")) {
                    dialog.italic = static_cast<BYTE>(Ranged("italic flag", 0, 1));
                    if (AcceptOperator(","))
                        dialog.charset = static_cast<BYTE>(Ranged("character set", 0, 255));
                }
            }
            hasFont = true;
        } else if (option.IsKeyword("MENU")) {
            CResourceName menu = ResourceName();
            dialog.menu = menu.IsNumber() ? std::to_string(menu.number) : menu.text;
        } else if (option.IsKeyword("CLASS")) {
            dialog.windowClass = String("the window class");
        } else if (option.IsKeyword("LANGUAGE")) {
            dialog.language = Language();
        } else if (option.IsKeyword("CHARACTERISTICS") || option.IsKeyword("VERSION")) {
            Expression();
        } else if (option.kind == TokenKind::End) {
            Fail(option, "dialog " + Describe(name) + " has no BEGIN");
        } else {
            Fail(option, "unknown dialog statement " + Describe(option));
        }
    }
    // What the Windows resource compiler adds on its own.
    if (!hasStyle) dialog.style = WS_POPUP | WS_BORDER | WS_SYSMENU;
    if (hasCaption) dialog.style |= WS_CAPTION;
    if (hasFont) dialog.style |= DS_SETFONT;

    Take();  // BEGIN
    while (!AcceptBlockEnd("dialog " + Describe(name))) {
        Token keyword = Take();
        const ControlStatement* statement =
            keyword.kind == TokenKind::Identifier ? FindControlStatement(keyword.text) : nullptr;
        if (!statement) Fail(keyword, "unknown control statement " + Describe(keyword));
        ParseControl(dialog, *statement);
    }

    for (const DialogResource& other : m_script.dialogs) {
        if (SameName(other.name, name)) Fail(at, "dialog " + Describe(name) + " is defined twice");
    }
    m_script.dialogs.push_back(std::move(resource));
}

void ScriptParser::ParseControl(DLGTEMPLATEDATA& dialog, const ControlStatement& statement) {
    DLGITEMTEMPLATEDATA item;
    if (statement.form != ControlForm::IdRect) {
        item.text = String("the control text");
        ExpectComma();
    }
    item.id = static_cast<int>(Ranged("control id", -32768, 65535));
    ExpectComma();
    item.style = statement.defaultStyle;
    if (statement.form == ControlForm::Generic) {
        Token windowClass = Take();
        if (windowClass.kind != TokenKind::String && windowClass.kind != TokenKind::Identifier)
            Unexpected(windowClass, "the window class");
        item.windowClass = CanonicalWindowClass(windowClass.text);
        ExpectComma();
        item.style = Style(statement.defaultStyle);
        ExpectComma();
    } else {
        item.windowClass = statement.windowClass;
    }
    item.x = Coordinate("x");
    ExpectComma();
    item.y = Coordinate("y");
    ExpectComma();
    item.cx = Coordinate("width");
    ExpectComma();
    item.cy = Coordinate("height");
    // The optional tail: [style,] exstyle, help id; CONTROL has given its style already.
    bool tail = AcceptOperator(",");
    if (tail && statement.form != ControlForm::Generic) {
        item.style = Style(statement.defaultStyle);
        tail = AcceptOperator(",");
    }
    if (tail) {
        item.exStyle = Style(0);
        if (AcceptOperator(",")) Expression();  // a help id: the template keeps none
    }
    dialog.items.push_back(std::move(item));
}

void ScriptParser::ParseVersionInfo(const Token& at) {
    if (m_script.version) Fail(at, "a second VERSIONINFO: a module has one version record");
    CVersionRecord version;
    auto versionNumbers = [&](WORD(&parts)[4], const std::string& what) {
        parts[0] = Word(what);
        for (int i = 1; i < 4 && AcceptOperator(","); ++i) parts[i] = Word(what);
    };
    while (!AtBlockStart()) {
        Token statement = Take();
        if (statement.IsKeyword("FILEVERSION")) {
            versionNumbers(version.fileVersion, "file version part");
        } else if (statement.IsKeyword("PRODUCTVERSION")) {
            versionNumbers(version.productVersion, "product version part");
        } else if (statement.IsKeyword("FILEFLAGSMASK") || statement.IsKeyword("FILEFLAGS") ||
                   statement.IsKeyword("FILEOS") || statement.IsKeyword("FILETYPE") ||
                   statement.IsKeyword("FILESUBTYPE")) {
            Ranged(statement.text, 0, 0xFFFFFFFF);
        } else if (statement.kind == TokenKind::End) {
            Fail(statement, "VERSIONINFO has no BEGIN");
        } else {
            Fail(statement, "unknown VERSIONINFO statement " + Describe(statement));
        }
    }
    Take();  // BEGIN
    while (!AcceptBlockEnd("VERSIONINFO")) {
        Token block = Take();
        if (!block.IsKeyword("BLOCK")) Unexpected(block, "BLOCK");
        Token nameToken = Peek();
        std::string name = String("the block name");
        if (name == "StringFileInfo") {
            ParseStringFileInfo(version);
        } else if (name == "VarFileInfo") {
            ParseVarFileInfo();
        } else {
            Fail(nameToken,
                 "unknown version block \"" + name + "\" (\"StringFileInfo\" or \"VarFileInfo\")");
        }
    }
    m_script.version = std::move(version);
}

void ScriptParser::ParseStringFileInfo(CVersionRecord& version) {
    ExpectBlockStart("BLOCK \"StringFileInfo\"");
    while (!AcceptBlockEnd("BLOCK \"StringFileInfo\"")) {
        Token block = Take();
        if (!block.IsKeyword("BLOCK")) Unexpected(block, "BLOCK");
        Token nameToken = Peek();
        std::string language = String("the language block name");
        if (!IsLanguageAndCodePage(language)) {
            Fail(nameToken, "string block \"" + language +
                                "\" must name a language and code page in 8 hex digits, such as "
                                "\"040904b0\"");
        }
        ExpectBlockStart("BLOCK \"" + language + "\"");
        while (!AcceptBlockEnd("BLOCK \"" + language + "\"")) {
            Token value = Take();
            if (!value.IsKeyword("VALUE")) Unexpected(value, "VALUE");
            Token keyToken = Peek();
            std::string key = String("the value name");
            ExpectComma();
            std::string text = String("the value of \"" + key + "\"");
            // Old scripts end their values with an explicit "\0".
            while (!text.empty() && text.back() == '\0') text.pop_back();
            if (!version.strings.emplace(key, std::move(text)).second)
                Fail(keyToken, "version string \"" + key + "\" is given twice");
        }
    }
}

void ScriptParser::ParseVarFileInfo() {
    ExpectBlockStart("BLOCK \"VarFileInfo\"");
    while (!AcceptBlockEnd("BLOCK \"VarFileInfo\"")) {
        Token value = Take();
        if (!value.IsKeyword("VALUE")) Unexpected(value, "VALUE");
        Token keyToken = Peek();
        std::string key = String("the value name");
        if (key != "Translation") Fail(keyToken, "VarFileInfo holds only \"Translation\"");
        int count = 0;
        while (AcceptOperator(",")) {
            Word("translation value");
            ++count;
        }
        if (count == 0 || count % 2 != 0)
            Fail(keyToken, "\"Translation\" needs pairs of language and code page");
    }
}

void ScriptParser::ParseFile(ResourceKind kind, const CResourceName& name, const Token& at) {
    const std::string what = kind == ResourceKind::Bitmap ? "bitmap" : "manifest";
    while (IsMemoryOption(Peek())) Take();
    Token fileToken = Take();
    if (fileToken.kind != TokenKind::String)
        Unexpected(fileToken, "the " + what + " file in quotes");
    std::filesystem::path file = m_source.FindFile(fileToken.text, fileToken.where);
    if (file.empty()) Fail(fileToken, what + " file '" + fileToken.text + "' not found");
    std::string contents;
    if (!ReadFile(file, contents))
        Fail(fileToken, "cannot read " + what + " file '" + file.string() + "'");
    // A BITMAPFILEHEADER (14 bytes) and at least the size field of the info header.
    if (kind == ResourceKind::Bitmap && (contents.size() < 18 || contents.compare(0, 2, "BM") != 0))
        Fail(fileToken, "'" + file.string() + "' is not a BMP file");
    m_source.AddDependency(file);

    for (const DataResource& other : m_script.data) {
        if (other.kind == kind && SameName(other.name, name))
            Fail(at, what + " " + Describe(name) + " is defined twice");
    }
    m_script.data.push_back({kind, name, std::vector<BYTE>(contents.begin(), contents.end())});
}

}  // namespace travexrc
