#include "GraphScriptVerbs.h"

#include <string_view>

#include "GraphView.h"
#include "NumberText.h"

namespace {

CString Quoted(const CString& text) { return "\"" + text + "\""; }

// The graph of the dialog, or the reason why a user could not act on it.
CGraphView* FindGraph(CDialog& dialog, CString& error) {
    for (CWnd* child = dialog.GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT)) {
        auto* graph = dynamic_cast<CGraphWindow*>(child);
        if (!graph) continue;
        if (!graph->IsWindowVisible()) {
            error = "the graph of " + CHeadlessDriver::NameOfDialog(dialog) + " is hidden";
        } else if (!graph->IsWindowEnabled()) {
            error = "the graph of " + CHeadlessDriver::NameOfDialog(dialog) + " is disabled";
        } else if (!graph->View().IsEditable()) {
            error = "the graph of " + CHeadlessDriver::NameOfDialog(dialog) + " takes no input";
        } else {
            return &graph->View();
        }
        return nullptr;
    }
    error = CHeadlessDriver::NameOfDialog(dialog) + " has no graph";
    return nullptr;
}

bool ParsePoint(const CString& word, int& point) {
    double value = 0;
    if (!ParseFiniteNumber(word.str(), value) || value < 0 || value > 2147483647.0 ||
        value != static_cast<int>(value))
        return false;
    point = static_cast<int>(value);
    return true;
}

CString NoSuchPoint(int point) {
    CString error;
    // The graph names a point to its parent in 16 bits, and takes no later one (GraphWindow.h).
    error.Format(point > 0xFFFF ? "the graph takes points up to 65535 only, not %d"
                                : "the graph has no point %d",
                 point);
    return error;
}

CString Drag(CDialog& dialog, const std::vector<CString>& args) {
    if (args.size() != 3)
        return CString("drag takes 3 words (POINT TIME POSITION), not ") +
               CString(std::to_string(args.size()));
    int point = 0;
    if (!ParsePoint(args[0], point)) return Quoted(args[0]) + " is not a point number";
    double time = 0, position = 0;
    if (!ParseFiniteNumber(args[1].str(), time)) return Quoted(args[1]) + " is not a time";
    if (!ParseFiniteNumber(args[2].str(), position)) return Quoted(args[2]) + " is not a position";
    CString error;
    CGraphView* graph = FindGraph(dialog, error);
    if (!graph) return error;
    return graph->MovePoint(point, time, position) ? CString() : NoSuchPoint(point);
}

CString Pick(CDialog& dialog, const std::vector<CString>& args) {
    if (args.size() != 1)
        return CString("pick takes 1 word (POINT), not ") + CString(std::to_string(args.size()));
    int point = 0;
    if (!ParsePoint(args[0], point)) return Quoted(args[0]) + " is not a point number";
    CString error;
    CGraphView* graph = FindGraph(dialog, error);
    if (!graph) return error;
    return graph->PickPoint(point) ? CString() : NoSuchPoint(point);
}

// The right button on the graph, then an item of its menu.
CString Menu(CDialog& dialog, const std::vector<CString>& args) {
    if (args.size() != 1)
        return CString("menu takes 1 word (ITEM, in quotes when it has blanks), not ") +
               CString(std::to_string(args.size()));
    CString error;
    CGraphView* graph = FindGraph(dialog, error);
    if (!graph) return error;
    return graph->ChooseContextMenuItem(args[0]);
}

}  // namespace

void RegisterGraphScriptVerbs(CHeadlessDriver& driver) {
    driver.RegisterVerb("drag", Drag);
    driver.RegisterVerb("pick", Pick);
    driver.RegisterVerb("menu", Menu);
}
