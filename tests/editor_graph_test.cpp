// The graph beside the point table: after every point action its curves hold exactly what a
// refill from the table gives, in display units whose factors do not divide evenly (s, rot),
// although the point actions put their changes into the curves instead of refilling them.
#include <GraphView.h>

#include <random>

#include "EditorHarness.h"

namespace {

class GraphCurves : public EditorHarness {
protected:
    std::mt19937 random{20261207};

    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

    // A time in s that lands on whole IU (1250 IU a second) strictly between two whole IU
    // times, or -1 when there is no room.
    double TimeBetween(double lowIU, double highIU) {
        const int low = static_cast<int>(lowIU) + 1;
        const int high = static_cast<int>(highIU) - 1;
        return low > high ? -1 : Between(low, high) / 1250.0;
    }
    // A position in rot with IU fractions (2000 IU a revolution).
    double Position() { return Between(-400000, 400000) / 2000.0 + Between(0, 9) * 0.00007; }

    static void Type(CDialog& dialog, int id, double value) {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", value);
        dialog.GetDlgItem(id)->SetWindowText(text);
    }
    static void Click(CDialog& dialog, int id) {
        if (dialog.GetDlgItem(id)->IsWindowEnabled()) dialog.GetDlgItem(id)->SendMessage(BM_CLICK);
    }

    // One random point action that the editor accepts without a message.
    void Act(CEditorDlgTestSeam editor) {
        const CMC_ArrayParameter& times = editor.m_Data.m_Time;
        const int count = times.GetValuesCount();
        const int point = Between(1, count > 1 ? count - 1 : 1);
        const double before = times.GetValueInInternalUnit(point - 1);
        const double after = point + 1 < count ? times.GetValueInInternalUnit(point + 1) : 1e6;
        switch (Between(0, 6)) {
            case 0:  // Insert anywhere, an existing time included; twice as often, so it grows
            case 6:
                Type(editor, IDC_POSITION_VALUE, Position());
                Type(editor, IDC_TIME_VALUE, Between(1, 120000) / 1250.0);
                Click(editor, IDC_INSERT_POINT);
                break;
            case 1:  // Update the selected point
                if (const double time = TimeBetween(before, after);
                    point < count && time > 0 && editor.m_Graph.View().PickPoint(point)) {
                    Type(editor, IDC_POSITION_VALUE, Position());
                    Type(editor, IDC_TIME_VALUE, time);
                    Click(editor, IDC_UPDATE_POINT);
                }
                break;
            case 2:
                if (point < count) editor.m_Graph.View().PickPoint(point);
                Click(editor, IDC_REMOVE_POINT);
                break;
            case 3:  // a drag, the start point's included
                if (const double time = TimeBetween(before, after); point < count && time > 0) {
                    editor.m_Graph.View().MovePoint(Between(0, 3) == 0 ? 0 : point, time,
                                                    Position());
                }
                break;
            case 4:
                if (point < count) editor.m_Graph.View().PickPoint(point);
                break;
            case 5:
                Click(editor, Between(0, 1) ? IDC_NEXT_POINT : IDC_PREV_POINT);
        }
    }

    static void ExpectCurvesAreTheTable(CEditorDlgTestSeam editor, int action) {
        const CMC_ArrayParameter& times = editor.m_Data.m_Time;
        const CMC_ArrayParameter& positions = editor.m_Data.m_Position;
        const CCurve& timeCurve = *editor.m_Curves.GetAt(0);
        const CCurve& positionCurve = *editor.m_Curves.GetAt(1);
        ASSERT_EQ(timeCurve.GetSize(), times.GetValuesCount()) << "after action " << action;
        ASSERT_EQ(positionCurve.GetSize(), positions.GetValuesCount()) << "after action " << action;
        for (int i = 0; i < times.GetValuesCount(); ++i) {
            ASSERT_EQ(timeCurve.GetAt(i), times.GetValue(i))
                << "point " << i << ", action " << action;
            ASSERT_EQ(positionCurve.GetAt(i), positions.GetValue(i))
                << "point " << i << ", action " << action;
        }
        ASSERT_EQ(editor.m_Graph.View().GetSelectedPoint(), editor.m_nSelPoint);
    }
};

TEST_F(GraphCurves, HoldWhatARefillGivesAfterEveryPointAction) {
    CString text = MotionText("ATIME[s]=4: 0 13 5003 5004", "TPOS[rot]=4: 0 1.5 -777.25 3");
    int steps = 0;
    driver.Inspect([&](CDialog& dialog) {
        CEditorDlgTestSeam editor = Editor(dialog);
        ASSERT_STREQ(editor.m_Data.m_Time.GetSelectedUnit(), "s");
        ASSERT_STREQ(editor.m_Data.m_Position.GetSelectedUnit(), "rot");
        for (int action = 0; action < 600; ++action) {
            Act(editor);
            ExpectCurvesAreTheTable(editor, action);
            if (::testing::Test::HasFatalFailure()) return;
        }
        steps = editor.m_Data.m_Time.GetValuesCount();
    });
    driver.Click("Cancel");
    EXPECT_EQ(Run(text), IDCANCEL);
    EXPECT_TRUE(driver.GetMessages().empty()) << driver.GetMessages().front().text.GetString();
    EXPECT_GT(steps, 20);  // the table grew: the actions did reach it
}

}  // namespace
