// The editor as a whole: opening on a text, the exchange with the controls, OK and Cancel,
// the Enter-key flow, the host address, execution and units.
#include <GraphView.h>

#include "EditorHarness.h"
#include "plugin/Exports.h"
#include "worked_example.h"

namespace {

using Dialog = EditorHarness;

const char* kCount = "Invalid number of points. You should have at least 2 points.";

TEST_F(Dialog, OpensWithTheRepairedPointList) {
    CString text = MotionText("ATIME[IU]=4: 0 10 20 30", "TPOS[IU]=2: 5 100");
    const CString original = text;
    driver
        .Inspect([](CDialog& dialog) {
            CEditorDlgTestSeam editor = Editor(dialog);
            EXPECT_EQ(editor.m_Data.m_Time.GetValuesCount(), 2);
            EXPECT_EQ(editor.m_Data.m_Position.GetValuesCount(), 2);
            EXPECT_STREQ(Text(dialog, IDC_POSITION_VALUE), "0");
            EXPECT_STREQ(Text(dialog, IDC_TIME_VALUE), "0");
            EXPECT_FALSE(Enabled(dialog, IDC_PREV_POINT));
            EXPECT_FALSE(Enabled(dialog, IDC_REMOVE_POINT));
            EXPECT_TRUE(Enabled(dialog, IDC_NEXT_POINT));
            EXPECT_TRUE(Checked(dialog, IDC_CLEAR_BUFFER));
            EXPECT_FALSE(Enabled(dialog, IDC_HOST_ADDRESS));
            EXPECT_STREQ(Text(dialog, IDC_HOST_ADDRESS), "");
        })
        .Click(IDC_NEXT_POINT)
        .Inspect([](CDialog& dialog) {
            EXPECT_STREQ(Text(dialog, IDC_POSITION_VALUE), "100");
            EXPECT_STREQ(Text(dialog, IDC_TIME_VALUE), "10");
            EXPECT_EQ(Focus(), IDC_TIME_VALUE);
            EXPECT_FALSE(Enabled(dialog, IDC_NEXT_POINT));
        })
        .Click("Cancel");
    EXPECT_EQ(Run(text), IDCANCEL);
    EXPECT_EQ(text, original);
}

TEST_F(Dialog, OkWithoutPointsIsRefusedAndSelectsPointZero) {
    CString text = "Execute=0\r\n";
    driver.Click("OK").ExpectMessage(kCount).Click("Cancel");
    EXPECT_EQ(Run(text), IDCANCEL);
    EXPECT_STREQ(text, "Execute=0\r\n");
}

// A refused OK selects the point at fault and shows it, so that Update then mends that point.
TEST_F(Dialog, RefusedOkShowsThePointAtFault) {
    CString text = MotionText("ATIME[IU]=4: 0 10 70000 60010", "TPOS[IU]=4: 0 100 200 300",
                              "WaitForCompletion=1\r\n");
    driver.Click("OK")
        .ExpectMessage("Time value of point 2 is too distant from the previous point")
        .Inspect([](CDialog& dialog) {
            EXPECT_EQ(Editor(dialog).m_nSelPoint, 2);
            EXPECT_EQ(Editor(dialog).m_Graph.View().GetSelectedPoint(), 2);
            EXPECT_STREQ(Text(dialog, IDC_POSITION_VALUE), "200");
            EXPECT_STREQ(Text(dialog, IDC_TIME_VALUE), "70000");
            EXPECT_TRUE(Enabled(dialog, IDC_PREV_POINT));
            EXPECT_TRUE(Enabled(dialog, IDC_REMOVE_POINT));
        })
        .Type(IDC_TIME_VALUE, "60")
        .Click(IDC_UPDATE_POINT)
        .Click("OK");
    ASSERT_EQ(Run(text), IDOK);
    EXPECT_NE(text.str().find("ATIME[IU]=4: 0 10 60 60010"), std::string::npos) << text.str();
}

// Position, Enter, time, Enter: the table is typed without the mouse; OK then confirms.
TEST_F(Dialog, EnterKeyFlowTypesATableThatTranslates) {
    CString text = MotionText("ATIME[IU]=1: 0", "TPOS[IU]=1: 0", "WaitForCompletion=1\r\n");
    driver.Type(IDC_POSITION_VALUE, "2000")
        .Key("Enter")
        .Inspect([](CDialog&) { EXPECT_EQ(Focus(), IDC_TIME_VALUE); })
        .Type(IDC_TIME_VALUE, "100")
        .Key("Enter")
        .Inspect([](CDialog& dialog) {
            EXPECT_EQ(Focus(), IDC_POSITION_VALUE);
            EXPECT_EQ(Editor(dialog).m_nSelPoint, 1);
            EXPECT_EQ(Editor(dialog).m_Data.m_Time.GetValuesCount(), 2);
        })
        .Type(IDC_POSITION_VALUE, "5000")
        .Key("Enter")
        .Type(IDC_TIME_VALUE, "300")
        .Key("Enter")
        .Check(IDC_HOST_ADDRESS_CHECK)
        .Type(IDC_HOST_ADDRESS, "3")
        .Click("OK");
    ASSERT_EQ(Run(text), IDOK);

    CString program;
    ASSERT_EQ(TranslateMotionSequence(*host.setup, host.motion, text, program), 1)
        << program.GetString();
    EXPECT_EQ(program.str(), kWorkedExampleProgram);
}

TEST_F(Dialog, HostAddressRange) {
    const CString points = MotionText("ATIME[IU]=2: 0 10", "TPOS[IU]=2: 0 1", "MASTERID=9\r\n");
    for (const char* bad : {"0", "256", ""}) {
        CString text = points;
        driver.Type(IDC_HOST_ADDRESS, bad)
            .Click("OK")
            .ExpectMessage("Enter an integer between 1 and 255.")
            .Inspect([](CDialog&) { EXPECT_EQ(Focus(), IDC_HOST_ADDRESS); })
            .Click("Cancel");
        EXPECT_EQ(Run(text), IDCANCEL) << bad;
        EXPECT_EQ(text, points);
    }
    for (const auto& [typed, stored] : {std::pair{"12abc", "MASTERID=12"}, {"  7", "MASTERID=7"}}) {
        CString text = points;
        driver.Type(IDC_HOST_ADDRESS, typed).Click("OK");
        ASSERT_EQ(Run(text), IDOK) << typed;
        EXPECT_TRUE(text.str().starts_with(std::string(stored) + "\r\n")) << text.GetString();
    }
}

TEST_F(Dialog, ExecutionModes) {
    CString text = MotionText("ATIME[IU]=2: 0 10", "TPOS[IU]=2: 0 1", "WaitForCompletion=0\r\n");
    driver
        .Inspect([](CDialog& dialog) {
            EXPECT_TRUE(Checked(dialog, IDC_EXECUTE_IMMEDIATE));
            EXPECT_TRUE(Enabled(dialog, IDC_WAIT_FOR_COMPLETION));
            EXPECT_FALSE(Enabled(dialog, IDC_CHANGE_EVENT));
            EXPECT_FALSE(Enabled(dialog, IDC_EDIT_EVENT));
            EXPECT_STREQ(Text(dialog, IDC_EVENT_DESCRIPTION), "");
        })
        .Check(IDC_EXECUTE_ON_EVENT)
        .Inspect([](CDialog& dialog) {
            CEditorDlgTestSeam editor = Editor(dialog);
            EXPECT_TRUE(Enabled(dialog, IDC_CHANGE_EVENT));
            EXPECT_FALSE(Enabled(dialog, IDC_WAIT_FOR_COMPLETION));
            EXPECT_FALSE(Checked(dialog, IDC_WAIT_FOR_COMPLETION));
            EXPECT_STREQ(Text(dialog, IDC_EVENT_DESCRIPTION),
                         editor.m_Data.m_Event.GetDescription(0));
        })
        // Back to immediate while the wait box is still disabled: the motion waits.
        .Check(IDC_EXECUTE_IMMEDIATE)
        .Click("OK");
    ASSERT_EQ(Run(text), IDOK);
    EXPECT_TRUE(text.str().ends_with("Execute=0\r\nWaitForCompletion=1\r\n")) << text.GetString();
}

TEST_F(Dialog, UnitChangeReshowsTheValueAndRetitlesTheGraph) {
    CString text = MotionText("ATIME[IU]=2: 0 625", "TPOS[IU]=2: 0 1000");
    driver.Click(IDC_NEXT_POINT)
        .Select(IDC_POSITION_UNIT, "rot")
        .Select(IDC_TIME_UNIT, "s")
        .Inspect([](CDialog& dialog) {
            CEditorDlgTestSeam editor = Editor(dialog);
            EXPECT_STREQ(Text(dialog, IDC_POSITION_VALUE), "0.5");
            EXPECT_STREQ(Text(dialog, IDC_TIME_VALUE), "0.5");
            EXPECT_STREQ(editor.m_GraphFilter.m_strTitle, "Position[rot]");
            EXPECT_STREQ(editor.m_Curves.GetAt(0)->m_strTitle, "Time[s]");
            EXPECT_DOUBLE_EQ(editor.m_Curves.GetAt(1)->GetAt(1), 0.5);
        })
        .Click("OK");
    ASSERT_EQ(Run(text), IDOK);
    EXPECT_NE(text.str().find("ATIME[s]=2: 0 625\r\n"), std::string::npos) << text.GetString();
}

TEST_F(Dialog, ExportReturnsOneOnlyForOk) {
    CString text = MotionText("ATIME[IU]=2: 0 10", "TPOS[IU]=2: 0 1");
    const CString original = text;
    driver.Type(IDC_POSITION_VALUE, "7").Type(IDC_TIME_VALUE, "20").Click("&Insert").Key("Escape");
    EXPECT_EQ(EditMotionSequence(*host.setup, host.motion, text), 0);
    EXPECT_TRUE(driver.Finish()) << driver.GetError().GetString();
    EXPECT_EQ(text, original);

    driver.Click("OK");
    EXPECT_EQ(EditMotionSequence(*host.setup, host.motion, text), 1);
    EXPECT_TRUE(driver.Finish()) << driver.GetError().GetString();
}

}  // namespace
