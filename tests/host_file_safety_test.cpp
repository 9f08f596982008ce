// travex-host never loses a user's file: run as a separate process against the ways a careless
// command line, a signal, a full disk or a file-size limit could destroy one.
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
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
    // Outputs still to be made, named two ways from the current folder.
    for (const char* spelling : {"./new.ptm", "sub/../new.ptm"}) {
        fs::create_directory(dir / "sub");
        const ChildResult result =
            HostIn(dir, {"import", "p.txt", "-o", "new.ptm", "--program", spelling});
        EXPECT_EQ(result.exitStatus, 2) << spelling;
        EXPECT_NE(result.err.find("are the same file"), std::string::npos) << result.err;
        fs::remove(dir / "sub");
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

// Root may write any file, so only a user who is not root sees whether a file that the user may
// not write is left alone: "nobody" where the suite runs as root.
TEST_F(HostFileSafety, AFileThatTheUserMayNotWriteIsNotReplaced) {
    const ChildUser* nobody = Nobody();
    if (geteuid() == 0 && !nobody) GTEST_SKIP() << "runs as root, and there is no user nobody";
    const uid_t user = nobody ? nobody->uid : geteuid();
    const gid_t group = nobody ? nobody->gid : getegid();
    const auto hostAsUser = [nobody](const std::vector<std::string>& arguments) {
        return nobody ? RunChildAs(*nobody, kHost, arguments) : Host(arguments);
    };
    // The folder is the user's: only the file's own mode and owner stand in the way.
    ASSERT_EQ(chown(dir.c_str(), user, group), 0);
    struct Case {
        mode_t mode;
        bool ownedByAnother;  // root's, which only root can arrange
        bool replaced;
    };
    const Case cases[] = {{0644, false, true}, {0444, false, false}, {0644, true, false}};
    for (const Case& c : cases) {
        if (c.ownedByAnother && !nobody) continue;
        const std::string program = Put("program.txt", "an earlier program");
        ASSERT_EQ(chown(program.c_str(), c.ownedByAnother ? 0 : user, group), 0);
        ASSERT_EQ(chmod(program.c_str(), c.mode), 0);
        const ChildResult result = hostAsUser({"translate", kWorkedExample, "-o", program});
        if (c.replaced) {
            EXPECT_EQ(result.exitStatus, 0) << result.err;
            EXPECT_EQ(Contents(program), kWorkedExampleProgram);
        } else {
            EXPECT_EQ(result.exitStatus, 2) << std::oct << c.mode;
            EXPECT_EQ(result.err, "travex-host: cannot write " + program + ": Permission denied\n");
            EXPECT_EQ(Contents(program), "an earlier program");
        }
        EXPECT_EQ(Entries(), std::set<std::string>{"program.txt"});
    }
}

// A link planted by another user in a folder like /tmp must not let root's output replace the
// file that it points to; the links that the caller or the folder's owner made are followed.
TEST_F(HostFileSafety, ALinkThatAnotherUserPlantedInASharedFolderIsNotFollowed) {
    const ChildUser* nobody = Nobody();
    if (!nobody) GTEST_SKIP() << "only root can plant a link that another user owns";
    const fs::path shared = dir / "pub";
    fs::create_directory(shared);
    ASSERT_EQ(chmod(shared.c_str(), 01777), 0);
    fs::create_directory(dir / "private");
    const std::string secret = Put("private/secret.conf", "secret");
    const auto plant = [&](const std::string& name, const std::string& target, uid_t owner) {
        fs::create_symlink(target, shared / name);
        EXPECT_EQ(lchown((shared / name).c_str(), owner, owner), 0);
        return (shared / name).string();
    };
    const std::string points = Put("p.txt", "1 1\n2 2\n");
    const std::string motion = (dir / "ok.ptm").string();
    const std::string planted = plant("prog.txt", "../private/secret.conf", nobody->uid);
    const std::string plot = plant("plot.png", "../private/secret.conf", nobody->uid);
    const std::string folder = plant("folder", "../private", nobody->uid);
    const std::vector<std::vector<std::string>> commands = {
        {"translate", kWorkedExample, "-o", planted},
        {"defaults", "-o", planted},
        {"import", points, "-o", planted},
        {"import", points, "-o", motion, "--program", planted},
        {"plot", kWorkedExample, "-o", plot},
        {"translate", kWorkedExample, "-o", folder + "/secret.conf"},
    };
    for (const auto& command : commands) {
        const ChildResult result = Host(command);
        EXPECT_EQ(result.exitStatus, 2) << command.back();
        EXPECT_NE(result.err.find(" is a link that another user made in a folder that anyone may "
                                  "write; it is not followed"),
                  std::string::npos)
            << result.err;
        EXPECT_NE(result.err.find(command[0] == "plot"        ? plot
                                  : command.back() == planted ? planted
                                                              : folder),
                  std::string::npos)
            << result.err;
    }
    EXPECT_EQ(Contents(secret), "secret");
    EXPECT_FALSE(fs::exists(motion)) << "the motion was written without its program";

    // The caller's own link and the folder owner's are followed: the target is replaced.
    const std::string own = plant("own.txt", "../private/secret.conf", geteuid());
    EXPECT_EQ(Host({"translate", kWorkedExample, "-o", own}).exitStatus, 0);
    EXPECT_EQ(Contents(secret), kWorkedExampleProgram);
    ASSERT_EQ(chown(shared.c_str(), nobody->uid, nobody->gid), 0);
    Put("private/secret.conf", "secret");
    EXPECT_EQ(Host({"translate", kWorkedExample, "-o", planted}).exitStatus, 0);
    EXPECT_EQ(Contents(secret), kWorkedExampleProgram);
    EXPECT_TRUE(fs::is_symlink(planted));
}

// How long the link race runs: a few seconds by default, TRAVEX_RACE_SECONDS=60 for a long run.
int RaceSeconds() {
    const char* seconds = std::getenv("TRAVEX_RACE_SECONDS");
    return seconds && std::atoi(seconds) > 0 ? std::atoi(seconds) : 3;
}

// Another user swaps, as fast as it can, pub/out.txt between a file of its own and a link to a
// root-only file, and pub/d between a folder of its own and a link to the root-only folder.
// Runs as `user` until killed.
[[noreturn]] void PlantLinks(const ChildUser& user, const fs::path& shared) {
    if (setgroups(0, nullptr) != 0 || setgid(user.gid) != 0 || setuid(user.uid) != 0) _exit(1);
    const int folder = open(shared.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) _exit(1);
    for (;;) {
        symlinkat("../private/out.txt", folder, "link.new");
        renameat(folder, "link.new", folder, "out.txt");
        symlinkat("../private", folder, "d.new");
        renameat(folder, "d", folder, "d.own");
        renameat(folder, "d.new", folder, "d");
        const int fd = openat(folder, "file.new", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) close(fd);
        renameat(folder, "file.new", folder, "out.txt");
        unlinkat(folder, "d", 0);
        renameat(folder, "d.own", folder, "d");
    }
}

// What was checked is what is written: the output's folder is held open from the check on, so
// a link swapped in after it is never followed, however the two interleave.
TEST_F(HostFileSafety, ALinkSwappedInWhileTheOutputIsWrittenIsNeverFollowed) {
    const ChildUser* nobody = Nobody();
    if (!nobody) GTEST_SKIP() << "only root can race against a link that another user plants";
    ASSERT_EQ(chmod(dir.c_str(), 0755), 0);
    const fs::path shared = dir / "pub";
    fs::create_directories(shared / "d");
    ASSERT_EQ(chmod(shared.c_str(), 01777), 0);
    ASSERT_EQ(chown((shared / "d").c_str(), nobody->uid, nobody->gid), 0);
    fs::create_directory(dir / "private");
    ASSERT_EQ(chmod((dir / "private").c_str(), 0700), 0);
    const std::string secret = Put("private/out.txt", "secret");
    ASSERT_EQ(chmod(secret.c_str(), 0600), 0);
    struct stat before {};
    ASSERT_EQ(stat(secret.c_str(), &before), 0);

    const pid_t planter = fork();
    if (planter == 0) PlantLinks(*nobody, shared);
    ASSERT_GT(planter, 0);
    const std::string outputs[] = {(shared / "out.txt").string(), (shared / "d/out.txt").string()};
    int written = 0;
    int refused = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(RaceSeconds());
    for (int run = 0; std::chrono::steady_clock::now() < end; ++run) {
        const ChildResult result = Host({"defaults", "-o", outputs[run % 2]});
        ASSERT_TRUE(result.exitStatus == 0 || result.exitStatus == 2) << result.err;
        (result.exitStatus == 0 ? written : refused) += 1;
        if (Contents(secret) != "secret") break;
    }
    kill(planter, SIGKILL);
    waitpid(planter, nullptr, 0);
    EXPECT_EQ(Contents(secret), "secret") << "replaced after " << written + refused << " runs";
    struct stat after {};
    ASSERT_EQ(stat(secret.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, 0u);
    EXPECT_EQ(scratch.Entries(), (std::set<std::string>{"private", "pub"}));
    std::set<std::string> inPrivate;
    for (const auto& entry : fs::directory_iterator(dir / "private")) {
        inPrivate.insert(entry.path().filename().string());
    }
    EXPECT_EQ(inPrivate, std::set<std::string>{"out.txt"}) << "a file was made beside it";
    // Both ways through ran: the race was on.
    EXPECT_GT(written, 0);
    EXPECT_GT(refused, 0);
}

TEST_F(HostFileSafety, ADanglingLinkIsReplacedAndItsTargetNotMade) {
    fs::create_symlink("missing.txt", dir / "dangling.txt");
    const ChildResult result =
        Host({"translate", kWorkedExample, "-o", (dir / "dangling.txt").string()});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_FALSE(fs::is_symlink(dir / "dangling.txt"));
    EXPECT_EQ(Contents(dir / "dangling.txt"), kWorkedExampleProgram);
    EXPECT_EQ(Entries(), std::set<std::string>{"dangling.txt"});
}

// /dev/zero never ends, and a file past the limit is no motion, setup, script or points file.
TEST_F(HostFileSafety, AnInputWithoutEndOrPastTheLimitIsRefusedByName) {
    const std::string huge = Put("huge.txt", "");
    fs::resize_file(huge, (std::uintmax_t{256} << 20) + 1);
    const std::string motion = Put("m.ptm", Contents(kWorkedExample));
    const auto refused = [](const std::vector<std::string>& command, const std::string& input) {
        const ChildResult result = Host(command);
        EXPECT_EQ(result.exitStatus, 2) << command[0];
        EXPECT_EQ(result.err, "travex-host: cannot read " + input +
                                  ": it holds more than 256 MB, far more than any motion, setup, "
                                  "script or points file\n");
    };
    // Every reader stops at the size that the file system tells.
    refused({"translate", huge}, huge);
    refused({"show", huge}, huge);
    refused({"--setup", huge, "info"}, huge);
    refused({"edit", motion, "--script", huge}, huge);
    refused({"import", huge}, huge);
    // A stream is read up to the limit, once for all of them.
    refused({"import", "/dev/zero"}, "/dev/zero");
    EXPECT_EQ(Contents(motion), Contents(kWorkedExample));
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

// Whether the child has a temporary file open in `dir`: its output being staged, without a name
// ("#INODE (deleted)") or under a hidden one.
bool IsWritingInto(pid_t child, const fs::path& dir) {
    const fs::path fds = "/proc/" + std::to_string(child) + "/fd";
    std::error_code failed;
    for (fs::directory_iterator entry(fds, failed), end; !failed && entry != end;
         entry.increment(failed)) {
        const fs::path target = fs::read_symlink(entry->path(), failed);
        const std::string name = target.filename().string();
        if (!failed && target.parent_path() == dir && (name[0] == '#' || name[0] == '.')) {
            return true;
        }
        failed.clear();
    }
    return false;
}

// Starts travex-host writing a long program and sends `signal` the moment it has its output
// open. The exit status as waitpid gives it.
int SignalDuringTheWrite(const fs::path& dir, const std::string& motion, const std::string& output,
                         int signal) {
    const pid_t child = fork();
    if (child == 0) {
        // Under nohup, or started in the background by a shell, a signal comes ignored, and an
        // ignored signal stays ignored across exec: the host would rightly leave it so.
        for (int caught : {SIGINT, SIGTERM, SIGHUP}) ::signal(caught, SIG_DFL);
        execl(kHost.c_str(), kHost.c_str(), "translate", motion.c_str(), "-o", output.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    while (!IsWritingInto(child, dir)) {
        if (waitpid(child, &status, WNOHANG) == child) return status;  // done before
    }
    kill(child, signal);
    waitpid(child, &status, 0);
    return status;
}

// Whether files here can be made without a name, which vanish with the process on SIGKILL too.
bool HasUnnamedFiles(const fs::path& dir) {
    const int fd = open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) close(fd);
    return fd >= 0;
}

TEST_F(HostFileSafety, ASignalDuringTheWriteLeavesNoTemporaryFileAndTheTargetUntouched) {
    const std::string motion = Put("long.ptm", LongMotion(400000));
    const std::string program = Put("program.txt", "an earlier program");
    // SIGKILL cannot be caught: only a file without a name leaves nothing behind.
    std::vector<int> signals = {SIGINT, SIGTERM, SIGHUP};
    if (HasUnnamedFiles(dir)) signals.push_back(SIGKILL);
    for (int signal : signals) {
        int status = 0;
        // A signal that comes after the rename finds nothing to remove; try again then.
        for (int attempt = 0; attempt < 3; ++attempt) {
            Put("program.txt", "an earlier program");
            status = SignalDuringTheWrite(dir, motion, program, signal);
            if (WIFSIGNALED(status) && Contents(program) == "an earlier program") break;
        }
        ASSERT_TRUE(WIFSIGNALED(status)) << "the signal never came during the write";
        EXPECT_EQ(WTERMSIG(status), signal) << "the process ends as the signal asks";
        EXPECT_EQ(Contents(program), "an earlier program") << strsignal(signal);
        EXPECT_EQ(Entries(), (std::set<std::string>{"long.ptm", "program.txt"}))
            << strsignal(signal);
    }
}

// A SIGKILL between the renames of a motion and its program (put there by a library that
// stands in for rename) splits the pair; the next run that writes into the folder says what
// the killed run left, and removes it.
TEST_F(HostFileSafety, AKillBetweenTheTwoRenamesIsReportedByTheNextRunInTheFolder) {
    const std::string points = Put("points.txt", "1 1\n2 2\n");
    const std::string motion = Put("m.ptm", "an earlier motion");
    const std::string program = Put("p.txt", "an earlier program");
    const ChildResult killed =
        HostUnder("LD_PRELOAD=" KILL_AT_RENAME_LIBRARY
                  " TRAVEX_KILL_AT_RENAME=2 "
                  "ASAN_OPTIONS=\"$ASAN_OPTIONS:verify_asan_link_order=0\"",
                  {"import", points, "-o", motion, "--program", program, "--quiet"});
    ASSERT_EQ(killed.exitStatus, -1) << "not killed: " << killed.err;
    EXPECT_NE(Contents(motion), "an earlier motion");
    EXPECT_EQ(Contents(program), "an earlier program");
    EXPECT_GT(Entries().size(), 3u) << "SIGKILL leaves the killed run no time to clean up";

    const ChildResult next = Host({"defaults", "-o", (dir / "other.ptm").string()});
    EXPECT_EQ(next.exitStatus, 0) << next.err;
    const std::string left =
        "travex-host: warning: a run that was killed left " + dir.string() + "/.";
    EXPECT_EQ(std::count(next.err.begin(), next.err.end(), '\n'), 2) << next.err;
    EXPECT_NE(next.err.find(left + "p.txt.travex-"), std::string::npos) << next.err;
    EXPECT_NE(next.err.find(": the new p.txt that it never put in place (removed)\n"),
              std::string::npos)
        << next.err;
    EXPECT_NE(next.err.find(left + "m.ptm.travex-"), std::string::npos) << next.err;
    EXPECT_NE(next.err.find(": m.ptm as it was before that run replaced it (removed)\n"),
              std::string::npos)
        << next.err;
    EXPECT_EQ(Entries(), (std::set<std::string>{"m.ptm", "other.ptm", "p.txt", "points.txt"}));
    EXPECT_EQ(Host({"defaults", "-o", (dir / "other.ptm").string()}).err, "") << "reported twice";
}

}  // namespace
}  // namespace host_test
