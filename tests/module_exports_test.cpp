// The module as the host sees it: loaded with dlopen, used only through its exports.
#include <MotionModule.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>

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
    template <typename Fn>
    Fn Export(const char* name) {
        void* symbol = dlsym(handle, name);
        EXPECT_NE(symbol, nullptr) << name;
        return reinterpret_cast<Fn>(symbol);
    }

    TestHost host;
    void* handle = nullptr;
};

std::unique_ptr<CMC_Setup> SetupFrom(const std::string& text) {
    CString error;
    auto setup = CMC_Setup::LoadFromText(text, "test.ini", error);
    EXPECT_TRUE(setup) << error.GetString();
    return setup;
}

std::string SetupText(const char* controller, const char* closed, const char* variables) {
    return std::string("[Setup]\nName=Test\nMotionController=") + controller +
           "\n[Options]\nIsClosedPosition=" + closed + "\n[Variables]\n" + variables;
}

TEST_F(LoadedModule, Identity) {
    using namespace motion_module;
    EXPECT_STREQ(Export<GetClassNameFn>(kGetClassName)(), "Motion");
    EXPECT_STREQ(Export<GetNameFn>(kGetName)(), "PT");
    EXPECT_EQ(Export<GetOrderIDFn>(kGetOrderID)(), 4144);
}

TEST_F(LoadedModule, EnabledOnlyForClosedLoopDrivesWithThePtVariables) {
    auto isEnabled = Export<motion_module::IsEnabledFn>(motion_module::kIsEnabled);
    const char* all = "PVTBUFBEGIN=int\nPVTBUFLEN=int\nTPOS=long\nATIME=long\n";
    EXPECT_EQ(isEnabled(*host.setup), 1);
    EXPECT_EQ(isEnabled(*SetupFrom(SetupText("0", "1", all))), 1);
    EXPECT_EQ(isEnabled(*SetupFrom(SetupText("1", "1", all))), 0);
    EXPECT_EQ(isEnabled(*SetupFrom(SetupText("0", "0", all))), 0);
    for (const char* missing : {"PVTBUFBEGIN", "PVTBUFLEN", "TPOS", "ATIME"}) {
        std::string variables;
        for (const char* name : {"PVTBUFBEGIN", "PVTBUFLEN", "TPOS", "ATIME"}) {
            if (std::string(name) != missing) variables += std::string(name) + "=long\n";
        }
        EXPECT_EQ(isEnabled(*SetupFrom(SetupText("0", "1", variables.c_str()))), 0) << missing;
    }
}

TEST_F(LoadedModule, DefaultParametersReplaceTheText) {
    auto defaults =
        Export<motion_module::GetDefaultParametersFn>(motion_module::kGetDefaultParameters);
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
    using namespace motion_module;
    auto defaults = Export<GetDefaultParametersFn>(kGetDefaultParameters);
    auto translate = Export<TranslateMotionSequenceFn>(kTranslateMotionSequence);
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

// The module shows the host its exports and nothing else.
TEST(ModuleSymbols, OnlyTheExportsAreVisible) {
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
    const std::set<std::string> expected = {"GetClassName",
                                            "GetName",
                                            "GetOrderID",
                                            "IsEnabled",
                                            "GetDefaultParameters",
                                            "EditMotionSequence",
                                            "TranslateMotionSequence"};
    EXPECT_EQ(names, expected);
}

}  // namespace
