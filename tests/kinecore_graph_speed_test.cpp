// The preview's speed in the window's graph: off until the context menu turns it on, then a
// second curve on an axis of its own, through the device context.
#include <GraphPalette.h>
#include <GraphScriptVerbs.h>
#include <GraphView.h>

#include <algorithm>

#include "kinecore_dialog_fixture.h"

namespace kernel_test {
namespace {

// Keeps the polylines and texts drawn, with their colours.
class CRecordingSurface : public CDrawingSurface {
public:
    struct Line {
        COLORREF colour;
        std::vector<POINT> points;
    };
    CRect GetBounds() const override { return CRect(0, 0, 2000, 2000); }
    void SetClip(const RECT&) override {}
    void DrawPolyline(const POINT* points, int count, const LOGPEN& pen) override {
        lines.push_back({pen.lopnColor, std::vector<POINT>(points, points + count)});
    }
    void DrawRectangle(const RECT&, const LOGPEN&, const LOGBRUSH&) override {}
    void DrawEllipse(const RECT&, const LOGPEN&, const LOGBRUSH&) override {}
    void FillRect(const RECT&, COLORREF) override {}
    void DrawTextLine(int, int, UINT, const CString& text, const LOGFONT&, COLORREF colour, bool,
                      COLORREF) override {
        texts.push_back({colour, text.str()});
    }
    CSize MeasureText(const CString& text, const LOGFONT&) const override {
        return CSize(7 * text.GetLength(), 13);
    }

    std::vector<Line> lines;
    std::vector<std::pair<COLORREF, std::string>> texts;
};

// The speed's polylines: long ones in its colour (tick marks are two points).
std::vector<CRecordingSurface::Line> SpeedCurves(const CRecordingSurface& surface) {
    std::vector<CRecordingSurface::Line> curves;
    for (const auto& line : surface.lines) {
        if (line.colour == RGB16(CR16_DARKGREEN) && line.points.size() > 2) curves.push_back(line);
    }
    return curves;
}

CRecordingSurface Paint(CGraphWindow& graph) {
    CRecordingSurface surface;
    CDC dc(&surface);
    graph.SendMessage(WM_PAINT, reinterpret_cast<WPARAM>(&dc));
    return surface;
}

// The curves, and the graph told of them.
void Fill(CTestEditorDlg& editor, const std::vector<double>& times,
          const std::vector<double>& positions) {
    FillCurves(editor, times, positions);
    editor.m_graph.OnDataChanged();
}

using GraphSpeedTest = KernelDialogTest;

TEST_F(GraphSpeedTest, OffByDefaultOnFromTheContextMenu) {
    bool checked = false;
    m_driver.Inspect([&](CDialog& shown) {
        CTestEditorDlg& editor = AsEditor(shown);
        // From rest to rest over one segment: the speed peaks at mid-time.
        Fill(editor, {0, 10}, {0, 100});
        EXPECT_FALSE(editor.m_graph.View().IsShowingPreviewSpeed());
        EXPECT_TRUE(SpeedCurves(Paint(editor.m_graph)).empty());
        CMenu menu;
        editor.m_graph.View().BuildContextMenu(menu);
        ASSERT_EQ(menu.GetItems().size(), 1u);
        EXPECT_EQ(menu.GetItems()[0].text, "Preview &Speed");
        EXPECT_FALSE(menu.GetItems()[0].nFlags & MF_CHECKED);
        // The headless driver chooses nothing from a menu shown by the right button.
        editor.m_graph.SendMessage(WM_CONTEXTMENU, 0, MAKELPARAM(20, 20));
        EXPECT_FALSE(editor.m_graph.View().IsShowingPreviewSpeed());
    });
    m_driver.Do("menu", {"Preview Speed"});
    m_driver.Inspect([&](CDialog& shown) {
        CTestEditorDlg& editor = AsEditor(shown);
        CGraphWindow& graph = editor.m_graph;
        ASSERT_TRUE(graph.View().IsShowingPreviewSpeed());
        CMenu menu;
        graph.View().BuildContextMenu(menu);
        checked = menu.GetItems()[0].nFlags & MF_CHECKED;
        const CRecordingSurface surface = Paint(graph);
        const auto curves = SpeedCurves(surface);
        ASSERT_EQ(curves.size(), 1u);
        const CRect plot = graph.View().GetPlotRect();
        // Highest (smallest y) in the middle of the time axis, at rest at both ends.
        const auto& points = curves[0].points;
        const auto top = std::min_element(points.begin(), points.end(),
                                          [](POINT a, POINT b) { return a.y < b.y; });
        const CPoint middle = graph.View().PointToPixel(5, 0);
        EXPECT_NEAR(top->x, middle.x, 2);
        EXPECT_GE(top->y, plot.top);
        EXPECT_EQ(points.front().y, points.back().y);
        // Its own axis: labels right of the plot, in the curve's colour, titled with the
        // unit that the two axes' titles make.
        const auto titled = [](const CRecordingSurface& painted, const char* title) {
            return std::any_of(painted.texts.begin(), painted.texts.end(), [&](auto& t) {
                return t.first == RGB16(CR16_DARKGREEN) && t.second == title;
            });
        };
        EXPECT_TRUE(titled(surface, "speed"));
        editor.m_curves.GetAt(0)->m_strTitle = "Time[ms]";
        editor.m_filter.m_strTitle = "Position[rot]";
        graph.OnDataChanged();
        EXPECT_TRUE(titled(Paint(graph), "speed [rot/ms]"));
        // The module's curve is drawn as before, and a drag still reaches the dialog.
        EXPECT_TRUE(graph.View().MovePoint(1, 10, 50));
    });
    m_driver.Do("menu", {"preview speed"});
    m_driver.Inspect([&](CDialog& shown) {
        EXPECT_FALSE(AsEditor(shown).m_graph.View().IsShowingPreviewSpeed());
    });
    m_driver.Click(IDCANCEL);
    m_dialog.DoModal();
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
    EXPECT_TRUE(checked);
    EXPECT_EQ(m_log, (EventLog{"graph 0/1 at 10.000000,50.000000"}));
}

TEST_F(GraphSpeedTest, TimesThatDoNotIncreaseSayWhyThereIsNoSpeed) {
    m_driver.Inspect([](CDialog& shown) {
        CTestEditorDlg& editor = AsEditor(shown);
        Fill(editor, {0, 10, 10}, {0, 1, 2});
        editor.m_graph.View().ShowPreviewSpeed(TRUE);
        const CRecordingSurface surface = Paint(editor.m_graph);
        EXPECT_TRUE(SpeedCurves(surface).empty());
        const bool said = std::any_of(surface.texts.begin(), surface.texts.end(), [](auto& t) {
            return t.second == "speed: times must increase";
        });
        EXPECT_TRUE(said);
    });
    Script("click Cancel\n");
    m_dialog.DoModal();
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
}

TEST_F(GraphSpeedTest, AMenuItemThatIsNotThereStopsTheScript) {
    Script("menu Zoom\n");
    m_dialog.DoModal();
    EXPECT_EQ(m_driver.GetError(),
              "test.txt:1: the graph's menu has no item \"Zoom\" (it has \"Preview Speed\")");
}

}  // namespace
}  // namespace kernel_test
