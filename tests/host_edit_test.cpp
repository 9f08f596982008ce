// travex-host edit: a script of user actions played on the module's editor, run as a separate
// process; what it prints, its exit status, and what it leaves of the motion file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <future>
#include <string>
#include <vector>

#include "host_scratch_folder.h"
#include "worked_example.h"

namespace host_test {
namespace {

const fs::path kScripts = kSourceDir / "examples" / "scripts";

// A motion as a user's text editor leaves it: LF line ends, a comment, no final line end.
const std::string kHandWritten =
    "; by hand\nMASTERID=3\nClearBuffer=1\nATIME[IU]=3: 0 100 300\nTPOS[IU]=3: 0 2000 5000\n"
    "Execute=0\nWaitForCompletion=1";

using HostEdit = HostScratchFolder;

TEST_F(HostEdit, TypedTableIsWrittenOverTheMotionAndTranslates) {
    const std::string motion = (dir / "new.ptm").string();
    ASSERT_EQ(Host({"defaults", "-o", motion}).exitStatus, 0);
    const std::string before = Contents(motion);

    const ChildResult edited = Host({"edit", motion, "--script", kScripts / "type-a-table.txt"});
    EXPECT_EQ(edited.exitStatus, 0) << edited.err;
    EXPECT_EQ(edited.out, "") << "no message box comes up on the way";
    EXPECT_EQ(edited.err, "");
    EXPECT_NE(Contents(motion), before);
    EXPECT_EQ(Entries(), std::set<std::string>{"new.ptm"}) << "a temporary file was left";

    const ChildResult program = Host({"translate", motion});
    EXPECT_EQ(program.exitStatus, 0) << program.err;
    EXPECT_EQ(program.out, kWorkedExampleProgram);
}

TEST_F(HostEdit, CancelLeavesTheMotionByteForByte) {
    const std::string motion = Put("hand.ptm", kHandWritten);
    for (const char* leave : {"click Cancel", "key Escape", "close"}) {
        const std::string script =
            Put("cancel.txt", "type Position 9000\nkey Enter\ntype Time 900\nkey Enter\n" +
                                  std::string(leave) + "\n");
        const ChildResult result = Host({"edit", motion, "--script", script});
        EXPECT_EQ(result.exitStatus, 3) << leave << ": " << result.err;
        EXPECT_EQ(result.out, "") << leave;
        EXPECT_EQ(result.err, "") << leave;
        EXPECT_EQ(Contents(motion), kHandWritten) << leave;
    }
    EXPECT_EQ(Entries(), (std::set<std::string>{"cancel.txt", "hand.ptm"}));
}

TEST_F(HostEdit, ScriptErrorsNameTheLineAndLeaveTheMotion) {
    struct Case {
        std::string script;
        std::string error;  // after "travex-host: <script path>"
    };
    const Case cases[] = {
        {"type Posit1on 5\n", ":1: no control \"Posit1on\" in dialog \"Motion - PT\""},
        {"# the start point is selected\nclick Remove\n",
         ":2: control 1000 \"&Remove\" is disabled"},
        {"click \"Edit Event\"\n", ":1: control 1504 \"Edit Event\" is disabled"},
        {"click >>\nclick >>\ntype Time 50\nclick Update\nclick OK\n",
         ":4: message box \"Incorrect time value!\" is not answered"},
        {"type Position 1\n\n", ":1: the script ends with dialog \"Motion - PT\" still open"},
        {"click Cancel\nclick OK\n", ":2: no dialog is open for this action"},
        // Refused while loading: the editor never opens.
        {"click OK\nfrobnicate 3\n", ":2: unknown verb \"frobnicate\""},
        {"import\n", ":1: import takes 1 word (FILE), not 0"},
        {"pick 7\n", ":1: the graph has no point 7"},
    };
    const std::string motion = Put("hand.ptm", kHandWritten);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const std::string script = Put("s.txt", c.script);
        const ChildResult result = Host({"edit", motion, "--script", script});
        EXPECT_EQ(result.exitStatus, 2);
        EXPECT_NE(result.err.find("travex-host: " + script + c.error), std::string::npos)
            << result.err;
        EXPECT_EQ(Contents(motion), kHandWritten);
    }
}

TEST_F(HostEdit, EveryMessageBoxIsPrintedOnALineOfItsOwn) {
    const std::string motion = Put("hand.ptm", kHandWritten);
    const std::string script = Put("s.txt",
                                   "click >>\nclick >>\n"
                                   "type Time 50\nclick Update\n"
                                   "expect-message \"Incorrect time value!\"\n"
                                   "type 1508 0\nclick OK\n"
                                   "answer OK\n"
                                   "click Cancel\n");
    const ChildResult result = Host({"edit", motion, "--script", script});
    EXPECT_EQ(result.exitStatus, 3) << result.err;
    EXPECT_EQ(result.out,
              "message: Incorrect time value!\n"
              "message: Enter an integer between 1 and 255.\n");
    EXPECT_EQ(Contents(motion), kHandWritten);

    // Messages shown before a script error are printed too, and the error goes to stderr.
    const std::string broken = Put("s.txt", "click OK\n");
    const std::string onePoint = Put("one.ptm", "ATIME[IU]=1: 0\nTPOS[IU]=1: 0\nExecute=0\n");
    const ChildResult stopped = Host({"edit", onePoint, "--script", broken});
    EXPECT_EQ(stopped.exitStatus, 2);
    EXPECT_EQ(stopped.out, "message: " + std::string(kTooFewPoints) + "\n");
    EXPECT_NE(stopped.err.find(":1: message box"), std::string::npos) << stopped.err;
}

TEST_F(HostEdit, ImportActionPicksTheFileRelativeToTheCurrentFolder) {
    // The example script names its points file from the top of the source tree.
    const std::string motion = (dir / "new.ptm").string();
    ASSERT_EQ(Host({"defaults", "-o", motion}).exitStatus, 0);
    ChildResult result =
        HostIn(kSourceDir, {"edit", motion, "--script", "examples/scripts/import-points.txt"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(Host({"translate", motion}).out, kWorkedExampleProgram);

    // Imported into a motion that has points: they are replaced, the options kept.
    Put("points.txt", "1000 50\n3000 150\n");
    const std::string hand = Put("hand.ptm", kHandWritten);
    const std::string script = Put("s.txt", "select 1018 rot\nimport points.txt\nclick OK\n");
    result = HostIn(dir, {"edit", "hand.ptm", "--script", "s.txt"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const std::string text = Contents(hand);
    EXPECT_NE(text.find("MASTERID=3"), std::string::npos) << text;
    EXPECT_NE(text.find("ATIME[IU]=3: 0 50 150"), std::string::npos) << text;
    EXPECT_NE(text.find("TPOS[rot]=3: 0 2000000 6000000"), std::string::npos) << text;

    // A file that is not there: the file dialog's message, which the script does not answer.
    Put("s.txt", "import missing.txt\nclick OK\n");
    result = HostIn(dir, {"edit", "hand.ptm", "--script", "s.txt"});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_NE(result.err.find("s.txt:1: message box \"File not found: "), std::string::npos)
        << result.err;
    EXPECT_EQ(Contents(hand), text);
}

TEST_F(HostEdit, WithoutAScriptOrReadableFilesNothingRuns) {
    const std::string motion = Put("hand.ptm", kHandWritten);
    const std::string script = Put("s.txt", "click OK\n");
    struct Case {
        std::vector<std::string> arguments;
        std::string named;
    };
    const Case cases[] = {
        {{"edit", (dir / "missing.ptm").string(), "--script", script}, "missing.ptm"},
        {{"edit", motion, "--script", (dir / "missing.txt").string()}, "missing.txt"},
        {{"edit", "--script", script}, "motion"},
        {{"edit", "-", "--script", script}, "not -"},
        {{"--module", (dir / "Nowhere.so").string(), "edit", motion, "--script", script},
         "Nowhere.so"},
    };
    for (const Case& c : cases) {
        const ChildResult result = Host(c.arguments);
        EXPECT_EQ(result.exitStatus, 2) << c.named;
        EXPECT_EQ(result.out, "") << c.named;
        EXPECT_NE(result.err.find(c.named), std::string::npos) << result.err;
    }
    EXPECT_EQ(Contents(motion), kHandWritten);

    const ChildResult help = Host({"edit", "--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("--script"), std::string::npos) << help.out;
}

}  // namespace
}  // namespace host_test

namespace host_test {
namespace {

TEST_F(HostEdit, ScriptFromStandardInputAndScriptsThatAreNoScript) {
    const std::string motion = (dir / "m.ptm").string();
    ASSERT_EQ(Host({"defaults", "-o", motion}).exitStatus, 0);
    const std::string before = Contents(motion);
    const std::string empty = Put("empty.txt", " \n\n");
    fs::create_directory(dir / "folder");
    struct Case {
        std::string script;
        std::string error;
    };
    const Case cases[] = {
        {empty, "travex-host: the script " + empty + " is empty; it needs the user's actions"},
        {(dir / "folder").string(),
         "travex-host: cannot read " + (dir / "folder").string() + ": it is a directory\n"},
    };
    for (const Case& c : cases) {
        const ChildResult result = Host({"edit", motion, "--script", c.script});
        EXPECT_EQ(result.exitStatus, 2) << c.script;
        EXPECT_EQ(result.err.rfind(c.error, 0), 0u) << result.err;
        EXPECT_EQ(Contents(motion), before);
    }

    const std::string script = "\xEF\xBB\xBF" + Contents(kScripts / "type-a-table.txt");
    const ChildResult result = RunChild(kHost, {"edit", motion, "--script", "-"}, script);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(Host({"translate", motion}).out, kWorkedExampleProgram);
}

// The editor stays open until the test writes the points into the pipe that its import reads:
// meanwhile another program may save the motion.
class CEditWaitingForPoints {
public:
    CEditWaitingForPoints(const fs::path& dir, const std::string& motion, const std::string& name)
        : m_fifo(dir / (name + ".fifo")) {
        EXPECT_EQ(mkfifo(m_fifo.c_str(), 0600), 0);
        const std::string script = (dir / (name + ".txt")).string();
        std::ofstream(script) << "import " << m_fifo.string() << "\nclick OK\n";
        m_result = std::async(std::launch::async, [motion, script] {
            return Host({"edit", motion, "--script", script});
        });
    }
    // Returns once the editor's import opens the pipe: the motion has been read by then.
    // Closed on exec, so that no other child started meanwhile holds the pipe open.
    void WaitForTheImport() { m_pipe = open(m_fifo.c_str(), O_WRONLY | O_CLOEXEC); }
    ChildResult Finish(const std::string& points) {
        EXPECT_EQ(write(m_pipe, points.data(), points.size()), static_cast<ssize_t>(points.size()));
        close(m_pipe);
        return m_result.get();
    }

private:
    fs::path m_fifo;
    int m_pipe = -1;
    std::future<ChildResult> m_result;
};

TEST_F(HostEdit, AMotionSavedByAnotherProgramWhileTheEditorIsOpenIsLeftAndTheEditKept) {
    const std::string motion = Put("m.ptm", kHandWritten);
    const std::string saved = Contents(kSourceDir / "examples" / "worked-example.ptm");
    struct Case {
        const char* how;
        void (*save)(const std::string& motion, const std::string& text);
    };
    const Case cases[] = {
        {"written in place",
         [](const std::string& path, const std::string& text) {
             std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
         }},
        {"renamed over it",
         [](const std::string& path, const std::string& text) {
             std::ofstream(path + ".new", std::ios::binary) << text;
             fs::rename(path + ".new", path);
         }},
        {"the same text, renamed over it",
         [](const std::string& path, const std::string&) {
             fs::copy_file(path, path + ".new");
             fs::rename(path + ".new", path);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        Put("m.ptm", kHandWritten);
        CEditWaitingForPoints edit(dir, motion, "import");
        edit.WaitForTheImport();
        c.save(motion, saved);
        const std::string now = Contents(motion);
        const ChildResult result = edit.Finish("1 1\n2 2\n");
        EXPECT_EQ(result.exitStatus, 2);
        EXPECT_EQ(result.err, "travex-host: " + motion +
                                  " changed while it was being edited (another program saved "
                                  "it); it is left as it is, and the edited text is in " +
                                  motion + ".edited\n");
        EXPECT_EQ(Contents(motion), now);
        EXPECT_NE(Contents(motion + ".edited").find("TPOS[IU]=3: 0 1 2"), std::string::npos)
            << Contents(motion + ".edited");
        fs::remove(motion + ".edited");
        fs::remove(dir / "import.fifo");
    }
}

// Both editors are open at once and take OK together: one edit is written, the other kept
// beside it, and neither is lost.
TEST_F(HostEdit, TwoEditsOfOneMotionAtOnceLoseNeither) {
    const std::string motion = Put("m.ptm", kHandWritten);
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        Put("m.ptm", kHandWritten);
        CEditWaitingForPoints first(dir, motion, "first");
        CEditWaitingForPoints second(dir, motion, "second");
        first.WaitForTheImport();
        second.WaitForTheImport();
        const ChildResult a = first.Finish("1 1\n2 2\n");
        const ChildResult b = second.Finish("5 5\n6 6\n7 7\n");
        ASSERT_EQ(a.exitStatus + b.exitStatus, 2) << a.err << b.err;
        const bool firstWon = a.exitStatus == 0;
        EXPECT_NE(Contents(motion).find(firstWon ? "TPOS[IU]=3: 0 1 2" : "TPOS[IU]=4: 0 5 6 7"),
                  std::string::npos);
        EXPECT_NE(Contents(motion + ".edited")
                      .find(firstWon ? "TPOS[IU]=4: 0 5 6 7" : "TPOS[IU]=3: 0 1 2"),
                  std::string::npos);
        fs::remove(motion + ".edited");
        fs::remove(dir / "first.fifo");
        fs::remove(dir / "second.fifo");
    }
}

}  // namespace
}  // namespace host_test
