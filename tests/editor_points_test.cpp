// The point table and the graph: insert, remove, update, navigation and points moved in the
// graph. All values here are in IU, shown in IU.
#include <GraphView.h>

#include "EditorHarness.h"

namespace {

class Points : public EditorHarness {
protected:
    CString text = MotionText("ATIME[IU]=4: 0 10 20 30", "TPOS[IU]=4: 0 100 200 300");

    // Queues typing a point into the edits and pressing a button.
    void Enter(const char* position, const char* time, const char* button) {
        driver.Type(IDC_POSITION_VALUE, position).Type(IDC_TIME_VALUE, time).Click(button);
    }
    // Queues a look at the table: times and positions in IU, and the selected point.
    void ExpectTable(std::vector<double> times, std::vector<double> positions, int selected) {
        driver.Inspect([=](CDialog& dialog) {
            CEditorDlgTestSeam editor = Editor(dialog);
            std::vector<double> t, p, c0, c1;
            for (int i = 0; i < editor.m_Data.m_Time.GetValuesCount(); ++i) {
                t.push_back(editor.m_Data.m_Time.GetValueInInternalUnit(i));
                p.push_back(editor.m_Data.m_Position.GetValueInInternalUnit(i));
                c0.push_back(editor.m_Curves.GetAt(0)->GetAt(i));
                c1.push_back(editor.m_Curves.GetAt(1)->GetAt(i));
            }
            EXPECT_EQ(t, times);
            EXPECT_EQ(p, positions);
            EXPECT_EQ(c0, times);  // the graph shows the table
            EXPECT_EQ(c1, positions);
            EXPECT_EQ(editor.m_Curves.GetAt(0)->GetSize(), static_cast<int>(times.size()));
            EXPECT_EQ(editor.m_nSelPoint, selected);
            EXPECT_EQ(editor.m_Graph.View().GetSelectedPoint(), selected);
        });
    }
    void Finish() {
        driver.Click("Cancel");
        EXPECT_EQ(Run(text), IDCANCEL);
    }
};

TEST_F(Points, InsertSortsByTimeOrReplacesThePosition) {
    Enter("150", "15", "&Insert");
    ExpectTable({0, 10, 15, 20, 30}, {0, 100, 150, 200, 300}, 2);
    driver.Inspect([](CDialog&) { EXPECT_EQ(Focus(), IDC_POSITION_VALUE); });
    Enter("350", "35", "&Insert");
    ExpectTable({0, 10, 15, 20, 30, 35}, {0, 100, 150, 200, 300, 350}, 5);
    Enter("-7", "10", "&Insert");
    ExpectTable({0, 10, 15, 20, 30, 35}, {0, -7, 150, 200, 300, 350}, 1);
    // Time 0 only selects the start point, whatever the position says.
    Enter("999", "0.4", "&Insert");
    ExpectTable({0, 10, 15, 20, 30, 35}, {0, -7, 150, 200, 300, 350}, 0);
    // Not a number: nothing changes, no message.
    Enter("abc", "12", "&Insert");
    Enter("1", "", "&Insert");
    ExpectTable({0, 10, 15, 20, 30, 35}, {0, -7, 150, 200, 300, 350}, 0);
    Finish();
    EXPECT_TRUE(driver.GetMessages().empty());
}

TEST_F(Points, TimesAreClampedAndQuantised) {
    // A negative time is clamped to the minimum, 0: only the start point is selected.
    Enter("5", "-40", "&Insert");
    ExpectTable({0, 10, 20, 30}, {0, 100, 200, 300}, 0);
    Enter("5", "12.6", "&Insert");
    ExpectTable({0, 10, 13, 20, 30}, {0, 100, 5, 200, 300}, 2);
    Enter("5", "1e12", "&Insert");
    ExpectTable({0, 10, 13, 20, 30, 2147483646}, {0, 100, 5, 200, 300, 5}, 5);
    Finish();
}

TEST_F(Points, Remove) {
    driver.Click(IDC_NEXT_POINT).Click(IDC_NEXT_POINT).Click("&Remove");
    ExpectTable({0, 10, 30}, {0, 100, 300}, 2);  // the following point is selected
    driver.Click("&Remove");
    ExpectTable({0, 10}, {0, 100}, 1);  // the last went: the new last is selected
    driver.Click("&Remove").Inspect([](CDialog& dialog) {
        EXPECT_FALSE(Enabled(dialog, IDC_PREV_POINT));
        EXPECT_FALSE(Enabled(dialog, IDC_NEXT_POINT));
        EXPECT_FALSE(Enabled(dialog, IDC_REMOVE_POINT));
    });
    ExpectTable({0}, {0}, 0);
    Finish();
}

TEST_F(Points, UpdateKeepsTimesStrictlyBetweenNeighbours) {
    driver.Click(IDC_NEXT_POINT).Click(IDC_NEXT_POINT);
    Enter("250", "10", "&Update");
    driver.ExpectMessage("Incorrect time value!").Inspect([](CDialog& dialog) {
        EXPECT_STREQ(Text(dialog, IDC_POSITION_VALUE), "200");  // the stored values again
        EXPECT_STREQ(Text(dialog, IDC_TIME_VALUE), "20");
    });
    Enter("250", "30", "&Update");
    driver.ExpectMessage("Incorrect time value!");
    Enter("250", "29.6", "&Update");
    driver.ExpectMessage("Incorrect time value!");  // quantises to 30
    Enter("250", "25", "&Update");
    ExpectTable({0, 10, 25, 30}, {0, 100, 250, 300}, 2);
    // The last point has no next neighbour.
    driver.Click(IDC_NEXT_POINT);
    Enter("-1", "99999", "&Update");
    ExpectTable({0, 10, 25, 99999}, {0, 100, 250, -1}, 3);
    Finish();
}

// The start point has no earlier neighbour; it stays at (0, 0).
TEST_F(Points, UpdateOfTheStartPointIsRefused) {
    Enter("5", "5", "&Update");
    driver.ExpectMessage("Incorrect time value!");
    ExpectTable({0, 10, 20, 30}, {0, 100, 200, 300}, 0);
    Finish();
}

TEST_F(Points, GraphMoves) {
    driver.Inspect([](CDialog& dialog) {
        CEditorDlgTestSeam editor = Editor(dialog);
        // Point 2 to time 14.7 and an unclamped, unquantised position.
        EXPECT_TRUE(editor.m_Graph.View().MovePoint(2, 14.7, 1e15 + 0.5));
        EXPECT_EQ(editor.m_Data.m_Time.GetValueInInternalUnit(2), 15);
        EXPECT_EQ(editor.m_Data.m_Position.GetValueInInternalUnit(2), 1e15 + 0.5);
        EXPECT_EQ(editor.m_nSelPoint, 2);
        // The start point goes back.
        EXPECT_TRUE(editor.m_Graph.View().MovePoint(0, 3, 3));
        EXPECT_EQ(editor.m_Curves.GetAt(0)->GetAt(0), 0);
        EXPECT_EQ(editor.m_Curves.GetAt(1)->GetAt(0), 0);
        EXPECT_EQ(editor.m_nSelPoint, 0);
    });
    ExpectTable({0, 10, 15, 30}, {0, 100, 1e15 + 0.5, 300}, 0);
    // Past the next point: refused, and the point goes back.
    driver.Inspect([](CDialog& dialog) { Editor(dialog).m_Graph.View().MovePoint(1, 40, 7); })
        .ExpectMessage("Incorrect time value!");
    ExpectTable({0, 10, 15, 30}, {0, 100, 1e15 + 0.5, 300}, 1);
    driver.Inspect([](CDialog& dialog) {
        CEditorDlgTestSeam editor = Editor(dialog);
        // Another sender's low word, or a point that is not there: nothing changes.
        dialog.SendMessage(WM_GRAPH_POINT, 0, MAKELPARAM(1, 3));
        dialog.SendMessage(WM_GRAPH_POINT, 0, MAKELPARAM(0, 9));
        EXPECT_EQ(editor.m_nSelPoint, 1);
    });
    Finish();
}

TEST_F(Points, NavigationMarksTheGraphAndFocusesTheTime) {
    driver.Click(IDC_NEXT_POINT)
        .Click(IDC_NEXT_POINT)
        .Click(IDC_PREV_POINT)
        .Inspect([](CDialog& dialog) {
            EXPECT_EQ(Editor(dialog).m_Graph.View().GetSelectedPoint(), 1);
            EXPECT_EQ(Focus(), IDC_TIME_VALUE);
            EXPECT_STREQ(Text(dialog, IDC_TIME_VALUE), "10");
        });
    Finish();
}

}  // namespace
