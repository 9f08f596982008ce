// The readers of compiled resources on scripts that windres compiles for them, and on bytes
// that no resource compiler writes.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "afxdlgtemplate.h"
#include "afxres.h"
#include "afxrestable.h"

const CResourceTable& ReaderCasesTable();
const CResourceTable& TravexResourceTable();

namespace {

const DLGTEMPLATEDATA& Dialog(const CResourceName& name) {
    const DLGTEMPLATEDATA* dialog = ReaderCasesTable().FindDialog(name);
    if (!dialog) throw std::runtime_error("dialog missing");
    return *dialog;
}

TEST(ResourceReader, OldStyleTemplateHasAFontWithoutWeightAndSixteenBitIds) {
    const DLGTEMPLATEDATA& dialog = Dialog(100u);
    EXPECT_EQ(dialog.style, DWORD{DS_SETFONT | WS_POPUP | WS_CAPTION});
    EXPECT_EQ(dialog.caption, "Old style");
    EXPECT_EQ(dialog.pointSize, 9);
    EXPECT_EQ(dialog.typeface, "Tahoma");
    EXPECT_EQ(dialog.x, 10);
    EXPECT_EQ(dialog.cy, 60);
    ASSERT_EQ(dialog.items.size(), 2u);
    EXPECT_EQ(dialog.items[0].id, -1);
    EXPECT_EQ(dialog.items[0].windowClass, "STATIC");
    EXPECT_EQ(dialog.items[0].text, "Label");
    EXPECT_EQ(dialog.items[1].id, 101);
    EXPECT_EQ(dialog.items[1].windowClass, "BUTTON");
    EXPECT_EQ(dialog.items[1].style, DWORD{WS_CHILD | WS_VISIBLE | WS_TABSTOP});
}

// A custom control's creation data is stepped over; the controls after it are still found.
TEST(ResourceReader, TemplateWithoutFontNamesItsMenuClassAndImages) {
    const DLGTEMPLATEDATA& dialog = Dialog("named");
    EXPECT_EQ(dialog.style, DWORD{WS_POPUP | WS_CAPTION});
    EXPECT_EQ(dialog.exStyle, DWORD{WS_EX_TOOLWINDOW});
    EXPECT_EQ(dialog.caption, "Größe in µm");
    EXPECT_EQ(dialog.menu, "#7");
    EXPECT_EQ(dialog.windowClass, "MYDIALOGCLASS");
    EXPECT_EQ(dialog.pointSize, 0);
    EXPECT_EQ(dialog.typeface, "");
    ASSERT_EQ(dialog.items.size(), 3u);
    EXPECT_EQ(dialog.items[0].windowClass, "CUSTOMGRAPH");
    EXPECT_EQ(dialog.items[0].text, "Plot");
    EXPECT_EQ(dialog.items[1].windowClass, "STATIC");
    EXPECT_EQ(dialog.items[1].text, "#5");
    EXPECT_EQ(dialog.items[1].style & SS_TYPEMASK, DWORD{SS_ICON});
    EXPECT_EQ(dialog.items[2].id, 302);
    EXPECT_EQ(dialog.items[2].windowClass, "EDIT");
    EXPECT_EQ(dialog.items[2].y, 44);
}

TEST(ResourceReader, FindsTheNearestLanguage) {
    struct Case {
        UINT name;
        WORD language;
        const char* caption;
    };
    const Case cases[] = {
        {200, 0x0409, "American"},    {200, 0x0809, "British"},   // exact
        {200, 0x0407, "Deutsch"},     {200, 0x0C09, "American"},  // exact; English (Australia)
        {201, 0x0409, "Nur Deutsch"},                             // the only one there is
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.name) + " in " + std::to_string(c.language));
        const CResourceEntry* entry =
            ReaderCasesTable().FindResource(RT_DIALOG, c.name, c.language);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(AfxReadDialogTemplate(entry->data, "dialog").caption, c.caption);
    }
    EXPECT_EQ(Dialog(200u).caption, "American");
    EXPECT_EQ(Dialog(200u).language, 0x0409);
    EXPECT_EQ(ReaderCasesTable().FindResource(RT_DIALOG, 202u), nullptr);
}

TEST(ResourceReader, StringsComeFromTheirBlocksOfSixteen) {
    const std::vector<std::pair<UINT, const char*>> strings = {
        {5, "five"}, {16, "sixteen"}, {31, "thirty-one, \"quoted\""}, {40000, "Größe"}};
    for (const auto& [id, text] : strings) {
        const std::string* found = ReaderCasesTable().FindString(id);
        ASSERT_NE(found, nullptr) << id;
        EXPECT_EQ(*found, text);
    }
    for (UINT absent : {0u, 4u, 6u, 15u, 17u, 32u, 39999u})
        EXPECT_EQ(ReaderCasesTable().FindString(absent), nullptr) << absent;
}

// Little-endian bytes written by hand, for what windres never writes.
struct Bytes {
    std::vector<BYTE> data;
    Bytes& Word(WORD w) {
        data.push_back(static_cast<BYTE>(w));
        data.push_back(static_cast<BYTE>(w >> 8));
        return *this;
    }
    Bytes& Dword(DWORD d) { return Word(static_cast<WORD>(d)).Word(static_cast<WORD>(d >> 16)); }
};

// The header of one .res entry with ordinal type and name.
Bytes ResHeader(DWORD dataSize, DWORD headerSize) {
    Bytes b;
    b.Dword(dataSize).Dword(headerSize).Word(0xFFFF).Word(RT_RCDATA).Word(0xFFFF).Word(1);
    b.Dword(0).Word(0x30).Word(0x0409).Dword(0).Dword(0);
    return b;
}

std::string FormatError(const std::function<void()>& read) {
    try {
        read();
    } catch (const CResourceFormatError& e) {
        return e.what();
    }
    return "(read without complaint)";
}

TEST(ResourceReader, MalformedBytesAreRefusedWithTheirPlace) {
    std::vector<BYTE> unterminatedCaption = Bytes()
                                                .Word(1)
                                                .Word(0xFFFF)
                                                .Dword(0)
                                                .Dword(0)
                                                .Dword(WS_POPUP)
                                                .Word(0)
                                                .Dword(0)
                                                .Dword(0)
                                                .Word(0)
                                                .Word(0)
                                                .Word('A')
                                                .data;
    std::vector<BYTE> missingControl = unterminatedCaption;
    missingControl.push_back(0);
    missingControl.push_back(0);
    missingControl[16] = 1;  // one control, and none follows
    Bytes badVersion;
    badVersion.Word(8).Word(0).Word(0).Word('V').Dword(0);
    struct Case {
        const char* what;
        std::function<void()> read;
        const char* message;
    };
    const Case cases[] = {
        {"caption without terminator",
         [&] { AfxReadDialogTemplate(unterminatedCaption, "dialog 9"); },
         "dialog 9 ends within 2 bytes at offset 32"},
        {"control count beyond the template",
         [&] { AfxReadDialogTemplate(missingControl, "dialog 9"); },
         "dialog 9 ends within 4 bytes at offset 34"},
        {"entry longer than the file", [] { AfxReadResourceFile(ResHeader(8, 32).data); },
         "resource file ends within 8 bytes at offset 32"},
        {"header shorter than its fields", [] { AfxReadResourceFile(ResHeader(0, 8).data); },
         "resource file has a header of 8 bytes at offset 0"},
        {"header beyond the file", [] { AfxReadResourceFile(ResHeader(0, 64).data); },
         "resource file has a header of 64 bytes at offset 0"},
        {"version record that is none", [&] { AfxReadVersionRecord(badVersion.data); },
         "version record is not a VS_VERSION_INFO with a fixed part"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatError(c.read), c.message) << c.what;
}

// Every cut of a real template fails cleanly: no read past its end (the sanitizer build checks).
TEST(ResourceReader, EveryTruncationOfTemplate214IsRefused) {
    const CResourceEntry* entry = TravexResourceTable().FindResource(RT_DIALOG, 214u);
    ASSERT_NE(entry, nullptr);
    for (size_t size = 0; size < entry->data.size(); ++size) {
        // The last control's creation-data count is its last word: any shorter cut loses it.
        std::vector<BYTE> cut(entry->data.begin(), entry->data.begin() + size);
        EXPECT_THROW(AfxReadDialogTemplate(cut, "dialog 214"), CResourceFormatError) << size;
    }
    EXPECT_EQ(AfxReadDialogTemplate(entry->data, "dialog 214").items.size(), 29u);
}

// Random bytes changed in real resources: each read either succeeds or is refused, and never
// reads outside the bytes (the sanitizer build checks).
TEST(ResourceReader, DamagedResourcesAreReadOrRefused) {
    std::mt19937 random(20261207);
    const CResourceEntry* dialog = TravexResourceTable().FindResource(RT_DIALOG, 214u);
    const CResourceEntry* version = TravexResourceTable().FindResource(RT_VERSION, 1u);
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(version, nullptr);
    for (int round = 0; round < 1000; ++round) {
        for (const CResourceEntry* entry : {dialog, version}) {
            std::vector<BYTE> bytes(entry->data.begin(), entry->data.end());
            for (int change = 0; change < 4; ++change)
                bytes[random() % bytes.size()] = static_cast<BYTE>(random());
            try {
                if (entry == dialog)
                    AfxReadDialogTemplate(bytes, "dialog 214");
                else
                    AfxReadVersionRecord(bytes);
            } catch (const CResourceFormatError&) {
            }
        }
    }
}

}  // namespace
