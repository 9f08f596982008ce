// The graph window in a dialog: taking over the graph area, the extent of the data, the marked
// point, and the user's drags and clicks, from code and from script lines.
#include <GraphScriptVerbs.h>

#include <limits>

#include "kinecore_dialog_fixture.h"

namespace kernel_test {
namespace {

using GraphWindowTest = KernelDialogTest;

// Times and positions of the test editor's curves.
void Fill(CTestEditorDlg& editor, const std::vector<double>& times,
          const std::vector<double>& positions) {
    CCurve* xs = editor.m_curves.GetAt(0);
    CCurve* ys = editor.m_curves.GetAt(1);
    xs->SetSize(static_cast<int>(times.size()));
    ys->SetSize(static_cast<int>(positions.size()));
    for (size_t i = 0; i < times.size(); ++i) xs->SetAt(static_cast<int>(i), times[i]);
    for (size_t i = 0; i < positions.size(); ++i) ys->SetAt(static_cast<int>(i), positions[i]);
}

TEST_F(GraphWindowTest, TakesThePlaceOfTheControlAndFollowsTheData) {
    CTestEditorDlg dialog(*m_setup, m_motion, m_paramText, m_log);
    m_driver.Inspect([](CDialog& shown) {
        CTestEditorDlg& editor = AsEditor(shown);
        CGraphWindow& graph = editor.m_graph;
        EXPECT_EQ(shown.GetDlgItem(IDC_GRAPH), &graph);
        EXPECT_EQ(graph.GetParent(), &shown);
        EXPECT_EQ(graph.GetFilter(), &editor.m_filter);
        // Taken once only; a missing control cannot be taken at all.
        CGraphWindow other(1, 0);
        EXPECT_FALSE(other.SubclassDlgItem(IDC_GRAPH, &shown, &editor.m_filter));
        EXPECT_FALSE(other.SubclassDlgItem(999, &shown, &editor.m_filter));

        // Without data the extent is empty; the titles come from the filter.
        EXPECT_EQ(graph.m_dMinX, 0);
        EXPECT_EQ(graph.m_dMaxY, 0);
        EXPECT_EQ(graph.m_strXTitle, "Time");
        EXPECT_EQ(graph.m_strYTitle, "Position");

        Fill(editor, {0, 10, 25, 40}, {0, -3.5, 8, 2});
        editor.m_curves.GetAt(0)->m_strTitle = "Time[s]";
        editor.m_filter.m_strTitle = "Position[rot]";
        EXPECT_EQ(graph.m_dMaxX, 0);  // nothing changes before the window is told
        graph.OnDataChanged();
        EXPECT_EQ(graph.m_dMinX, 0);
        EXPECT_EQ(graph.m_dMaxX, 40);
        EXPECT_EQ(graph.m_dMinY, -3.5);
        EXPECT_EQ(graph.m_dMaxY, 8);
        EXPECT_EQ(graph.m_strXTitle, "Time[s]");
        EXPECT_EQ(graph.m_strYTitle, "Position[rot]");

        // Only the points that both arrays hold count.
        Fill(editor, {5, 6, 7}, {1, 2});
        graph.OnDataChanged();
        EXPECT_EQ(graph.m_dMinX, 5);
        EXPECT_EQ(graph.m_dMaxX, 6);
        EXPECT_EQ(graph.m_dMaxY, 2);

        const int before = graph.m_nRefreshCount;
        graph.RefreshWindow();
        graph.RefreshWindow();
        EXPECT_EQ(graph.m_nRefreshCount, before + 2);
    });
    m_driver.Click("Cancel");
    dialog.DoModal();
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
}

TEST_F(GraphWindowTest, SelectPointReturnsThePreviousMark) {
    CGraphWindow graph(1, 0);
    EXPECT_EQ(graph.GetSelectedPoint(), -1);
    EXPECT_EQ(graph.SelectPoint(0, 3), -1);
    EXPECT_EQ(graph.SelectPoint(0, 1), 3);
    EXPECT_EQ(graph.SelectPoint(0, -1), 1);
    EXPECT_EQ(graph.SelectPoint(0, -7), -1);
    EXPECT_EQ(graph.GetSelectedPoint(), -1);
}

TEST_F(GraphWindowTest, MovingAPointWritesBothArraysBeforeTheParentHears) {
    CTestEditorDlg dialog(*m_setup, m_motion, m_paramText, m_log);
    m_driver.Inspect([](CDialog& shown) {
        CTestEditorDlg& editor = AsEditor(shown);
        Fill(editor, {0, 10, 20}, {0, 1, 2});
        EXPECT_TRUE(editor.m_graph.MovePoint(2, 25, -4));
        EXPECT_EQ(editor.m_curves.GetAt(0)->GetAt(2), 25);
        EXPECT_EQ(editor.m_curves.GetAt(1)->GetAt(2), -4);
        EXPECT_EQ(editor.m_graph.GetSelectedPoint(), 2);
        EXPECT_TRUE(editor.m_graph.PickPoint(1));
        EXPECT_EQ(editor.m_graph.GetSelectedPoint(), 1);
        EXPECT_EQ(editor.m_curves.GetAt(0)->GetAt(1), 10);
    });
    m_driver.Click("Cancel");
    dialog.DoModal();
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
    EXPECT_EQ(m_log,
              (EventLog{"graph 0/2 at 25.000000,-4.000000", "graph 0/1 at 10.000000,1.000000"}));
}

TEST_F(GraphWindowTest, APointThatTheArraysDoNotHoldSendsNothing) {
    CTestEditorDlg dialog(*m_setup, m_motion, m_paramText, m_log);
    m_driver.Inspect([](CDialog& shown) {
        CTestEditorDlg& editor = AsEditor(shown);
        CGraphWindow& graph = editor.m_graph;
        Fill(editor, {0, 10, 20}, {0, 1});
        EXPECT_FALSE(graph.MovePoint(3, 1, 1));
        EXPECT_FALSE(graph.MovePoint(2, 1, 1));  // only the times have it
        EXPECT_FALSE(graph.MovePoint(-1, 1, 1));
        EXPECT_FALSE(graph.PickPoint(2));
        EXPECT_FALSE(graph.MovePoint(1, std::numeric_limits<double>::quiet_NaN(), 1));
        EXPECT_EQ(editor.m_curves.GetAt(0)->GetAt(1), 10);
        EXPECT_EQ(editor.m_curves.GetAt(1)->GetAt(1), 1);

        // A filter whose XY curve names a missing array has no points at all.
        editor.m_filter.GetAt(0)->m_nYCurve = 5;
        EXPECT_FALSE(graph.PickPoint(0));
        EXPECT_EQ(graph.GetSelectedPoint(), -1);
    });
    m_driver.Click("Cancel");
    dialog.DoModal();
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
    EXPECT_TRUE(m_log.empty());
}

TEST_F(GraphWindowTest, AGraphWithoutWindowOrEditingTakesNoInput) {
    CCurveArray curves;
    curves.Add(new CCurve(0, -1));
    curves.Add(new CCurve(0, -1));
    curves.GetAt(0)->SetSize(2);
    curves.GetAt(1)->SetSize(2);
    CGraphFilter filter(nullptr, nullptr, nullptr, nullptr);
    filter.Add(new CXYCurve);
    filter.m_pCurves = &curves;

    CGraphWindow unattached(1, 0);
    EXPECT_FALSE(unattached.MovePoint(1, 5, 5));
    EXPECT_EQ(curves.GetAt(0)->GetAt(1), 0);

    CTestEditorDlg dialog(*m_setup, m_motion, m_paramText, m_log);
    dialog.m_bWithGraph = false;
    CGraphWindow viewOnly(0, 0);
    m_driver.Inspect([&](CDialog& shown) {
        ASSERT_TRUE(viewOnly.SubclassDlgItem(IDC_GRAPH, &shown, &filter));
        EXPECT_FALSE(viewOnly.MovePoint(1, 5, 5));
        EXPECT_FALSE(viewOnly.PickPoint(1));
        EXPECT_EQ(curves.GetAt(0)->GetAt(1), 0);
    });
    Script("pick 1\n");
    dialog.DoModal();
    EXPECT_FALSE(m_driver.Finish());
    EXPECT_EQ(m_driver.GetError(),
              "test.txt:1: the graph of dialog \"Motion - Test\" takes no input");
    EXPECT_TRUE(m_log.empty());
}

TEST_F(GraphWindowTest, ScriptsDragAndPickPoints) {
    CTestEditorDlg dialog(*m_setup, m_motion, m_paramText, m_log);
    m_driver.Inspect([](CDialog& shown) { Fill(AsEditor(shown), {0, 10, 20}, {0, 1, 2}); });
    Script(
        "drag 2 22.5 -0.25   # time, then position\n"
        "pick 1\n"
        "click Cancel\n");
    dialog.DoModal();
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
    EXPECT_EQ(m_log,
              (EventLog{"graph 0/2 at 22.500000,-0.250000", "graph 0/1 at 10.000000,1.000000"}));
}

// Each line stops the script with its own reason; the dialog hears of none of them.
TEST_F(GraphWindowTest, ScriptLinesThatNoUserCouldPlayStopTheScript) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"drag 3 1 1", "test.txt:1: the graph has no point 3"},
        {"pick 70000", "test.txt:1: \"70000\" is not a point number"},
        {"drag x 1 1", "test.txt:1: \"x\" is not a point number"},
        {"drag 1.5 1 1", "test.txt:1: \"1.5\" is not a point number"},
        {"drag 1 soon 1", "test.txt:1: \"soon\" is not a time"},
        {"drag 1 1 far", "test.txt:1: \"far\" is not a position"},
        {"drag 1 1", "test.txt:1: drag takes 3 words (POINT TIME POSITION), not 2"},
        {"pick", "test.txt:1: pick takes 1 word (POINT), not 0"},
    };
    for (const auto& [line, error] : cases) {
        CHeadlessDriver driver;
        RegisterGraphScriptVerbs(driver);
        AfxSetDialogDriver(&driver);
        CTestEditorDlg dialog(*m_setup, m_motion, m_paramText, m_log);
        driver.Inspect([](CDialog& shown) { Fill(AsEditor(shown), {0, 10, 20}, {0, 1, 2}); });
        CString loadError;
        ASSERT_TRUE(driver.LoadScriptText(line, "test.txt", loadError)) << loadError.GetString();
        EXPECT_EQ(dialog.DoModal(), -1) << line;
        EXPECT_FALSE(driver.Finish());
        EXPECT_EQ(driver.GetError(), error) << line;
    }
    AfxSetDialogDriver(&m_driver);
    EXPECT_TRUE(m_log.empty());
}

TEST_F(GraphWindowTest, ScriptsNeedAGraphInTheDialogInFront) {
    CTestEditorDlg dialog(*m_setup, m_motion, m_paramText, m_log);
    dialog.m_bWithGraph = false;
    Script("pick 0\n");
    dialog.DoModal();
    EXPECT_FALSE(m_driver.Finish());
    EXPECT_EQ(m_driver.GetError(), "test.txt:1: dialog \"Motion - Test\" has no graph");
}

}  // namespace
}  // namespace kernel_test
