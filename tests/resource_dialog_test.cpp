// Template 214 as windres compiles the module's script and the dialog manager reads it, held
// against the editor's layout.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "afxdlgtemplate.h"
#include "afxres.h"
#include "afxrestable.h"

const CResourceTable& TravexResourceTable();

namespace {

struct ExpectedControl {
    int id;
    const char* windowClass;
    const char* text;
    short x, y, cx, cy;
    DWORD style;
    DWORD exStyle;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kCheckBox = kChild | BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kRadio = kChild | BS_AUTORADIOBUTTON;
constexpr DWORD kPush = kChild | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kEdit = kChild | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kUnitList = kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kRightLabel = kChild | SS_RIGHT | WS_GROUP;

// The layout of the PT editor, control by control in tab order.
const std::vector<ExpectedControl> kLayout = {
    {1507, "BUTTON", "Host address =", 20, 6, 63, 10, kCheckBox, 0},
    {1508, "EDIT", "", 85, 4, 25, 14, kEdit, 0},
    {1506, "BUTTON", "Clear PT Buffer", 127, 6, 64, 10, kCheckBox, 0},
    {-1, "STATIC", "Position", 32, 24, 26, 8, kRightLabel, 0},
    {1010, "EDIT", "", 62, 21, 60, 14, kEdit, 0},
    {1018, "COMBOBOX", "", 127, 22, 55, 66, kUnitList, 0},
    {-1, "STATIC", "Time", 42, 41, 16, 8, kRightLabel, 0},
    {1009, "EDIT", "", 62, 38, 60, 14, kEdit, 0},
    {1017, "COMBOBOX", "", 127, 39, 55, 66, kUnitList, 0},
    {1013, "BUTTON", "&<<", 62, 58, 50, 14, kPush, 0},
    {1014, "BUTTON", ">&>", 117, 58, 50, 14, kPush, 0},
    {1000, "BUTTON", "&Remove", 37, 75, 50, 14, kPush, 0},
    {1001, "BUTTON", "&Update", 93, 75, 50, 14, kPush, 0},
    {1002, "BUTTON", "&Insert", 149, 75, 50, 14, kPush, 0},
    {1015, "STATIC", "Values relative to starting point of PT", 43, 90, 140, 8,
     kChild | SS_LEFT | WS_GROUP, 0},
    {1016, "STATIC", "Static", 7, 108, 238, 129, kChild | SS_CENTER | SS_CENTERIMAGE | WS_GROUP,
     WS_EX_CLIENTEDGE},
    {-1, "BUTTON", "Execute", 207, 3, 115, 104, kChild | BS_GROUPBOX, 0},
    {1011, "BUTTON", "&Immediate", 211, 16, 46, 10, kRadio | WS_GROUP, 0},
    {1012, "BUTTON", "&On event", 211, 44, 45, 10, kRadio, 0},
    {1021, "BUTTON", "Then wait until motion is completed", 259, 10, 60, 23,
     kCheckBox | BS_MULTILINE, 0},
    {1503, "BUTTON", "Change Event", 257, 36, 60, 12, kPush, 0},
    {1504, "BUTTON", "Edit Event", 257, 50, 60, 12, kPush, 0},
    {1505, "EDIT", "", 211, 67, 106, 38,
     kChild | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_WANTRETURN | WS_BORDER, 0},
    {1003, "BUTTON", "I&mport From File", 251, 165, 66, 14, kPush, 0},
    {1019, "BUTTON",
     "Generate new trajectory starting from actual values of position and speed reference", 16, 240,
     290, 10, kRadio | WS_GROUP, 0},
    {1020, "BUTTON",
     "Generate new trajectory starting from actual values of load/motor position and speed", 16,
     254, 290, 10, kRadio, 0},
    {1, "BUTTON", "OK", 78, 270, 50, 14, kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
    {2, "BUTTON", "Cancel", 144, 270, 50, 14, kPush, 0},
    {57671, "BUTTON", "Help", 210, 270, 50, 14, kPush, 0},
};

const DLGTEMPLATEDATA& Template214() {
    const DLGTEMPLATEDATA* dialog = TravexResourceTable().FindDialog(214u);
    if (!dialog) throw std::runtime_error("template 214 is missing");
    return *dialog;
}

TEST(Template214, FrameCaptionAndFont) {
    const CResourceEntry* compiled = TravexResourceTable().FindResource(RT_DIALOG, 214u);
    ASSERT_NE(compiled, nullptr);
    ASSERT_GE(compiled->data.size(), 4u);
    // dlgVer 1 and signature 0xFFFF: a DLGTEMPLATEEX.
    EXPECT_EQ(std::vector<BYTE>(compiled->data.begin(), compiled->data.begin() + 4),
              (std::vector<BYTE>{1, 0, 0xFF, 0xFF}));
    EXPECT_EQ(compiled->language, 0x0409);

    const DLGTEMPLATEDATA& dialog = Template214();
    EXPECT_EQ(dialog.language, 0x0409);
    EXPECT_EQ(dialog.caption, "Motion - PT");
    EXPECT_EQ(dialog.style, DWORD{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
                                  DS_CONTEXTHELP | DS_SETFONT});
    EXPECT_EQ(dialog.exStyle, 0u);
    EXPECT_EQ(dialog.x, 0);
    EXPECT_EQ(dialog.y, 0);
    EXPECT_EQ(dialog.cx, 324);
    EXPECT_EQ(dialog.cy, 290);
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.typeface, "MS Sans Serif");
    EXPECT_EQ(dialog.weight, 0);
    EXPECT_EQ(dialog.italic, 0);
    EXPECT_EQ(dialog.charset, 1);
    EXPECT_EQ(dialog.menu, "");
    EXPECT_EQ(dialog.windowClass, "");
}

TEST(Template214, ControlsInTabOrder) {
    const DLGTEMPLATEDATA& dialog = Template214();
    ASSERT_EQ(dialog.items.size(), 29u);
    for (size_t i = 0; i < kLayout.size(); ++i) {
        const ExpectedControl& expected = kLayout[i];
        const DLGITEMTEMPLATEDATA& item = dialog.items[i];
        SCOPED_TRACE("control " + std::to_string(i) + ", id " + std::to_string(expected.id));
        EXPECT_EQ(item.id, expected.id);
        EXPECT_EQ(item.windowClass, expected.windowClass);
        EXPECT_EQ(item.text, expected.text);
        EXPECT_EQ(item.x, expected.x);
        EXPECT_EQ(item.y, expected.y);
        EXPECT_EQ(item.cx, expected.cx);
        EXPECT_EQ(item.cy, expected.cy);
        EXPECT_EQ(item.style, expected.style) << std::hex << item.style;
        EXPECT_EQ(item.exStyle, expected.exStyle);
    }
}

// A WS_GROUP control starts a group that runs to the next one; auto radio buttons clear the
// others of their own group only.
TEST(Template214, RadioButtonsFormTwoGroupsWithoutTabStops) {
    std::vector<std::set<int>> radioGroups;
    bool newGroup = true;
    for (const DLGITEMTEMPLATEDATA& item : Template214().items) {
        if (item.style & WS_GROUP) newGroup = true;
        if (item.windowClass != "BUTTON" || (item.style & BS_TYPEMASK) != BS_AUTORADIOBUTTON)
            continue;
        EXPECT_EQ(item.style & WS_TABSTOP, 0u) << "radio button " << item.id;
        if (newGroup) radioGroups.emplace_back();
        newGroup = false;
        radioGroups.back().insert(item.id);
    }
    EXPECT_EQ(radioGroups, (std::vector<std::set<int>>{{1011, 1012}, {1019, 1020}}));
}

// The same styles as plain numbers, as Windows tools show them: a wrong constant in afxres.h
// would otherwise pass unnoticed in both the script and the test above.
TEST(Template214, StylesCarryTheirWindowsValues) {
    const DLGTEMPLATEDATA& dialog = Template214();
    EXPECT_EQ(dialog.style, 0x80C820C0u);
    auto styleOf = [&](int id) {
        for (const DLGITEMTEMPLATEDATA& item : dialog.items)
            if (item.id == id) return item.style;
        return DWORD{0};
    };
    EXPECT_EQ(styleOf(1507), 0x50010003u);  // auto check box
    EXPECT_EQ(styleOf(1508), 0x50810080u);  // edit
    EXPECT_EQ(styleOf(1018), 0x50210003u);  // drop-down list
    EXPECT_EQ(styleOf(1016), 0x50020201u);  // graph area
    EXPECT_EQ(styleOf(1011), 0x50020009u);  // first radio button
    EXPECT_EQ(styleOf(1021), 0x50012003u);  // multi-line check box
    EXPECT_EQ(styleOf(1505), 0x50801844u);  // event description
    EXPECT_EQ(styleOf(1), 0x50010001u);     // default button
}

}  // namespace
