// The module's other resources: the version record, the MODULEICON bitmap and the manifest.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

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

// Little-endian fields of a BMP file.
DWORD Read32(const std::vector<BYTE>& bytes, size_t offset) {
    return DWORD{bytes.at(offset)} | DWORD{bytes.at(offset + 1)} << 8 |
           DWORD{bytes.at(offset + 2)} << 16 | DWORD{bytes.at(offset + 3)} << 24;
}
WORD Read16(const std::vector<BYTE>& bytes, size_t offset) {
    return static_cast<WORD>(bytes.at(offset) | bytes.at(offset + 1) << 8);
}

TEST(ModuleResources, IconIsA16By16SixteenColourBitmap) {
    const std::vector<BYTE>* bitmap =
        TravexResourceTable().FindData(ResourceKind::Bitmap, "MODULEICON");
    ASSERT_NE(bitmap, nullptr);
    const std::vector<BYTE>& bytes = *bitmap;
    ASSERT_GE(bytes.size(), 54u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(Read32(bytes, 2), bytes.size());  // bfSize

    EXPECT_EQ(Read32(bytes, 14), 40u);  // BITMAPINFOHEADER
    EXPECT_EQ(static_cast<LONG>(Read32(bytes, 18)), 16);
    LONG height = static_cast<LONG>(Read32(bytes, 22));
    EXPECT_TRUE(height == 16 || height == -16) << height;
    EXPECT_EQ(Read16(bytes, 26), 1);   // planes
    EXPECT_EQ(Read16(bytes, 28), 4);   // bits per pixel
    EXPECT_EQ(Read32(bytes, 30), 0u);  // BI_RGB, uncompressed
    DWORD colours = Read32(bytes, 46);
    EXPECT_TRUE(colours == 0 || colours == 16) << colours;

    // 16 palette entries, then 16 rows of 16 four-bit pixels (8 bytes, already 4-aligned).
    DWORD pixels = Read32(bytes, 10);
    EXPECT_EQ(pixels, 14u + 40u + 16u * 4u);
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
    const std::vector<BYTE>* manifest = TravexResourceTable().FindData(ResourceKind::Manifest, 2u);
    ASSERT_NE(manifest, nullptr);
    std::string xml(manifest->begin(), manifest->end());
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
