// Template 214 as windres compiles the module's script and the dialog manager reads it, held
// to what a dialog needs: every control once, in tab order, inside the frame and apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "afxdlgtemplate.h"
#include "afxres.h"
#include "afxrestable.h"
#include "atltypes.h"

const CResourceTable& TravexResourceTable();

namespace {

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

const DLGITEMTEMPLATEDATA* Control(int id) {
    for (const DLGITEMTEMPLATEDATA& item : Template214().items)
        if (item.id == id) return &item;
    return nullptr;
}

// A drop-down list's height in the template is that of its open list; closed, it stands as
// high as an edit.
CRect Placed(const DLGITEMTEMPLATEDATA& item) {
    const int height = item.windowClass == "COMBOBOX" ? std::min<int>(item.cy, 14) : item.cy;
    return CRect(item.x, item.y, item.x + item.cx, item.y + height);
}

bool IsGroupBox(const DLGITEMTEMPLATEDATA& item) {
    return item.windowClass == "BUTTON" && (item.style & BS_TYPEMASK) == BS_GROUPBOX;
}

TEST(Template214, EveryControlOnceInTabOrder) {
    // The template's order is the tab order; labels and the group box carry no id of their own.
    const std::vector<int> kTabOrder = {1507, 1508, 1506, 1010, 1018, 1009, 1017,     1013, 1014,
                                        1000, 1001, 1002, 1015, 1016, 1011, 1012,     1021, 1503,
                                        1504, 1505, 1003, 1019, 1020, IDOK, IDCANCEL, 57671};
    std::vector<int> ids;
    for (const DLGITEMTEMPLATEDATA& item : Template214().items)
        if (item.id != -1) ids.push_back(item.id);
    EXPECT_EQ(ids, kTabOrder);
}

TEST(Template214, ControlsLieInsideTheDialogAndApart) {
    const DLGTEMPLATEDATA& dialog = Template214();
    const CRect inside(0, 0, dialog.cx, dialog.cy);
    for (size_t i = 0; i < dialog.items.size(); ++i) {
        const DLGITEMTEMPLATEDATA& item = dialog.items[i];
        const CRect rect = Placed(item);
        SCOPED_TRACE("control " + std::to_string(i) + " \"" + item.text + "\"");
        CRect common;
        EXPECT_TRUE(common.IntersectRect(rect, inside) && common == rect);
        for (size_t j = i + 1; j < dialog.items.size(); ++j) {
            const DLGITEMTEMPLATEDATA& other = dialog.items[j];
            // A group box frames the controls of its group.
            if (IsGroupBox(item) || IsGroupBox(other)) continue;
            EXPECT_FALSE(common.IntersectRect(rect, Placed(other)))
                << "overlaps control " << j << " \"" << other.text << "\"";
        }
    }
}

// What the module's code and its scripts rely on: the kind of each control that the code reads,
// the captions that scripts name, and the graph's place, which the graph window takes over.
TEST(Template214, TheControlsThatTheCodeAndScriptsUse) {
    for (const int id : {1508, 1010, 1009, 1505}) {
        ASSERT_NE(Control(id), nullptr) << id;
        EXPECT_EQ(Control(id)->windowClass, "EDIT") << id;
    }
    for (const int id : {1018, 1017}) {
        ASSERT_NE(Control(id), nullptr) << id;
        EXPECT_EQ(Control(id)->windowClass, "COMBOBOX") << id;
    }
    const std::pair<int, const char*> captions[] = {
        {1000, "&Remove"}, {1001, "&Update"},           {1002, "&Insert"},    {1013, "&<<"},
        {1014, ">&>"},     {1003, "I&mport From File"}, {1011, "&Immediate"}, {1012, "&On event"},
        {IDOK, "OK"},      {IDCANCEL, "Cancel"}};
    for (const auto& [id, caption] : captions) {
        ASSERT_NE(Control(id), nullptr) << id;
        EXPECT_EQ(Control(id)->text, caption);
    }
    // Labels name the field after them.
    const auto& items = Template214().items;
    for (const auto& [label, field] : {std::pair{"Position", 1010}, std::pair{"Time", 1009}}) {
        const auto at = std::find_if(items.begin(), items.end(),
                                     [&](const auto& item) { return item.text == label; });
        ASSERT_NE(at, items.end()) << label;
        ASSERT_NE(at + 1, items.end());
        EXPECT_EQ((at + 1)->id, field) << label;
    }
    const DLGITEMTEMPLATEDATA* graph = Control(1016);
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(Placed(*graph), CRect(7, 108, 245, 237));
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
