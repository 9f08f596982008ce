// travex-host never loses a user's file: run as a separate process against the ways a careless
// command line, a signal, a full disk or a file-size limit could destroy one.
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "host_scratch_folder.h"
#include "worked_example.h"

namespace host_test {
namespace {

const std::string kWorkedExample = (kSourceDir / "examples" / "worked-example.ptm").string();
const std::string kTypeATable = (kSourceDir / "examples" / "scripts" / "type-a-table.txt").string();

// A valid motion of `points` points in IU.
std::string LongMotion(int points) {
    std::string times = "ATIME[IU]=" + std::to_string(points) + ":";
    std::string positions = "TPOS[IU]=" + std::to_string(points) + ":";
    for (int i = 0; i < points; ++i) {
        times += " " + std::to_string(i * 10);
        positions += " " + std::to_string(i * 7);
    }
    return "ClearBuffer=1\n" + times + "\n" + positions + "\nExecute=0\nWaitForCompletion=1\n";
}

// travex-host under /bin/sh, so that the shell may set limits and redirections first.
ChildResult HostUnder(const std::string& shellPrefix, const std::vector<std::string>& arguments) {
    std::vector<std::string> shell{"-c", shellPrefix + " exec \"$0\" \"$@\"", kHost};
    shell.insert(shell.end(), arguments.begin(), arguments.end());
    return RunChild("/bin/sh", shell);
}

using HostFileSafety = HostScratchFolder;

TEST_F(HostFileSafety, AnOutputThatIsAnInputOrTheOtherOutputIsRefusedBeforeAnyWork) {
    const std::string motion = Put("m.ptm", Contents(kWorkedExample));
    const std::string points = Put("p.txt", "1 1\n2 2\n");
    fs::create_hard_link(dir / "m.ptm", dir / "hard.ptm");
    fs::create_symlink("p.txt", dir / "soft.txt");
    const std::string other = (dir / "new.txt").string();
    struct Case {
        std::vector<std::string> arguments;
        std::string named;
    };
    const Case cases[] = {
        {{"translate", motion, "-o", motion}, "the motion (" + motion + ") and -o (" + motion},
        {{"translate", motion, "-o", (dir / "hard.ptm").string()}, "hard.ptm"},
        {{"import", points, "-o", points}, "the points (" + points + ") and -o (" + points},
        {{"import", points, "-o", (dir / "soft.txt").string()}, "soft.txt"},
        {{"import", points, "--program", points}, "--program (" + points},
        {{"import", points, "-o", other, "--program", other}, "-o (" + other + ")"},
        {{"edit", motion, "--script", motion}, "--script (" + motion},
    };
    for (const Case& c : cases) {
        const ChildResult result = Host(c.arguments);
        EXPECT_EQ(result.exitStatus, 2) << c.named;
        EXPECT_EQ(result.out, "") << c.named;
        EXPECT_NE(result.err.find(c.named), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("are the same file"), std::string::npos) << result.err;
    }
    EXPECT_EQ(Contents(motion), Contents(kWorkedExample));
    EXPECT_EQ(Contents(points), "1 1\n2 2\n");
    EXPECT_EQ(Entries(), (std::set<std::string>{"hard.ptm", "m.ptm", "p.txt", "soft.txt"}));
}

TEST_F(HostFileSafety, EditLeavesAFileThatIsNoMotionAlone) {
    const std::string readme = Contents(kSourceDir / "README.md");
    struct Case {
        std::string text;
        std::string why;
    };
    const Case cases[] = {
        {readme, "line 1 is no entry: \"# Travex\""},
        {"Name=Rotary drive\nIsClosedPosition=1\n", "none of a motion's entries"},
    };
    for (const Case& c : cases) {
        const std::string file = Put("file.txt", c.text);
        const ChildResult result = Host({"edit", file, "--script", kTypeATable});
        EXPECT_EQ(result.exitStatus, 2) << c.why;
        EXPECT_NE(result.err.find(c.why), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("travex-host defaults -o FILE"), std::string::npos);
        EXPECT_EQ(Contents(file), c.text);
    }
}

TEST_F(HostFileSafety, AReplacedFileKeepsItsModeAndOwner) {
    for (mode_t mode : {0600, 0640, 0444, 0755}) {
        const std::string program = Put("program.txt", "an earlier program");
        ASSERT_EQ(chmod(program.c_str(), mode), 0);
        // Root may give the file away; anyone else keeps the owner as it is.
        const uid_t owner = geteuid() == 0 ? 4321 : geteuid();
        const gid_t group = geteuid() == 0 ? 4321 : getegid();
        ASSERT_EQ(chown(program.c_str(), owner, group), 0);
        const ChildResult result = Host({"translate", kWorkedExample, "-o", program});
        struct stat info {};
        ASSERT_EQ(stat(program.c_str(), &info), 0);
        if (geteuid() != 0 && !(mode & 0200)) {
            EXPECT_EQ(result.exitStatus, 2) << "a file that its owner may not write is kept";
            EXPECT_EQ(Contents(program), "an earlier program");
        } else {
            EXPECT_EQ(result.exitStatus, 0) << result.err;
            EXPECT_EQ(Contents(program), kWorkedExampleProgram);
        }
        EXPECT_EQ(info.st_mode & 07777, mode) << std::oct << mode;
        EXPECT_EQ(info.st_uid, owner);
        EXPECT_EQ(info.st_gid, group);
        EXPECT_EQ(Entries(), std::set<std::string>{"program.txt"});
    }
}

TEST_F(HostFileSafety, TwoOutputsAreWrittenBothOrNeither) {
    const std::string points = Put("p.txt", "1 1\n2 2\n");
    const std::string motion = (dir / "ok.ptm").string();
    ChildResult result = Host({"import", points, "-o", motion, "--program",
                               (dir / "nodir" / "x.txt").string(), "--quiet"});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_NE(result.err.find("nodir"), std::string::npos) << result.err;
    EXPECT_EQ(Entries(), std::set<std::string>{"p.txt"}) << "the motion was written alone";

    Put("ok.ptm", "an earlier motion");
    fs::create_directory(dir / "taken");
    result = Host({"import", points, "-o", motion, "--program", (dir / "taken").string()});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(Contents(motion), "an earlier motion");
    EXPECT_EQ(Entries(), (std::set<std::string>{"ok.ptm", "p.txt", "taken"}));
}

TEST_F(HostFileSafety, AFailedWriteOfWhatTheUserAskedToSeeIsAnErrorThatWritesNothing) {
    ASSERT_EQ(Host({"defaults", "-o", (dir / "m.ptm").string()}).exitStatus, 0);
    const std::string motion = (dir / "m.ptm").string();
    const std::string before = Contents(motion);
    // OK is refused once (a message box), then the table is typed and OK taken.
    const std::string script = Put("s.txt", "click OK\nanswer OK\n" + Contents(kTypeATable));
    ChildResult result = Host({"edit", motion, "--script", script});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    ASSERT_NE(result.out.find("message: "), std::string::npos);
    Put("m.ptm", before);
    result = HostUnder(">/dev/full", {"edit", motion, "--script", script});
    EXPECT_EQ(result.exitStatus, 2) << result.err;
    EXPECT_NE(result.err.find("standard output"), std::string::npos) << result.err;
    EXPECT_EQ(Contents(motion), before);

    result = HostUnder(">/dev/full", {"translate", kWorkedExample});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_NE(result.err.find("cannot write standard output"), std::string::npos) << result.err;
    result = HostUnder(">/dev/full", {"info"});
    EXPECT_EQ(result.exitStatus, 2);
}

// Written in place instead of through a temporary file, every other test passes; here the
// target would be left half-written.
TEST_F(HostFileSafety, AWriteCutShortByAFileSizeLimitLeavesTheTargetWhole) {
    const std::string motion = Put("long.ptm", LongMotion(2000));
    const std::string program = Put("program.txt", "an earlier program");
    // 8 blocks of 512 bytes: far less than the program, more than the earlier text.
    const ChildResult result = HostUnder("ulimit -f 8;", {"translate", motion, "-o", program});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_NE(result.err.find("File too large"), std::string::npos) << result.err;
    EXPECT_EQ(Contents(program), "an earlier program");
    EXPECT_EQ(Entries(), (std::set<std::string>{"long.ptm", "program.txt"}));
}

// Starts travex-host writing a long program and sends `signal` the moment its temporary file
// appears. The exit status as waitpid gives it.
int SignalDuringTheWrite(const fs::path& dir, const std::string& motion, const std::string& output,
                         int signal) {
    const int watch = inotify_init1(IN_CLOEXEC);
    inotify_add_watch(watch, dir.c_str(), IN_CREATE);
    const pid_t child = fork();
    if (child == 0) {
        execl(kHost.c_str(), kHost.c_str(), "translate", motion.c_str(), "-o", output.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    char events[4096];
    while (read(watch, events, sizeof events) <= 0) {
    }
    kill(child, signal);
    close(watch);
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

TEST_F(HostFileSafety, ASignalDuringTheWriteLeavesNoTemporaryFileAndTheTargetUntouched) {
    const std::string motion = Put("long.ptm", LongMotion(400000));
    const std::string program = Put("program.txt", "an earlier program");
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        int status = 0;
        // A signal that comes after the rename finds nothing to remove; try again then.
        for (int attempt = 0; attempt < 3; ++attempt) {
            Put("program.txt", "an earlier program");
            status = SignalDuringTheWrite(dir, motion, program, signal);
            if (WIFSIGNALED(status)) break;
        }
        ASSERT_TRUE(WIFSIGNALED(status)) << "the signal never came during the write";
        EXPECT_EQ(WTERMSIG(status), signal) << "the process ends as the signal asks";
        EXPECT_EQ(Contents(program), "an earlier program") << strsignal(signal);
        EXPECT_EQ(Entries(), (std::set<std::string>{"long.ptm", "program.txt"}))
            << strsignal(signal);
    }
}

}  // namespace
}  // namespace host_test
