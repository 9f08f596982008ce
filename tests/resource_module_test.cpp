// The module's other resources as windres compiles them: the version record, the MODULEICON
// bitmap and the manifest.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "afxres.h"
#include "afxrestable.h"

const CResourceTable& TravexResourceTable();

namespace {

TEST(ModuleResources, VersionRecordNamesThePtModule) {
    const CVersionRecord* version = TravexResourceTable().GetVersion();
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(std::vector<WORD>(version->fileVersion, version->fileVersion + 4),
              (std::vector<WORD>{1, 0, 0, 1}));
    EXPECT_EQ(std::vector<WORD>(version->productVersion, version->productVersion + 4),
              (std::vector<WORD>{1, 0, 0, 1}));
    const std::map<std::string, std::string> expected = {
        {"CompanyName", "Travex"},          {"FileDescription", "PT motion module"},
        {"FileVersion", "1.0.0.1"},         {"InternalName", "PT"},
        {"OriginalFilename", "Travex.dll"}, {"ProductName", "Travex"},
        {"ProductVersion", "1.0.0.1"},
    };
    EXPECT_EQ(version->strings, expected);
}

// Little-endian fields of a bitmap.
DWORD Read32(std::span<const BYTE> bytes, size_t offset) {
    return DWORD{bytes[offset]} | DWORD{bytes[offset + 1]} << 8 | DWORD{bytes[offset + 2]} << 16 |
           DWORD{bytes[offset + 3]} << 24;
}
WORD Read16(std::span<const BYTE> bytes, size_t offset) {
    return static_cast<WORD>(bytes[offset] | bytes[offset + 1] << 8);
}

// A bitmap resource is a packed DIB, as LoadBitmap reads it: the file's header is left behind.
TEST(ModuleResources, IconIsA16By16SixteenColourBitmap) {
    const CResourceEntry* bitmap = TravexResourceTable().FindResource(RT_BITMAP, "ModuleIcon");
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->language, 0x0409);
    std::span<const BYTE> bytes = bitmap->data;
    ASSERT_GE(bytes.size(), 40u);
    EXPECT_EQ(Read32(bytes, 0), 40u);  // BITMAPINFOHEADER
    EXPECT_EQ(static_cast<LONG>(Read32(bytes, 4)), 16);
    LONG height = static_cast<LONG>(Read32(bytes, 8));
    EXPECT_TRUE(height == 16 || height == -16) << height;
    EXPECT_EQ(Read16(bytes, 12), 1);   // planes
    EXPECT_EQ(Read16(bytes, 14), 4);   // bits per pixel
    EXPECT_EQ(Read32(bytes, 16), 0u);  // BI_RGB, uncompressed
    DWORD colours = Read32(bytes, 32);
    EXPECT_TRUE(colours == 0 || colours == 16) << colours;

    // 16 palette entries, then 16 rows of 16 four-bit pixels (8 bytes, already 4-aligned).
    const size_t pixels = 40u + 16u * 4u;
    ASSERT_EQ(bytes.size(), pixels + 16u * 8u);

    // A picture, not a blank square.
    std::vector<bool> used(16, false);
    for (size_t i = pixels; i < bytes.size(); ++i) {
        used[bytes[i] >> 4] = true;
        used[bytes[i] & 0xF] = true;
    }
    EXPECT_GE(std::count(used.begin(), used.end(), true), 3);
}

TEST(ModuleResources, ManifestAsksForInvokerLevelAndDpiAwareness) {
    const CResourceEntry* manifest =
        TravexResourceTable().FindResource(RT_MANIFEST, ISOLATIONAWARE_MANIFEST_RESOURCE_ID);
    ASSERT_NE(manifest, nullptr);
    std::string xml(manifest->data.begin(), manifest->data.end());
    EXPECT_NE(xml.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\""),
              std::string::npos);
    size_t settings = xml.find("<windowsSettings>");
    size_t dpiAware = xml.find("<dpiAware");
    ASSERT_NE(settings, std::string::npos);
    ASSERT_NE(dpiAware, std::string::npos);
    EXPECT_LT(settings, dpiAware);
    EXPECT_LT(dpiAware, xml.find("</windowsSettings>"));
    EXPECT_NE(xml.find(">true</dpiAware>", dpiAware), std::string::npos);
}

// The format string that the module uses is the host's; a copy here would shadow it.
TEST(ModuleResources, LeavesTheHostsFormatStringToTheHost) {
    EXPECT_EQ(TravexResourceTable().FindString(20048), nullptr);
}

}  // namespace
