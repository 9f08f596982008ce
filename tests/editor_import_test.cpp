// Import of points from a text file: the file format's rules, the units, and what a file that
// cannot be opened or read does to the table.
#include <cstdio>
#include <optional>

#include "EditorHarness.h"
#include "FaultInjection.h"
#include "plugin/Exports.h"
#include "scratch_folder.h"

namespace {

class Import : public EditorHarness {
protected:
    ScratchFolder scratch;
    // Three points, shown in rot and s (the setup's default units).
    CString text = MotionText("ATIME[s]=3: 0 1250 2500", "TPOS[rot]=3: 0 20000 40000");

    std::string File(const std::string& content, const char* name = "points.txt") {
        return scratch.Put(name, content);
    }
    void ImportFile(const std::string& path) {
        driver.Click(IDC_IMPORT_FROM_FILE).PickFile(path.c_str());
    }
    // Queues a look at the table in the selected units, and at the selection.
    void ExpectPoints(std::vector<std::pair<double, double>> points, int selected = 0) {
        driver.Inspect([=](CDialog& dialog) {
            CEditorDlgTestSeam editor = Editor(dialog);
            std::vector<std::pair<double, double>> table;
            for (int i = 0; i < editor.m_Data.m_Time.GetValuesCount(); ++i) {
                table.emplace_back(editor.m_Data.m_Position.GetValue(i),
                                   editor.m_Data.m_Time.GetValue(i));
            }
            EXPECT_EQ(table, points);
            EXPECT_EQ(editor.m_nSelPoint, selected);
            EXPECT_EQ(editor.m_Curves.GetAt(0)->GetSize(), static_cast<int>(points.size()));
        });
    }
    void Finish() {
        driver.Click("Cancel");
        EXPECT_EQ(Run(text), IDCANCEL);
    }
};

TEST_F(Import, SixLineExample) {
    ImportFile(File("0 0\n10 0.5\n20 1,0\n15 0.8\nsome words\n30 2\n"));
    ExpectPoints({{0, 0}, {10, 0.5}, {20, 1.0}, {30, 2}});
    driver.Inspect([](CDialog& dialog) {
        EXPECT_FALSE(Enabled(dialog, IDC_PREV_POINT));
        EXPECT_FALSE(Enabled(dialog, IDC_REMOVE_POINT));
        EXPECT_TRUE(Enabled(dialog, IDC_NEXT_POINT));
        EXPECT_STREQ(Text(dialog, IDC_POSITION_VALUE), "0");
    });
    Finish();
    EXPECT_TRUE(driver.GetMessages().empty());
}

TEST_F(Import, LineRules) {
    ImportFile(
        File("-5 0.1\n"       // a negative position is taken
             "7 -1\n"         // a negative time is not
             "1,5 2,5\n"      // commas as decimal points
             "1,2\n"          // one number only after the comma change
             "1;2\n"          // no separator that a scan accepts
             "\n   \n\r\n"    // empty lines
             "6 3 99 note\n"  // the first two numbers count
             "nan 5\n"        // no position
             "8 inf\n"        // limited to the maximum time...
             "9 1e300\n"      // ...and a second one does not advance
             "4 1e1"));       // no LF at the end; also below the last time
    const double maxTime = 2147483646.0 / 1250;
    ExpectPoints({{0, 0}, {-5, 0.1}, {1.5, 2.5}, {6, 3}, {8, maxTime}});
    Finish();
}

TEST_F(Import, CarriageReturnAloneEndsNoLine) {
    ImportFile(File("1 1\r2 2\r3 3\r"));
    ExpectPoints({{0, 0}, {1, 1}});
    Finish();
}

TEST_F(Import, TheSelectedUnitsReadTheFile) {
    const std::string path = File("2000 100\n");
    driver.Select(IDC_POSITION_UNIT, "IU").Select(IDC_TIME_UNIT, "ms");
    ImportFile(path);
    driver.Inspect([](CDialog& dialog) {
        CEditorDlgTestSeam editor = Editor(dialog);
        EXPECT_EQ(editor.m_Data.m_Position.GetValueInInternalUnit(1), 2000);
        EXPECT_EQ(editor.m_Data.m_Time.GetValueInInternalUnit(1), 125);
    });
    Finish();
}

TEST_F(Import, NoPointTakenLeavesTheStartPointAndOkRefuses) {
    ImportFile(File("0 0\nwords only\n"));
    ExpectPoints({{0, 0}});
    driver.Click("OK").ExpectMessage(
        "Invalid number of points. You should have at least 2 points.");
    Finish();
}

TEST_F(Import, CancelledFileDialogChangesNothing) {
    driver.Click(IDC_NEXT_POINT).Click(IDC_NEXT_POINT).Click(IDC_IMPORT_FROM_FILE).CancelFile();
    ExpectPoints({{0, 0}, {10, 1}, {20, 2}}, 2);
    Finish();
}

TEST_F(Import, FileThatCannotBeOpenedKeepsThePoints) {
    driver.Click(IDC_NEXT_POINT);
    ImportFile(scratch.Path().string());
    driver.Answer("OK");
    ExpectPoints({{0, 0}, {10, 1}, {20, 2}}, 0);
    Finish();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find(scratch.Path().string()), std::string::npos) << Messages()[0];
}

TEST_F(Import, ReadErrorKeepsThePointsTakenBeforeIt) {
    const std::string content = "1 1\n2 2\n3 3\n4 4\n";
    const std::string path = File(content);
    CFileReadFailureForTesting failure(static_cast<std::int64_t>(content.find("3 3")));
    ImportFile(path);
    driver.Answer("OK");
    ExpectPoints({{0, 0}, {1, 1}, {2, 2}});
    Finish();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find("read error"), std::string::npos) << Messages()[0];
}

// Memory that runs out mid-import: the editor says so, keeps the points read before, and OK
// works on them. Every allocation that the reading makes fails once, in turn: those counted
// between the first and the last read of the file in a first run.
TEST_F(Import, OutOfMemoryKeepsThePointsReadSoFar) {
    constexpr int kLines = 300;
    std::string content;
    for (int i = 1; i <= kLines; ++i) {
        // Lines that grow, so that reading them allocates now and then.
        content += std::to_string(i * 10) + " " + std::to_string(i) + " " +
                   std::string(static_cast<size_t>(i), '.') + "\n";
    }
    const std::string path = File(content);
    std::optional<CAllocationFailureForTesting> allocations;

    std::int64_t first = -1, last = -1;
    driver.Inspect([&](CDialog&) { allocations.emplace(0); });
    ImportFile(path);
    driver.Inspect([&](CDialog&) {
        first = allocations->GetCountAtFirstRead();
        last = allocations->GetCountAtLastRead();
        allocations.reset();
    });
    Finish();
    ASSERT_GE(first, 0);
    ASSERT_GT(last - first, 10);

    for (std::int64_t failAt = first; failAt <= last; ++failAt) {
        SCOPED_TRACE(failAt);
        // A driver of its own: the answer to a refused OK stays unplayed when OK is accepted.
        CHeadlessDriver user;
        AfxSetDialogDriver(&user);
        text = MotionText("ATIME[s]=1: 0", "TPOS[rot]=1: 0", "WaitForCompletion=1\r\n");
        int kept = 0;
        user.Inspect([&](CDialog&) { allocations.emplace(failAt); });
        user.Click(IDC_IMPORT_FROM_FILE).PickFile(path.c_str()).ExpectMessage("Out of memory.");
        user.Inspect([&](CDialog& dialog) {
            EXPECT_TRUE(allocations->HasFailed());
            allocations.reset();
            const CInternalData& data = Editor(dialog).m_Data;
            kept = data.m_Time.GetValuesCount();
            EXPECT_EQ(data.m_Position.GetValuesCount(), kept);
            EXPECT_LE(kept, kLines);
            for (int i = 0; i < kept; ++i) {
                EXPECT_EQ(data.m_Position.GetValue(i), i * 10);
                EXPECT_EQ(data.m_Time.GetValue(i), i);
            }
            EXPECT_EQ(Editor(dialog).m_Curves.GetAt(0)->GetSize(), kept);
        });
        // OK; only when the start point alone was kept is it refused, and the editor left.
        user.Click("OK").Answer("OK").Click("Cancel");
        CEditorDlg dialog(*host.setup, host.motion, text);
        const INT_PTR result = dialog.DoModal();
        AfxSetDialogDriver(&driver);
        ASSERT_FALSE(user.HasFailed()) << user.GetError().GetString();
        if (kept < 2) {
            EXPECT_EQ(result, IDCANCEL);
            continue;
        }
        ASSERT_EQ(result, IDOK);
        CString program;
        ASSERT_EQ(TranslateMotionSequence(*host.setup, host.motion, text, program), 1)
            << program.GetString();
        EXPECT_NE(program.str().find("PTP 20000L, 1250U"), std::string::npos);
        EXPECT_EQ(program.str().find(std::to_string(kept * 10) + "[rot]"), std::string::npos);
    }
}

TEST_F(Import, ImportThenOkTranslates) {
    text = MotionText("ATIME[IU]=1: 0", "TPOS[IU]=1: 0", "WaitForCompletion=1\r\n");
    ImportFile(File("2000 100\n5000 300\n"));
    driver.Click("OK");
    ASSERT_EQ(Run(text), IDOK);
    CString program;
    ASSERT_EQ(TranslateMotionSequence(*host.setup, host.motion, text, program), 1)
        << program.GetString();
    EXPECT_NE(program.str().find("  PTP 2000L, 100U, 0; //PT(2000[IU], 100[IU])\r\n"
                                 "  UPD; //Execute immediate\r\n"
                                 "  PTP 3000L, 200U, 0; //PT(5000[IU],300[IU])\r\n"),
              std::string::npos)
        << program.GetString();
}

}  // namespace
