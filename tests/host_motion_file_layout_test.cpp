// The motion file around the parameter text: what the user wrote besides the entries survives an
// edit in place, whether the editor only changes values or adds and drops keys.
#include <regex>

#include "host_scratch_folder.h"
#include "pt/MotionFileLayout.h"
#include "worked_example.h"

namespace host_test {
namespace {

std::string WithLineEnd(std::string text, const std::string& end) {
    return std::regex_replace(text, std::regex("\n"), end);
}

// Comments above the first key, between keys, beside an unknown key and at the end.
const std::string kCommented =
    "; A hand-made motion.\n"
    "; It has notes everywhere.\n"
    "\n"
    "ClearBuffer=1\n"
    "StartPoint=0\n"
    "; the times, in IU\n"
    "ATIME[IU]=3: 0 100 300\n"
    "\n"
    "; the positions\n"
    "TPOS[IU]=3: 0 2000 5000\n"
    "Operator=jane\n"
    "Execute=0\n"
    "; wait for the end\n"
    "WaitForCompletion=1\n"
    "\n"
    "; last words\n";

// What the module writes for it after an edit of one value.
const std::string kRewritten =
    "ClearBuffer=1\r\nStartPoint=0\r\nATIME[IU]=3: 0 150 300\r\nTPOS[IU]=3: 0 2000 5000\r\n"
    "Execute=0\r\nWaitForCompletion=1\r\n";

TEST(MotionFileLayout, ValuesChangeInPlaceAndEverythingElseStaysByteForByte) {
    for (const std::string end : {"\n", "\r\n"}) {
        SCOPED_TRACE(end == "\n" ? "LF" : "CR LF");
        const std::string original = WithLineEnd(kCommented, end);
        std::string expected = original;
        expected.replace(expected.find("0 100 300"), 9, "0 150 300");
        EXPECT_EQ(KeepMotionFileLayout(original, kRewritten), expected);
        // The same values back: the file, unchanged.
        const std::string same =
            "ClearBuffer=1\r\nStartPoint=0\r\nATIME[IU]=3: 0 100 300\r\n"
            "TPOS[IU]=3: 0 2000 5000\r\nExecute=0\r\nWaitForCompletion=1\r\n";
        EXPECT_EQ(KeepMotionFileLayout(original, same), original);
    }
    // A file without a final line end gets one; its other lines are as they were.
    EXPECT_EQ(KeepMotionFileLayout("; x\nExecute=0", "Execute=1\r\n"), "; x\nExecute=1\n");
    // A file of comments only: they head the new text.
    EXPECT_EQ(KeepMotionFileLayout("; new\n", "Execute=0\r\n"), "; new\nExecute=0\n");
}

TEST(MotionFileLayout, AnEventSetAndClearedAddsAndDropsKeysAroundTheComments) {
    const std::string onEvent =
        "ClearBuffer=1\r\nStartPoint=0\r\nATIME[IU]=3: 0 100 300\r\nTPOS[IU]=3: 0 2000 5000\r\n"
        "Execute=1\r\nEvent=InputChanges\r\nEventInput=3\r\nEventLevel=1\r\n";
    const std::string set = KeepMotionFileLayout(kCommented, onEvent);
    // The event's keys follow Execute; the comment of the dropped key stays, above what follows.
    EXPECT_EQ(set,
              "; A hand-made motion.\n; It has notes everywhere.\n\nClearBuffer=1\nStartPoint=0\n"
              "; the times, in IU\nATIME[IU]=3: 0 100 300\n\n; the positions\n"
              "TPOS[IU]=3: 0 2000 5000\nOperator=jane\nExecute=1\nEvent=InputChanges\n"
              "EventInput=3\nEventLevel=1\n; wait for the end\n\n; last words\n");

    // Cleared again, with a host address that the file never had: it goes first among the
    // entries, below the file's heading.
    const std::string immediate =
        "MASTERID=7\r\nClearBuffer=1\r\nStartPoint=0\r\nATIME[IU]=3: 0 100 300\r\n"
        "TPOS[IU]=3: 0 2000 5000\r\nExecute=0\r\nWaitForCompletion=1\r\n";
    EXPECT_EQ(KeepMotionFileLayout(set, immediate),
              "; A hand-made motion.\n; It has notes everywhere.\n\nMASTERID=7\nClearBuffer=1\n"
              "StartPoint=0\n; the times, in IU\nATIME[IU]=3: 0 100 300\n\n; the positions\n"
              "TPOS[IU]=3: 0 2000 5000\nOperator=jane\nExecute=0\nWaitForCompletion=1\n"
              "; wait for the end\n\n; last words\n");
}

TEST(MotionFileLayout, TheUsersOrderOfKeysAndTheLastOfARepeatedKeyCount) {
    const std::string original =
        "Execute=0\nWaitForCompletion=0\nTPOS[IU]=2: 0 5\nATIME[IU]=2: 0 9\n"
        "ClearBuffer=0\n; repeated below\nClearBuffer=1\n";
    const std::string written =
        "ClearBuffer=0\r\nStartPoint=1\r\nATIME[IU]=2: 0 10\r\nTPOS[rot]=2: 0 5\r\nExecute=0\r\n"
        "WaitForCompletion=1\r\n";
    // The earlier ClearBuffer goes: were it left, it would count once the later one is dropped.
    EXPECT_EQ(KeepMotionFileLayout(original, written),
              "Execute=0\nWaitForCompletion=1\nTPOS[rot]=2: 0 5\nATIME[IU]=2: 0 10\n"
              "; repeated below\nClearBuffer=0\nStartPoint=1\n");
}

using HostEditKeepsTheFile = HostScratchFolder;

TEST_F(HostEditKeepsTheFile, CommentsSurviveOkAndAnEventSetAndCleared) {
    // OK on the worked example: not a byte changes, and nothing is said.
    const std::string worked =
        Put("worked.ptm", Contents(kSourceDir / "examples" / "worked-example.ptm"));
    const std::string ok = Put("ok.txt", "click OK\n");
    ChildResult result = Host({"edit", worked, "--script", ok});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(Contents(worked), Contents(kSourceDir / "examples" / "worked-example.ptm"));

    for (const std::string end : {"\n", "\r\n"}) {
        SCOPED_TRACE(end == "\n" ? "LF" : "CR LF");
        const std::string original = WithLineEnd(kCommented, end);
        const std::string motion = Put("hand.ptm", original);
        const std::string set = Put("set.txt", "check \"On event\"\nclick OK\n");
        result = Host({"edit", motion, "--script", set});
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        // The unknown key is kept, and pointed out as before.
        EXPECT_NE(result.err.find(":11: \"Operator\" is no key of a PT motion"), std::string::npos)
            << result.err;
        const std::string onEvent = Contents(motion);
        EXPECT_EQ(onEvent.find("WaitForCompletion"), std::string::npos) << onEvent;
        EXPECT_NE(onEvent.find("Execute=1" + end + "Event"), std::string::npos) << onEvent;

        const std::string clear = Put("clear.txt", "check Immediate\nclick OK\n");
        result = Host({"edit", motion, "--script", clear});
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        // Back where it started, but for the comment of the key that went and came back.
        std::string expected = original;
        const std::string note = "; wait for the end" + end;
        expected.erase(expected.find(note), note.size());
        expected.insert(expected.find(end + end + "; last words") + end.size(), note);
        EXPECT_EQ(Contents(motion), expected);
        EXPECT_EQ(Host({"translate", motion}).exitStatus, 0);
    }
}

}  // namespace
}  // namespace host_test
