// CModuleLoader: the seven exports resolved by name, and a clear word when one is missing.
#include <ModuleLoader.h>
#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ModuleLoader, ResolvesEveryExportOfACompleteModule) {
    CModuleLoader loader;
    std::string error;
    ASSERT_TRUE(loader.Load(FAKE_MODULE_FULL, error)) << error;
    EXPECT_TRUE(loader.IsLoaded());
    EXPECT_STREQ(loader.GetClassName(), "FakeClass");
    EXPECT_STREQ(loader.GetName(), "Fake");
    EXPECT_EQ(loader.GetOrderID(), 77);
    EXPECT_NE(loader.IsEnabled, nullptr);
    EXPECT_NE(loader.GetDefaultParameters, nullptr);
    EXPECT_NE(loader.EditMotionSequence, nullptr);
    EXPECT_NE(loader.TranslateMotionSequence, nullptr);

    loader.Unload();
    EXPECT_FALSE(loader.IsLoaded());
    EXPECT_EQ(loader.GetClassName, nullptr);
    EXPECT_EQ(loader.TranslateMotionSequence, nullptr);
}

TEST(ModuleLoader, NamesTheMissingExportAndLeavesNothingLoaded) {
    struct Case {
        const char* module;
        const char* missing;
    };
    for (const Case& c : {Case{FAKE_MODULE_WITHOUT_EDIT, "EditMotionSequence"},
                          Case{FAKE_MODULE_CLASS_ONLY, "GetName"}}) {
        CModuleLoader loader;
        std::string error;
        EXPECT_FALSE(loader.Load(c.module, error));
        EXPECT_NE(error.find(c.module), std::string::npos) << error;
        EXPECT_NE(error.find(std::string("does not export ") + c.missing), std::string::npos)
            << error;
        EXPECT_FALSE(loader.IsLoaded());
        EXPECT_EQ(loader.GetClassName, nullptr) << "a half-resolved module stays usable";
    }
}

TEST(ModuleLoader, FailedLoadUnloadsTheModuleLoadedBefore) {
    CModuleLoader loader;
    std::string error;
    ASSERT_TRUE(loader.Load(FAKE_MODULE_FULL, error)) << error;
    EXPECT_FALSE(loader.Load(FAKE_MODULE_WITHOUT_EDIT, error));
    EXPECT_FALSE(loader.IsLoaded());
    EXPECT_EQ(loader.GetOrderID, nullptr);
}

TEST(ModuleLoader, MissingOrUnloadableFileIsNamed) {
    CModuleLoader loader;
    std::string error;
    EXPECT_FALSE(loader.Load("/nonexistent/Travex.so", error));
    EXPECT_NE(error.find("/nonexistent/Travex.so"), std::string::npos) << error;
    EXPECT_FALSE(loader.IsLoaded());

    // Not a shared object at all.
    EXPECT_FALSE(loader.Load(__FILE__, error));
    EXPECT_NE(error.find(__FILE__), std::string::npos) << error;
}

TEST(ModuleLoader, BareFileNameMeansTheCurrentDirectoryNotTheLibraryPath) {
    // dlopen would find the C library on the library path; a host names files, not libraries.
    CModuleLoader loader;
    std::string error;
    EXPECT_FALSE(loader.Load("libc.so.6", error));
    EXPECT_NE(error.find("libc.so.6"), std::string::npos) << error;
    EXPECT_EQ(error.find("does not export"), std::string::npos) << "it was found: " << error;
}

}  // namespace
