// The graph under the mouse: what a click, a drag, the wheel, a double click and Home do to the
// points and the view; the ticks and the decimated curve that it draws.
#include <GraphTicks.h>
#include <GraphView.h>

#include <cmath>
#include <numeric>

#include "kinecore_dialog_fixture.h"
#include "platform/kinecore/GraphDecimation.h"

namespace kernel_test {
namespace {

using GraphViewTest = KernelDialogTest;

LPARAM At(CPoint pixel) {
    return MAKELPARAM(static_cast<WORD>(pixel.x), static_cast<WORD>(pixel.y));
}

// Three points (0, 0), (10, 100), (20, 50) on a 400 by 300 graph.
CGraphWindow& Shown(CDialog& dialog) {
    CTestEditorDlg& editor = AsEditor(dialog);
    const double times[] = {0, 10, 20}, positions[] = {0, 100, 50};
    for (int i = 0; i < 3; ++i) {
        editor.m_curves.GetAt(0)->InsertAt(i, times[i]);
        editor.m_curves.GetAt(1)->InsertAt(i, positions[i]);
    }
    editor.m_graph.MoveWindow(0, 0, 400, 300);
    editor.m_graph.OnDataChanged();
    return editor.m_graph;
}

TEST_F(GraphViewTest, ClickPicksADragMovesOnceOnRelease) {
    m_driver.Inspect([this](CDialog& shown) {
        CGraphWindow& graph = Shown(shown);
        const CPoint point1 = graph.View().PointToPixel(10, 100);
        EXPECT_EQ(graph.View().HitTest(point1), 1);
        EXPECT_EQ(graph.View().HitTest(CPoint(point1.x + 20, point1.y)), -1);

        graph.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(point1));
        graph.SendMessage(WM_LBUTTONUP, 0, At(point1));
        EXPECT_EQ(m_log, EventLog{"graph 0/1 at 10.000000,100.000000"});  // a pick

        m_log.clear();
        const CPoint target = graph.View().PointToPixel(15, 20);
        graph.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(point1));
        graph.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(target));
        EXPECT_EQ(m_log.size(), 1u) << "the pick only, while the button is down";
        graph.SendMessage(WM_LBUTTONUP, 0, At(target));
        ASSERT_EQ(m_log.size(), 2u);
        CCurve* times = AsEditor(shown).m_curves.GetAt(0);
        CCurve* positions = AsEditor(shown).m_curves.GetAt(1);
        // A pixel's worth of precision: 20 / 300-odd pixels in x, 100 / 200-odd in y.
        EXPECT_NEAR(times->GetAt(1), 15, 0.2);
        EXPECT_NEAR(positions->GetAt(1), 20, 1);
    });
    Script("click Cancel\n");
    m_dialog.DoModal();
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
}

// The parent hears of a point by its index in the high word of an LPARAM, which names points
// up to 65535 only. A click or a drag on a later point does nothing at all, so that the curves
// never hold a move that the parent's table did not take.
TEST_F(GraphViewTest, PointsPastTheNotificationsReachTakeNoClickOrDrag) {
    constexpr int kCount = 70000;
    m_driver.Inspect([](CDialog& shown) {
        CTestEditorDlg& editor = AsEditor(shown);
        std::vector<double> times(kCount), positions(kCount, 0.0);
        std::iota(times.begin(), times.end(), 0.0);
        FillCurves(editor, times, positions);
        CGraphWindow& graph = editor.m_graph;
        graph.MoveWindow(0, 0, 400, 300);
        graph.OnDataChanged();
        for (const int point : {65535, 65536, kCount - 1}) {
            SCOPED_TRACE(point);
            graph.View().m_dViewMinX = point - 10;
            graph.View().m_dViewMaxX = point + 10;
            graph.View().m_dViewMinY = -1;
            graph.View().m_dViewMaxY = 1;
            const CPoint pixel = graph.View().PointToPixel(point, 0);
            const CPoint target(pixel.x, pixel.y - 40);
            ASSERT_EQ(graph.View().HitTest(pixel), point);
            graph.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(pixel));
            graph.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(target));
            graph.SendMessage(WM_LBUTTONUP, 0, At(target));
            EXPECT_EQ(graph.View().GetSelectedPoint(), 65535);
            EXPECT_EQ(graph.View().m_dViewMinX, point - 10);  // nor is it a pan
        }
        EXPECT_EQ(editor.m_curves.GetAt(1)->GetAt(65536), 0);
        EXPECT_EQ(editor.m_curves.GetAt(1)->GetAt(kCount - 1), 0);
        EXPECT_GT(editor.m_curves.GetAt(1)->GetAt(65535), 0);
    });
    Script("click Cancel\n");
    m_dialog.DoModal();
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
    ASSERT_EQ(m_log.size(), 2u);  // the pick and the drag of point 65535
    for (const std::string& heard : m_log) EXPECT_TRUE(heard.starts_with("graph 0/65535 at "));
}

TEST_F(GraphViewTest, WheelZoomsAboutThePointerBackgroundDragPansHomeShowsAll) {
    m_driver.Inspect([this](CDialog& shown) {
        CGraphWindow& graph = Shown(shown);
        const double all[] = {graph.View().m_dViewMinX, graph.View().m_dViewMaxX,
                              graph.View().m_dViewMinY, graph.View().m_dViewMaxY};
        EXPECT_LT(all[0], 0);  // a margin around the data
        EXPECT_GT(all[3], 100);

        // The value under the pointer stays under it.
        const CPoint pointer = graph.View().PointToPixel(5, 30);
        graph.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), At(pointer));
        EXPECT_FALSE(graph.View().IsShowingAll());
        EXPECT_NEAR(graph.View().m_dViewMaxX - graph.View().m_dViewMinX, 0.8 * (all[1] - all[0]),
                    1e-9);
        const CPoint after = graph.View().PointToPixel(5, 30);
        EXPECT_LE(std::abs(after.x - pointer.x), 1);
        EXPECT_LE(std::abs(after.y - pointer.y), 1);

        // A drag on the background moves the view with the pointer; no point moves.
        const double minX = graph.View().m_dViewMinX;
        const CPoint empty = graph.View().PointToPixel(18, 95);
        ASSERT_EQ(graph.View().HitTest(empty), -1);
        graph.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(empty));
        graph.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(CPoint(empty.x - 40, empty.y)));
        graph.SendMessage(WM_LBUTTONUP, 0, At(CPoint(empty.x - 40, empty.y)));
        EXPECT_GT(graph.View().m_dViewMinX, minX);
        EXPECT_TRUE(m_log.empty());

        // Data changes keep the user's view; Home and a double click show all again.
        graph.OnDataChanged();
        EXPECT_FALSE(graph.View().IsShowingAll());
        graph.SendMessage(WM_KEYDOWN, VK_HOME, 0);
        EXPECT_TRUE(graph.View().IsShowingAll());
        EXPECT_EQ(graph.View().m_dViewMinX, all[0]);
        graph.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                          At(pointer));
        graph.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, At(pointer));
        EXPECT_EQ(graph.View().m_dViewMaxY, all[3]);
    });
    Script("click Cancel\n");
    m_dialog.DoModal();
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
}

TEST(GraphTicks, RoundStepsAndLabelsWithTheDecimalsTheyNeed) {
    struct Case {
        double low, high;
        int maxCount;
        double step;
        const char* first;
    };
    for (const Case& c : {Case{0, 300, 4, 100, "0"}, Case{-0.03, 0.97, 5, 0.2, "0.0"},
                          Case{1234, 1236, 4, 0.5, "1234.0"}, Case{-5000, 5000, 3, 5000, "-5000"},
                          Case{0, 1e-3, 2, 5e-4, "0.0000"}}) {
        const CGraphTicks ticks = MakeTicks(c.low, c.high, c.maxCount);
        SCOPED_TRACE(c.high);
        EXPECT_DOUBLE_EQ(ticks.step, c.step);
        ASSERT_FALSE(ticks.values.empty());
        EXPECT_EQ(TickLabel(ticks.values.front(), ticks.step), c.first);
        EXPECT_GE(ticks.values.front(), c.low);
        EXPECT_LE(ticks.values.back(), c.high);
    }
    EXPECT_TRUE(MakeTicks(1, 1, 5).values.empty());
}

TEST(GraphDecimation, FewPointsAColumnWithEveryColumnsExtremes) {
    // A million points of a fast sine over 500 columns.
    const int count = 1000000;
    std::vector<double> xs(count), ys(count);
    for (int i = 0; i < count; ++i) {
        xs[static_cast<size_t>(i)] = i;
        ys[static_cast<size_t>(i)] = std::sin(i * 0.01) * (1 + i % 7);
    }
    CGraphMapping mapping;
    mapping.plot = CRect(0, 0, 500, 200);
    mapping.minX = 0;
    mapping.maxX = count - 1;
    mapping.minY = -8;
    mapping.maxY = 8;
    std::vector<POINT> polyline;
    DecimateCurve(xs.data(), ys.data(), 0, count - 1, mapping, polyline);
    EXPECT_LE(polyline.size(), 4u * 500);
    // Each column reaches from its lowest to its highest point, as every point would.
    std::vector<int> top(500, 1000), bottom(500, -1000), drawnTop(500, 1000),
        drawnBottom(500, -1000);
    for (int i = 0; i < count; ++i) {
        const int x = mapping.ToPixelX(xs[static_cast<size_t>(i)]);
        const int y = mapping.ToPixelY(ys[static_cast<size_t>(i)]);
        top[static_cast<size_t>(x)] = std::min(top[static_cast<size_t>(x)], y);
        bottom[static_cast<size_t>(x)] = std::max(bottom[static_cast<size_t>(x)], y);
    }
    for (const POINT& p : polyline) {
        drawnTop[static_cast<size_t>(p.x)] = std::min(drawnTop[static_cast<size_t>(p.x)], p.y);
        drawnBottom[static_cast<size_t>(p.x)] =
            std::max(drawnBottom[static_cast<size_t>(p.x)], p.y);
    }
    EXPECT_EQ(drawnTop, top);
    EXPECT_EQ(drawnBottom, bottom);
}

}  // namespace
}  // namespace kernel_test
