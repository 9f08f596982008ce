// The graph window in a dialog: taking over its control, the extent of the data, and the
// user's drags and picks, from code and from script lines.
#include <GraphScriptVerbs.h>
#include <GraphView.h>

#include "kinecore_dialog_fixture.h"

namespace kernel_test {
namespace {

using GraphWindowTest = KernelDialogTest;

TEST_F(GraphWindowTest, TakesThePlaceOfTheControlAndTakesUpTheData) {
    m_driver.Inspect([](CDialog& shown) {
        CTestEditorDlg& editor = AsEditor(shown);
        CGraphWindow& graph = editor.m_graph;
        EXPECT_EQ(shown.GetDlgItem(IDC_GRAPH), &graph);
        CGraphWindow other(1, 0);
        EXPECT_FALSE(other.SubclassDlgItem(IDC_GRAPH, &shown, &editor.m_filter));

        FillCurves(editor, {0, 10, 25, 40}, {0, -3.5, 8, 2});
        editor.m_curves.GetAt(0)->m_strTitle = "Time[s]";
        graph.OnDataChanged();
        EXPECT_EQ(graph.View().m_dMinX, 0);
        EXPECT_EQ(graph.View().m_dMaxX, 40);
        EXPECT_EQ(graph.View().m_dMinY, -3.5);
        EXPECT_EQ(graph.View().m_dMaxY, 8);
        EXPECT_EQ(graph.View().m_strXTitle, "Time[s]");
        EXPECT_EQ(graph.View().m_strYTitle, "Position");
        FillCurves(editor, {5, 6, 7}, {1, 2});  // only points that both arrays hold count
        graph.OnDataChanged();
        EXPECT_EQ(graph.View().m_dMaxX, 6);
    });
    Script("click Cancel\n");
    m_dialog.DoModal();
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
}

TEST_F(GraphWindowTest, ThePointStandsInBothArraysBeforeTheParentHears) {
    m_driver.Inspect([](CDialog& shown) {
        CTestEditorDlg& editor = AsEditor(shown);
        FillCurves(editor, {0, 10, 20}, {0, 1});
        EXPECT_TRUE(editor.m_graph.View().MovePoint(1, 15, -4));
        EXPECT_EQ(editor.m_graph.View().GetSelectedPoint(), 1);
        EXPECT_TRUE(editor.m_graph.View().PickPoint(0));
        // Points that not both arrays hold send nothing and change nothing.
        EXPECT_FALSE(editor.m_graph.View().MovePoint(2, 1, 1));
        EXPECT_FALSE(editor.m_graph.View().MovePoint(-1, 1, 1));
        EXPECT_FALSE(editor.m_graph.View().PickPoint(2));
        EXPECT_EQ(editor.m_curves.GetAt(0)->GetAt(2), 20);
    });
    Script(
        "drag 1 22.5 -0.25   # time, then position\n"
        "pick 1\n"
        "click Cancel\n");
    m_dialog.DoModal();
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
    EXPECT_EQ(m_log,
              (EventLog{"graph 0/1 at 15.000000,-4.000000", "graph 0/0 at 0.000000,0.000000",
                        "graph 0/1 at 22.500000,-0.250000", "graph 0/1 at 22.500000,-0.250000"}));
}

TEST_F(GraphWindowTest, ScriptLinesThatNoUserCouldPlayStopTheScript) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"drag 3 1 1", "test.txt:1: the graph has no point 3"},
        {"pick 65536", "test.txt:1: the graph takes points up to 65535 only, not 65536"},
        {"pick 1.5", "test.txt:1: \"1.5\" is not a point number"},
        {"drag 1 soon 1", "test.txt:1: \"soon\" is not a time"},
        {"drag 1 1", "test.txt:1: drag takes 3 words (POINT TIME POSITION), not 2"},
    };
    for (const auto& [line, error] : cases) {
        CHeadlessDriver driver;
        RegisterGraphScriptVerbs(driver);
        AfxSetDialogDriver(&driver);
        CTestEditorDlg dialog(*m_setup, m_motion, m_paramText, m_log);
        driver.Inspect([](CDialog& shown) { FillCurves(AsEditor(shown), {0, 10}, {0, 1}); });
        CString loadError;
        ASSERT_TRUE(driver.LoadScriptText(line, "test.txt", loadError)) << loadError.GetString();
        EXPECT_EQ(dialog.DoModal(), -1);
        EXPECT_EQ(driver.GetError(), error);
    }
    m_dialog.m_bWithGraph = false;
    AfxSetDialogDriver(&m_driver);
    Script("pick 0\n");
    m_dialog.DoModal();
    EXPECT_EQ(m_driver.GetError(), "test.txt:1: dialog \"Motion - Test\" has no graph");
    EXPECT_TRUE(m_log.empty());
}

TEST_F(GraphWindowTest, AGraphThatIsNotEditableTakesNoInput) {
    CGraphWindow viewOnly(0, 0);
    m_dialog.m_bWithGraph = false;
    m_driver.Inspect([&viewOnly](CDialog& shown) {
        ASSERT_TRUE(viewOnly.SubclassDlgItem(IDC_GRAPH, &shown, &AsEditor(shown).m_filter));
        FillCurves(AsEditor(shown), {0, 10}, {0, 1});
        EXPECT_FALSE(viewOnly.View().MovePoint(1, 5, 5));
    });
    Script("pick 1\n");
    m_dialog.DoModal();
    EXPECT_EQ(m_driver.GetError(),
              "test.txt:1: the graph of dialog \"Motion - Test\" takes no input");
    EXPECT_TRUE(m_log.empty());
}

}  // namespace
}  // namespace kernel_test
