// travex-host writing into a pipe whose reader has gone (`| head`): the report on standard error
// may be lost, the motion written to a file may not; a motion meant for standard output is
// either all there or the exit status says it is not.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "host_scratch_folder.h"

extern char** environ;

namespace host_test {
namespace {

struct Ending {
    int exitStatus = -1;  // -1 when a signal ended it
    int signal = 0;
    std::string err;  // when standard error was not the closed pipe
};

enum class Closed { Output, Error, Both };

// travex-host with `closed` on a pipe that nobody reads, with SIGPIPE as a shell leaves it.
Ending HostIntoClosedPipe(Closed closed, const std::vector<std::string>& arguments) {
    int ends[2];
    if (pipe(ends) != 0) throw std::runtime_error("pipe failed");
    close(ends[0]);
    FILE* kept = std::tmpfile();
    const int other = fileno(kept);
    const int null = open("/dev/null", O_RDONLY);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, null, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, closed == Closed::Error ? other : ends[1],
                                     STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, closed == Closed::Output ? other : ends[1],
                                     STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &pipeSignal);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    std::vector<char*> argv{const_cast<char*>(kHost.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int failed =
        posix_spawn(&pid, kHost.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(ends[1]);
    close(null);
    if (failed) throw std::runtime_error("cannot start travex-host");
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    Ending ending;
    if (WIFEXITED(status)) ending.exitStatus = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) ending.signal = WTERMSIG(status);
    std::rewind(kept);
    char buffer[4096];
    for (size_t count; (count = std::fread(buffer, 1, sizeof buffer, kept)) > 0;)
        ending.err.append(buffer, count);
    std::fclose(kept);
    return ending;
}

using HostClosedPipe = HostScratchFolder;

const std::string kPoints = (kSourceDir / "examples" / "points" / "worked-example.txt").string();
// The worked example's points are in IU.
const std::vector<std::string> kImport = {"import", kPoints, "--position-unit", "IU",
                                          "--time-unit", "IU"};

std::vector<std::string> Import(const std::vector<std::string>& more) {
    std::vector<std::string> arguments = kImport;
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

TEST_F(HostClosedPipe, AReportNobodyReadsCostsNeitherTheMotionNorTheStatus) {
    const std::string expected = (dir / "expected.ptm").string();
    const ChildResult reference = Host(Import({"-o", expected}));
    ASSERT_EQ(reference.exitStatus, 0) << reference.err;
    ASSERT_FALSE(reference.err.empty()) << "the import reports what it took";

    for (const Closed closed : {Closed::Error, Closed::Both}) {
        const std::string motion = (dir / "motion.ptm").string();
        std::filesystem::remove(motion);
        const Ending ending = HostIntoClosedPipe(closed, Import({"-o", motion}));
        EXPECT_EQ(ending.signal, 0);
        EXPECT_EQ(ending.exitStatus, 0);
        EXPECT_EQ(Contents(motion), Contents(expected));
    }

    // A refusal keeps its status when nobody hears the reason.
    const Ending refused = HostIntoClosedPipe(
        Closed::Error, {"translate", (kSourceDir / "examples" / "broken-one-point.ptm").string()});
    EXPECT_EQ(refused.signal, 0);
    EXPECT_EQ(refused.exitStatus, 1);
}

TEST_F(HostClosedPipe, AMotionOrReportForAClosedStandardOutputFailsWholly) {
    const std::string program = (dir / "program.txt").string();
    const Ending motion =
        HostIntoClosedPipe(Closed::Output, Import({"--program", program}));
    EXPECT_EQ(motion.signal, 0);
    EXPECT_EQ(motion.exitStatus, 2);
    EXPECT_NE(motion.err.find("standard output"), std::string::npos) << motion.err;
    EXPECT_FALSE(std::filesystem::exists(program)) << "the program goes only with its motion";

    // Printed a line at a time rather than written whole: the status says it too.
    const std::string worked = (kSourceDir / "examples" / "worked-example.ptm").string();
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"info"}, {"translate", worked}, {"show", worked}}) {
        const Ending ending = HostIntoClosedPipe(Closed::Output, arguments);
        EXPECT_EQ(ending.signal, 0) << arguments[0];
        EXPECT_EQ(ending.exitStatus, 2) << arguments[0];
        EXPECT_NE(ending.err.find("travex-host: "), std::string::npos) << ending.err;
    }
}

}  // namespace
}  // namespace host_test
