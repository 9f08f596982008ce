#include "ProcessTiming.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

extern char** environ;

namespace {

double Megabytes(long kib) { return static_cast<double>(kib) * 1024.0 / 1e6; }

}  // namespace

ProcessRun TimeProcess(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& stdoutPath) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ProcessRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!stdoutPath.empty()) {
        posix_spawn_file_actions_addopen(&actions, 1, stdoutPath.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return run;
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0) {
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakKiB = usage.ru_maxrss;
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    };
    run.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    return run;
}

std::string ProgramBeside(const char* name) {
    std::error_code failed;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", failed);
    return (self.parent_path() / name).string();
}

std::vector<ProcessRun> TimeRuns(const std::string& program,
                                 const std::vector<std::string>& arguments, int repeat,
                                 const std::string& stdoutPath) {
    std::vector<ProcessRun> runs;
    for (int i = 0; i < repeat; ++i) {
        const ProcessRun run = TimeProcess(program, arguments, stdoutPath);
        if (run.exitStatus != 0) {
            std::fprintf(stderr, "travex-host failed with exit status %d\n", run.exitStatus);
            return {};
        }
        std::printf("run %d: %.3f s wall, %.1f MB peak\n", i + 1, run.seconds,
                    Megabytes(run.peakKiB));
        runs.push_back(run);
    }
    return runs;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

RunSummary Summarize(std::vector<ProcessRun> runs) {
    std::sort(runs.begin(), runs.end(),
              [](const ProcessRun& a, const ProcessRun& b) { return a.seconds < b.seconds; });
    long peak = 0;
    for (const ProcessRun& run : runs) peak = std::max(peak, run.peakKiB);
    return {runs[runs.size() / 2].seconds, Megabytes(peak)};
}
