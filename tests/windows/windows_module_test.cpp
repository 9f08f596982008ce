// Travex.dll as a Windows host sees it: loaded with LoadLibrary, used through the seven exports
// found by their plain names, its resources in the DLL's own resource section.
#include <ModuleLoader.h>
#include <MotionModule.h>
#include <WindowsLibrary.h>
#include <afxdlgtemplate.h>
#include <afxresmodule.h>
#include <afxrestable.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

namespace {

// The resources as comparable values: type, name, language and bytes.
using Resource = std::tuple<CResourceName, CResourceName, WORD, std::vector<BYTE>>;

std::vector<Resource> Values(const std::vector<CResourceEntry>& entries) {
    std::vector<Resource> values;
    for (const CResourceEntry& entry : entries) {
        values.emplace_back(entry.type, entry.name, entry.language,
                            std::vector<BYTE>(entry.data.begin(), entry.data.end()));
    }
    std::sort(values.begin(), values.end());
    return values;
}

TEST(WindowsModule, ExportsAreFoundByTheirPlainNamesOnly) {
    std::string reason;
    void* library = LoadWindowsLibrary(TRAVEX_MODULE_PATH, reason);
    ASSERT_NE(library, nullptr) << reason;
    for (const motion_module::ExportEntry& entry : motion_module::kExports) {
        EXPECT_NE(FindWindowsExport(library, entry.name), nullptr) << entry.name;
        // Neither the leading underscore of a C name nor __stdcall's "@bytes".
        EXPECT_EQ(FindWindowsExport(library, ("_" + std::string(entry.name)).c_str()), nullptr);
    }
    for (const char* decorated :
         {"GetName@0", "IsEnabled@4", "_Z7GetNamev", "TravexResourceTable"}) {
        EXPECT_EQ(FindWindowsExport(library, decorated), nullptr) << decorated;
    }
    FreeWindowsLibrary(library);
}

TEST(WindowsModule, TheCallsCrossTheBoundaryWithTheirResults) {
    CModuleLoader module;
    std::string error;
    ASSERT_TRUE(module.Load(TRAVEX_MODULE_PATH, error)) << error;
    EXPECT_STREQ(module.GetClassName(), "Motion");
    EXPECT_STREQ(module.GetName(), "PT");
    EXPECT_EQ(module.GetOrderID(), 0x1030);
}

// The linker's resource section holds what windres compiled from the script, byte for byte, and
// the module reads its table from there: the dialog template, the strings and the version.
TEST(WindowsModule, ResourceSectionIsTheCompiledScript) {
    const std::vector<const CResourceTable*> before = AfxGetResourceChain();
    CModuleLoader module;
    std::string error;
    ASSERT_TRUE(module.Load(TRAVEX_MODULE_PATH, error)) << error;

    std::ifstream file(TRAVEX_MODULE_RES, std::ios::binary);
    ASSERT_TRUE(file) << TRAVEX_MODULE_RES;
    const std::vector<BYTE> resFile((std::istreambuf_iterator<char>(file)),
                                    std::istreambuf_iterator<char>());
    const std::vector<Resource> compiled = Values(AfxReadResourceFile(resFile));
    const std::vector<Resource> inSection =
        Values(AfxReadModuleResources(reinterpret_cast<const void*>(module.GetName)));
    EXPECT_EQ(inSection.size(), compiled.size());
    EXPECT_TRUE(inSection == compiled);

    // The module's table joined the chain when it was loaded, last (after the kernel's, whose
    // DLL the module's loading brings along), and the host finds template 214 and the version
    // record there.
    const std::vector<const CResourceTable*> after = AfxGetResourceChain();
    ASSERT_GT(after.size(), before.size());
    const CResourceTable* table = after.front();
    EXPECT_EQ(std::find(before.begin(), before.end(), table), before.end());
    const DLGTEMPLATEDATA* dialog = AfxFindDialogResource(214);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog, table->FindDialog(214));
    const DLGTEMPLATEDATA fromScript = AfxReadDialogTemplate(
        std::get<3>(*std::find_if(compiled.begin(), compiled.end(),
                                  [](const Resource& r) {
                                      return std::get<0>(r) == CResourceName(5) &&
                                             std::get<1>(r) == CResourceName(214);
                                  })),
        "dialog 214");
    EXPECT_EQ(dialog->caption, fromScript.caption);
    EXPECT_EQ(dialog->items.size(), fromScript.items.size());
    ASSERT_NE(table->GetVersion(), nullptr);
    EXPECT_EQ(table->GetVersion()->strings.at("InternalName"), "PT");

    module.Unload();
    EXPECT_EQ(AfxGetResourceChain(), before);
}

}  // namespace
