// travex-rc run as the build runs it: a process that writes a source and a dependency file, or
// reports the fault and fails.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int status;
    std::string output;  // stdout and stderr together
};

class CompilerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "travex-rc-cli-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path Write(const std::string& name, const std::string& contents) {
        std::ofstream(m_dir / name, std::ios::binary) << contents;
        return m_dir / name;
    }

    std::string Read(const std::string& name) {
        std::ifstream in(m_dir / name, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    ToolRun Compile(const std::string& arguments) {
        std::string command = std::string(TRAVEX_RC_PATH) + " " + arguments + " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return {-1, "popen failed"};
        std::string output;
        char buffer[256];
        while (size_t count = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, count);
        int status = pclose(pipe);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
    }

    ToolRun CompileScript(const std::string& script) {
        Write("broken.rc", script);
        return Compile("--function Table -o " + (m_dir / "out.cpp").string() + " " +
                       (m_dir / "broken.rc").string());
    }

    fs::path m_dir;
};

TEST_F(CompilerTest, WritesTheTableSourceAndItsDependencies) {
    Write("ids.h", "#define IDS_HELLO 5\n");
    Write("good.rc", "#include \"ids.h\"\nSTRINGTABLE\nBEGIN\n    IDS_HELLO \"Hello\"\nEND\n");
    ToolRun run =
        Compile("--function GoodTable --module Good -o " + (m_dir / "gen/good.cpp").string() +
                " --depfile " + (m_dir / "good.d").string() + " " + (m_dir / "good.rc").string());
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "");

    std::string source = Read("gen/good.cpp");
    EXPECT_NE(source.find("const CResourceTable& GoodTable() {"), std::string::npos);
    EXPECT_NE(source.find("CResourceTable(\"Good\")"), std::string::npos);
    EXPECT_NE(source.find("AddString(5u, \"Hello\");"), std::string::npos);

    std::string depfile = Read("good.d");
    EXPECT_EQ(depfile.rfind((m_dir / "gen/good.cpp").string() + ":", 0), 0u) << depfile;
    EXPECT_NE(depfile.find((m_dir / "good.rc").string()), std::string::npos) << depfile;
    EXPECT_NE(depfile.find((m_dir / "ids.h").string()), std::string::npos) << depfile;
}

TEST_F(CompilerTest, ScriptFaultsStopWithFileAndLine) {
    const std::string file = (m_dir / "broken.rc").string();
    struct Case {
        std::string script;
        std::string expected;
    };
    const Case cases[] = {
        {"\n\nIDR_MENU MENU\nBEGIN\nEND\n", file + ":3: error: unknown statement 'MENU'"},
        {"\nLOGO BITMAP \"res\\\\logo.bmp\"\n",
         file + ":2: error: bitmap file 'res\\logo.bmp' not found"},
        {"STRINGTABLE\nBEGIN\n    0x12G \"text\"\nEND\n", file + ":3: error: bad number '0x12G'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        ToolRun run = CompileScript(c.script);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.output.rfind(c.expected, 0), 0u) << run.output;
        // A failed run leaves nothing that a build could take for its output.
        EXPECT_FALSE(fs::exists(m_dir / "out.cpp"));
    }
}

TEST_F(CompilerTest, MissingScriptIsReported) {
    ToolRun run = Compile("--function Table -o " + (m_dir / "out.cpp").string() + " " +
                      (m_dir / "absent.rc").string());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("absent.rc: error: cannot read"), std::string::npos) << run.output;
}

TEST_F(CompilerTest, WrongCommandLineShowsUsage) {
    ToolRun noFunction = Compile("-o out.cpp script.rc");
    EXPECT_EQ(noFunction.status, 2);
    EXPECT_NE(noFunction.output.find("usage: travex-rc"), std::string::npos) << noFunction.output;

    ToolRun badName = Compile("--function 9lives -o out.cpp script.rc");
    EXPECT_EQ(badName.status, 2);
    EXPECT_NE(badName.output.find("not a C++ identifier"), std::string::npos) << badName.output;
}

}  // namespace
