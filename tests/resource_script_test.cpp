// The resource compiler's reading of scripts: statements, defaults, the preprocessor and the
// faults it reports.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "ScriptParser.h"
#include "ScriptPreprocessor.h"
#include "TableSourceWriter.h"
#include "afxres.h"

namespace fs = std::filesystem;
using travexrc::ResourceScript;
using travexrc::ScriptError;

namespace {

// A directory of its own for each test, removed afterwards.
class ScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "travex-rc-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path Write(const std::string& name, const std::string& contents) {
        fs::path file = m_dir / name;
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << contents;
        return file;
    }

    ResourceScript Compile(const std::string& script) {
        m_source = std::make_unique<travexrc::ScriptPreprocessor>(
            std::vector<fs::path>{TRAVEX_MFC_INCLUDE_DIR});
        m_source->Open(Write("test.rc", script));
        return travexrc::ScriptParser(*m_source).Parse();
    }

    // The message of the fault that compiling `script` reports.
    std::string FaultOf(const std::string& script) {
        try {
            Compile(script);
        } catch (const ScriptError& error) {
            return error.what();
        }
        return "(no fault)";
    }

    std::string At(const std::string& file, int line) {
        return (m_dir / file).string() + ":" + std::to_string(line) + ": error: ";
    }

    fs::path m_dir;
    std::unique_ptr<travexrc::ScriptPreprocessor> m_source;
};

const DLGITEMTEMPLATEDATA& OnlyControl(const ResourceScript& script) {
    if (script.dialogs.size() != 1 || script.dialogs[0].dialog.items.size() != 1)
        throw std::runtime_error("expected one dialog with one control");
    return script.dialogs[0].dialog.items[0];
}

std::string Dialog(const std::string& control) {
    return "#include \"afxres.h\"\n1 DIALOGEX 0, 0, 10, 10\nBEGIN\n" + control + "\nEND\n";
}

TEST_F(ScriptTest, StringTableDecodesEscapesAndDoubledQuotes) {
    Write("ids.h", "#define IDS_GREETING 101\n#define IDS_PATH (IDS_GREETING + 1)\n");
    ResourceScript script = Compile(
        "#include \"ids.h\"\n"
        "STRINGTABLE\nBEGIN\n"
        "    IDS_GREETING \"say \"\"hi\"\"\\n\\tnow\\x41\\101\"\n"
        "    IDS_PATH, \"C:\\\\dir\"\n"
        "    0xFFFF L\"last\"\n"
        "END\n");
    ASSERT_EQ(script.strings.size(), 3u);
    EXPECT_EQ(script.strings[0].id, 101u);
    EXPECT_EQ(script.strings[0].text, "say \"hi\"\n\tnowAA");
    EXPECT_EQ(script.strings[1].id, 102u);
    EXPECT_EQ(script.strings[1].text, "C:\\dir");
    EXPECT_EQ(script.strings[2].id, 0xFFFFu);
}

TEST_F(ScriptTest, ControlStatementsAddTheWindowsDefaultStyles) {
    struct Case {
        const char* statement;
        const char* windowClass;
        DWORD style;
    };
    const DWORD child = WS_CHILD | WS_VISIBLE;
    const Case cases[] = {
        {"LTEXT \"a\", 1, 0, 0, 5, 5", "STATIC", child | SS_LEFT | WS_GROUP},
        {"RTEXT \"a\", 1, 0, 0, 5, 5", "STATIC", child | SS_RIGHT | WS_GROUP},
        {"CTEXT \"a\", 1, 0, 0, 5, 5", "STATIC", child | SS_CENTER | WS_GROUP},
        {"EDITTEXT 1, 0, 0, 5, 5", "EDIT", child | ES_LEFT | WS_BORDER | WS_TABSTOP},
        {"COMBOBOX 1, 0, 0, 5, 5", "COMBOBOX", child | CBS_SIMPLE | WS_TABSTOP},
        {"PUSHBUTTON \"a\", 1, 0, 0, 5, 5", "BUTTON", child | BS_PUSHBUTTON | WS_TABSTOP},
        {"DEFPUSHBUTTON \"a\", 1, 0, 0, 5, 5", "BUTTON", child | BS_DEFPUSHBUTTON | WS_TABSTOP},
        {"GROUPBOX \"a\", 1, 0, 0, 5, 5", "BUTTON", child | BS_GROUPBOX},
        {"CONTROL \"a\", 1, \"Button\", BS_AUTOCHECKBOX, 0, 0, 5, 5", "BUTTON",
         child | BS_AUTOCHECKBOX},
        {"CONTROL \"a\", 1, \"msctls_trackbar32\", 0, 0, 0, 5, 5", "msctls_trackbar32", child},
        // NOT takes away what the statement gives by default.
        {"EDITTEXT 1, 0, 0, 5, 5, ES_READONLY | NOT WS_TABSTOP", "EDIT",
         child | ES_READONLY | WS_BORDER},
        {"PUSHBUTTON \"a\", 1, 0, 0, 5, 5, NOT WS_VISIBLE | WS_DISABLED", "BUTTON",
         WS_CHILD | WS_DISABLED | WS_TABSTOP},
        {"CONTROL \"a\", 1, \"Static\", SS_BITMAP | NOT WS_VISIBLE, 0, 0, 5, 5", "STATIC",
         WS_CHILD | SS_BITMAP},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.statement);
        const DLGITEMTEMPLATEDATA item = OnlyControl(Compile(Dialog(c.statement)));
        EXPECT_EQ(item.windowClass, c.windowClass);
        EXPECT_EQ(item.style, c.style) << std::hex << item.style;
        EXPECT_EQ(item.exStyle, 0u);
    }
}

TEST_F(ScriptTest, ControlTailsCarryStyleThenExtendedStyle) {
    const DLGITEMTEMPLATEDATA text = OnlyControl(Compile(
        Dialog("LTEXT \"x\", IDC_STATIC, -3, 4, 50, 8, SS_NOPREFIX, WS_EX_STATICEDGE, 77")));
    EXPECT_EQ(text.id, -1);
    EXPECT_EQ(text.x, -3);
    EXPECT_EQ(text.cx, 50);
    EXPECT_EQ(text.style, DWORD{WS_CHILD | WS_VISIBLE | SS_LEFT | WS_GROUP | SS_NOPREFIX});
    EXPECT_EQ(text.exStyle, DWORD{WS_EX_STATICEDGE});

    const DLGITEMTEMPLATEDATA control = OnlyControl(
        Compile(Dialog("CONTROL \"\", 5, \"Edit\", ES_NUMBER, 1, 2, 3, 4, WS_EX_CLIENTEDGE")));
    EXPECT_EQ(control.windowClass, "EDIT");
    EXPECT_EQ(control.style, DWORD{WS_CHILD | WS_VISIBLE | ES_NUMBER});
    EXPECT_EQ(control.exStyle, DWORD{WS_EX_CLIENTEDGE});
    EXPECT_EQ(control.cy, 4);
}

TEST_F(ScriptTest, DialogOptionsAndTheStylesTheyImply) {
    ResourceScript script = Compile(
        "#include \"afxres.h\"\n"
        "LANGUAGE LANG_GERMAN, SUBLANG_GERMAN\n"
        "10 DIALOGEX 1, 2, 30, 40\n"
        "CAPTION \"Plain\"\n"
        "BEGIN\nEND\n"
        "NAMED DIALOGEX 0, 0, 5, 5\n"
        "STYLE WS_CHILD\n"
        "EXSTYLE WS_EX_TOOLWINDOW\n"
        "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_UK\n"
        "FONT 9, \"Segoe UI\", 700, 1, 0xEE\n"
        "CLASS \"MyDialog\"\n"
        "BEGIN\nEND\n");
    ASSERT_EQ(script.dialogs.size(), 2u);
    const DLGTEMPLATEDATA& plain = script.dialogs[0].dialog;
    EXPECT_EQ(script.dialogs[0].name.number, 10u);
    EXPECT_EQ(plain.language, 0x0407);
    // Without STYLE: WS_POPUP | WS_BORDER | WS_SYSMENU; a caption brings WS_CAPTION along.
    EXPECT_EQ(plain.style, DWORD{WS_POPUP | WS_BORDER | WS_SYSMENU | WS_CAPTION});
    EXPECT_EQ(plain.cy, 40);

    const DLGTEMPLATEDATA& named = script.dialogs[1].dialog;
    EXPECT_EQ(script.dialogs[1].name.text, "NAMED");
    EXPECT_EQ(named.language, 0x0809);
    EXPECT_EQ(named.style, DWORD{WS_CHILD | DS_SETFONT});  // FONT implies DS_SETFONT
    EXPECT_EQ(named.exStyle, DWORD{WS_EX_TOOLWINDOW});
    EXPECT_EQ(named.pointSize, 9);
    EXPECT_EQ(named.typeface, "Segoe UI");
    EXPECT_EQ(named.weight, 700);
    EXPECT_EQ(named.italic, 1);
    EXPECT_EQ(named.charset, 0xEE);
    EXPECT_EQ(named.windowClass, "MyDialog");
}

TEST_F(ScriptTest, ConditionalsAndHeadersFollowThePreprocessor) {
    // Of a header only its directives count, whatever else it holds.
    Write("config.h",
          "#pragma once\n"
          "struct Config { const char* name = \"#define WRONG 1\"; };\n"
          "/* #define WRONG 2 */\n"
          "#define LEVEL 2\n"
          "#define FEATURE\n"
          "#define GONE 1\n"
          "#undef GONE\n"
          "#define CAPTION_TEXT \"From a macro\"\n");
    ResourceScript script = Compile(
        "#include \"config.h\"\n"
        "#ifdef APSTUDIO_INVOKED\n"
        "this is not a statement ' at all\n"
        "#endif\n"
        "#if defined(FEATURE) && LEVEL > 1 && !defined GONE && !defined(WRONG)\n"
        "STRINGTABLE BEGIN 1 \"taken\" END\n"
        "#elif 1\n"
        "STRINGTABLE BEGIN 1 \"elif\" END\n"
        "#else\n"
        "STRINGTABLE BEGIN 1 \"else\" END\n"
        "#endif\n"
        "#ifndef FEATURE\n"
        "#  if 1\n"
        "STRINGTABLE BEGIN 2 \"nested in a false branch\" END\n"
        "#  endif\n"
        "#else\n"
        "STRINGTABLE BEGIN 2 CAPTION_TEXT END\n"
        "#endif\n");
    ASSERT_EQ(script.strings.size(), 2u);
    EXPECT_EQ(script.strings[0].text, "taken");
    EXPECT_EQ(script.strings[1].text, "From a macro");
}

TEST_F(ScriptTest, BitmapsAndManifestsEmbedTheirFiles) {
    std::string bmp = "BM" + std::string(60, '\x01');
    Write("res/icon.bmp", bmp);
    Write("res/app.manifest", "<assembly/>");
    ResourceScript script = Compile(
        "#include \"afxres.h\"\n"
        "Icon BITMAP \"res\\\\icon.bmp\"\n"
        "ISOLATIONAWARE_MANIFEST_RESOURCE_ID RT_MANIFEST \"res/app.manifest\"\n"
        "7 24 \"res/app.manifest\"\n");
    ASSERT_EQ(script.data.size(), 3u);
    EXPECT_EQ(script.data[0].kind, ResourceKind::Bitmap);
    EXPECT_EQ(script.data[0].name.text, "ICON");  // names are kept in upper case
    EXPECT_EQ(std::string(script.data[0].bytes.begin(), script.data[0].bytes.end()), bmp);
    EXPECT_EQ(script.data[1].kind, ResourceKind::Manifest);
    EXPECT_EQ(script.data[1].name.number, 2u);
    EXPECT_EQ(script.data[2].name.number, 7u);
    EXPECT_EQ(script.data[2].bytes.size(), 11u);

    // What the generated source must be rebuilt for.
    const auto& files = m_source->Dependencies();
    auto listed = [&](const fs::path& file) {
        return std::find(files.begin(), files.end(), fs::absolute(file).lexically_normal()) !=
               files.end();
    };
    EXPECT_TRUE(listed(m_dir / "test.rc"));
    EXPECT_TRUE(listed(fs::path(TRAVEX_MFC_INCLUDE_DIR) / "afxres.h"));
    EXPECT_TRUE(listed(m_dir / "res/icon.bmp"));
    EXPECT_TRUE(listed(m_dir / "res/app.manifest"));
}

TEST_F(ScriptTest, VersionInfoKeepsVersionsAndStrings) {
    ResourceScript script = Compile(
        "#include \"afxres.h\"\n"
        "VS_VERSION_INFO VERSIONINFO\n"
        " FILEVERSION 2,5\n"
        " PRODUCTVERSION 3,0,1,65535\n"
        " FILEFLAGSMASK 0x3fL\n FILEFLAGS 0x0L\n FILEOS VOS_NT_WINDOWS32\n"
        " FILETYPE VFT_DLL\n FILESUBTYPE 0x0L\n"
        "BEGIN\n"
        "  BLOCK \"StringFileInfo\"\n  BEGIN\n    BLOCK \"040904b0\"\n    BEGIN\n"
        "      VALUE \"InternalName\", \"X\\0\"\n"
        "      VALUE \"Comments\", \"with \"\"quotes\"\"\"\n"
        "    END\n  END\n"
        "  BLOCK \"VarFileInfo\"\n  BEGIN\n    VALUE \"Translation\", 0x409, 1200\n  END\n"
        "END\n");
    ASSERT_TRUE(script.version.has_value());
    EXPECT_EQ(std::vector<WORD>(script.version->fileVersion, script.version->fileVersion + 4),
              (std::vector<WORD>{2, 5, 0, 0}));
    EXPECT_EQ(std::vector<WORD>(script.version->productVersion, script.version->productVersion + 4),
              (std::vector<WORD>{3, 0, 1, 65535}));
    EXPECT_EQ(script.version->strings.at("InternalName"), "X");  // the old "\0" ending dropped
    EXPECT_EQ(script.version->strings.at("Comments"), "with \"quotes\"");
}

TEST_F(ScriptTest, StatementFaultsNameFileAndLine) {
    struct Case {
        std::string script;
        int line;
        std::string message;
    };
    const Case cases[] = {
        {"\n\nIDR_MAIN ACCELERATORS\nBEGIN\nEND\n", 3, "unknown statement 'ACCELERATORS'"},
        {"STRINGTABLE\nBEGIN\n  12x \"a\"\nEND\n", 3, "bad number '12x'"},
        {"STRINGTABLE\nBEGIN\n  0x1FFFFFFFF \"a\"\nEND\n", 3, "does not fit in 32 bits"},
        {"STRINGTABLE\nBEGIN\n  70000 \"a\"\nEND\n", 3, "string id 70000 is out of range"},
        {"STRINGTABLE\nBEGIN\n  1 \"a\"\n  1 \"b\"\nEND\n", 4, "string 1 is defined twice"},
        {"STRINGTABLE\nBEGIN\n  IDS_MISSING \"a\"\nEND\n", 3,
         "'IDS_MISSING' is neither a number nor a defined symbol"},
        {"STRINGTABLE\nBEGIN\n  1 \"open\nEND\n", 3, "string is not closed"},
        {"STRINGTABLE\nBEGIN\n  1 \"a\"\n", 4, "STRINGTABLE is not closed: END is missing"},
        {"1 DIALOGEX 0, 0, 5, 5\nBEGIN\n  LISTBOX 1, 0, 0, 5, 5\nEND\n", 3,
         "unknown control statement 'LISTBOX'"},
        {"1 DIALOGEX 0, 0, 5, 5\nBEGIN\n  PUSHBUTTON \"a\" 1, 0, 0, 5, 5\nEND\n", 3,
         "expected ','"},
        {"1 DIALOGEX 0, 0, 40000, 5\nBEGIN\nEND\n", 1, "width 40000 is out of range"},
        {"1 DIALOGEX 0, 0, 5, 5\nSTYLE 1\nTITLE \"x\"\nBEGIN\nEND\n", 3,
         "unknown dialog statement 'TITLE'"},
        {"1 DIALOG 0, 0, 5, 5\nBEGIN\nEND\n1 DIALOGEX 0, 0, 5, 5\nBEGIN\nEND\n", 4,
         "dialog 1 is defined twice"},
        {"\nICON BITMAP \"missing.bmp\"\n", 2, "bitmap file 'missing.bmp' not found"},
        {"1 VERSIONINFO\nBEGIN\n BLOCK \"StringFileInfo\"\n BEGIN\n  BLOCK \"English\"\n", 5,
         "must name a language and code page"},
        {"1 VERSIONINFO\nBEGIN\n BLOCK \"VarFileInfo\"\n BEGIN\n  VALUE \"Translation\", 1\n", 5,
         "needs pairs of language and code page"},
        {"#include \"nowhere.h\"\n", 1, "cannot find include file 'nowhere.h'"},
        {"\n#ifdef X\n", 2, "#if without #endif"},
        {"#endif\n", 1, "#endif without #if"},
        {"#incldue \"afxres.h\"\n", 1, "unknown directive '#incldue'"},
        {"#define SELF SELF\nSTRINGTABLE BEGIN SELF \"a\" END\n", 2, "expands into itself"},
        {"/* open\n\n", 1, "comment is not closed"},
        {"END\n", 1, "outside a resource"},
        {"1 DIALOG", 1, "expected a number, found end of file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        std::string fault = FaultOf(c.script);
        EXPECT_EQ(fault.rfind(At("test.rc", c.line), 0), 0u) << fault;
        EXPECT_NE(fault.find(c.message), std::string::npos) << fault;
    }
}

TEST_F(ScriptTest, FaultsInIncludedFilesNameThatFile) {
    Write("bad.h", "#define OK 1\n\n#if OK +\n#endif\n");
    std::string fault = FaultOf("#include \"bad.h\"\n");
    EXPECT_EQ(fault.rfind(At("bad.h", 3), 0), 0u) << fault;

    Write("notbmp.bmp", "GIF89a and then some more bytes");
    fault = FaultOf("\n\nPIC BITMAP \"notbmp.bmp\"\n");
    EXPECT_EQ(fault.rfind(At("test.rc", 3), 0), 0u) << fault;
    EXPECT_NE(fault.find("is not a BMP file"), std::string::npos) << fault;
}

TEST(TableSourceWriter, StringLiteralsKeepEveryByte) {
    using travexrc::CppStringLiteral;
    EXPECT_EQ(CppStringLiteral("say \"hi\"\\"), R"("say \"hi\"\\")");
    EXPECT_EQ(CppStringLiteral("a\nb\tc"), R"("a\nb\tc")");
    // A digit after an escaped byte must not become part of the escape.
    EXPECT_EQ(CppStringLiteral(std::string("\x01") + "7"), R"("\0017")");
    EXPECT_EQ(CppStringLiteral(std::string("\0", 1)), R"("\000")");
    EXPECT_EQ(CppStringLiteral("\xC3\xA9"), R"("\303\251")");
}

}  // namespace
