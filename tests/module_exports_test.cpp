// The module as the host sees it: loaded with dlopen, used only through its exports.
#include <MotionModule.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <string_view>

#include "TestHost.h"

namespace {

class LoadedModule : public ::testing::Test {
protected:
    void SetUp() override {
        handle = dlopen(TRAVEX_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
    }
    void TearDown() override {
        if (handle) dlclose(handle);
    }
    // The module's exports, resolved through the host's table.
    motion_module::Exports Exports() {
        motion_module::Exports exports;
        for (const motion_module::ExportEntry& entry : motion_module::kExports) {
            void* symbol = dlsym(handle, entry.name);
            EXPECT_NE(symbol, nullptr) << entry.name;
            if (symbol) entry.bind(exports, symbol);
        }
        return exports;
    }

    TestHost host;
    void* handle = nullptr;
};

std::unique_ptr<CDriveSetup> SetupFrom(const std::string& text) {
    CString error;
    auto setup = CDriveSetup::LoadFromText(text, "test.ini", error);
    EXPECT_TRUE(setup) << error.GetString();
    return setup;
}

std::string SetupText(const char* controller, const char* closed, const char* variables) {
    return std::string("[Setup]\nName=Test\nMotionController=") + controller +
           "\n[Options]\nIsClosedPosition=" + closed + "\n[Variables]\n" + variables;
}

TEST_F(LoadedModule, Identity) {
    const motion_module::Exports module = Exports();
    EXPECT_STREQ(module.GetClassName(), "Motion");
    EXPECT_STREQ(module.GetName(), "PT");
    EXPECT_EQ(module.GetOrderID(), 4144);
}

TEST_F(LoadedModule, EnabledOnlyForClosedLoopDrivesWithThePtVariables) {
    auto isEnabled = Exports().IsEnabled;
    const char* const kPtVariables[] = {"PVTBUFBEGIN", "PVTBUFLEN", "TPOS", "ATIME"};
    // The variables of a drive setup, all but `missing`.
    auto variables = [&](std::string_view missing = "") {
        std::string lines;
        for (const char* name : kPtVariables)
            if (name != missing) lines += std::string(name) + "=long\n";
        return lines;
    };
    EXPECT_EQ(isEnabled(*host.setup), 1);
    EXPECT_EQ(isEnabled(*SetupFrom(SetupText("0", "1", variables().c_str()))), 1);
    EXPECT_EQ(isEnabled(*SetupFrom(SetupText("1", "1", variables().c_str()))), 0);
    EXPECT_EQ(isEnabled(*SetupFrom(SetupText("0", "0", variables().c_str()))), 0);
    for (const char* missing : kPtVariables)
        EXPECT_EQ(isEnabled(*SetupFrom(SetupText("0", "1", variables(missing).c_str()))), 0)
            << missing;
}

TEST_F(LoadedModule, DefaultParametersReplaceTheText) {
    auto defaults = Exports().GetDefaultParameters;
    CString text = "something the caller held";
    defaults(*host.setup, host.motion, text);
    CString again;
    defaults(*host.setup, host.motion, again);
    EXPECT_EQ(text, again);
    EXPECT_EQ(text.str().find("something"), std::string::npos);

    // The text reads back as a new motion: one point, buffer cleared, immediate, waiting.
    CInternalData data(*host.setup, host.motion);
    CString error;
    EXPECT_EQ(data.ReadParameters(text, error), 0);
    EXPECT_STREQ(error, "Invalid number of points. You should have at least 2 points.");
    EXPECT_EQ(data.m_nClearBuffer, 1);
    EXPECT_EQ(data.m_nStartPoint, 0);
    EXPECT_EQ(data.m_bSetHostAddress, 0);
    EXPECT_EQ(data.m_nExecute, 0);
    EXPECT_EQ(data.m_nWaitForCompletion, 1);
    EXPECT_EQ(data.m_Time.GetValuesCount(), 1);
    EXPECT_EQ(data.m_Position.GetValuesCount(), 1);
    EXPECT_STREQ(data.m_Position.GetSelectedUnit(), "rot");
    EXPECT_STREQ(data.m_Time.GetSelectedUnit(), "s");
}

TEST_F(LoadedModule, TranslationGivesProgramOrErrorText) {
    const motion_module::Exports module = Exports();
    auto defaults = module.GetDefaultParameters;
    auto translate = module.TranslateMotionSequence;
    CString text;
    defaults(*host.setup, host.motion, text);
    CString output = "old output";
    EXPECT_EQ(translate(*host.setup, host.motion, text, output), 0);
    EXPECT_STREQ(output, "Invalid number of points. You should have at least 2 points.");

    CInternalData data(*host.setup, host.motion);
    SetPoints(data, {{0, 0}, {2000, 100}, {5000, 300}});
    data.m_nClearBuffer = 1;
    text.Empty();
    data.WriteParameters(text);
    EXPECT_EQ(translate(*host.setup, host.motion, text, output), 1);
    EXPECT_TRUE(output.str().starts_with("  SETPT 0xCF00; //Clear PT buffer\r\n"));
    EXPECT_NE(output.str().find("  PTP 3000L, 200U, 0; //PT(2.5[rot],0.24[s])\r\n"),
              std::string::npos);
}

std::set<std::string> TableNames() {
    std::set<std::string> names;
    for (const motion_module::ExportEntry& entry : motion_module::kExports)
        names.insert(entry.name);
    return names;
}

// The module shows the host the exports of its table and nothing else.
TEST(ModuleSymbols, DynamicSymbolsAreTheTablesExports) {
    const std::string command = std::string("nm -D --defined-only ") + TRAVEX_MODULE_PATH;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_TRUE(pipe);
    std::set<std::string> names;
    char line[512];
    while (fgets(line, sizeof line, pipe.get())) {
        std::string entry(line);
        const size_t space = entry.find_last_of(' ');
        std::string name = entry.substr(space + 1);
        name.erase(name.find_last_not_of("\r\n") + 1);
        // Version-script nodes and linker-made symbols are not code of the module.
        if (name.empty() || entry.find(" A ") != std::string::npos) continue;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 7u);
    EXPECT_EQ(names, TableNames());
}

// The version script lists the table's names as global, and makes everything else local.
TEST(ModuleSymbols, VersionScriptExportsTheTable) {
    std::ifstream file("plugin/Travex.map");
    ASSERT_TRUE(file) << "run from the source directory";
    std::stringstream text;
    text << file.rdbuf();
    std::istringstream words(text.str());
    std::set<std::string> global;
    std::string word, section;
    while (words >> word) {
        if (word == "global:" || word == "local:") {
            section = word;
        } else if (section == "global:" && word.back() == ';') {
            global.insert(word.substr(0, word.size() - 1));
        } else if (section == "local:") {
            EXPECT_EQ(word, "*;");
            section.clear();
        }
    }
    EXPECT_EQ(global, TableNames());
}

}  // namespace
