// Translation as a user meets it: `travex-host translate` of a long motion, timed as a whole
// process, from reading the parameter text to the program on disk. Not a test: it prints the
// figures and how they compare with the targets (1 s wall time, 400 MB peak memory).
#include <MC_ArrayParameter.h>
#include <MC_EditMotionInternalData.h>
#include <MC_Motion.h>
#include <MC_Setup.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

// Writes texts through the kernel's own writers, so the file is what a host would store.
class MotionWriter : public CMC_EditMotionInternalData {
public:
    using CMC_EditMotionInternalData::CMC_EditMotionInternalData;
    int ReadParameters(CString&, CString&) override { return 0; }
    void WriteParameters(CString&) override {}
};

// A valid motion of `count` points: times strictly increasing by 0.8 to 800 IU (well inside
// the 65535 IU step limit), positions wandering over several revolutions with fractional IU,
// so that the reader parses real numbers and the generator truncates them.
std::string LongMotionText(int count) {
    auto setup = CMC_Setup::CreateDefault();
    CMC_Motion motion(*setup);
    MotionWriter writer(*setup, motion);
    CMC_ArrayParameter times(*setup);
    CMC_ArrayParameter positions(*setup);
    times.BindToKey("ATIME");
    positions.BindToKey("TPOS");
    unsigned seed = 12345;
    double time = 0;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        if (i > 0) time += 0.8 * static_cast<double>(1 + (seed >> 16) % 1000);
        const double position =
            i == 0 ? 0 : std::round(2000.0 * 40.0 * std::sin(i * 1e-4) * 10.0) / 10.0;
        times.InsertValueInInternalUnitAt(i, time);
        positions.InsertValueInInternalUnitAt(i, position);
    }
    CString text;
    writer.WriteRadioParam(text, "ClearBuffer", 1);
    writer.WriteArrayDataParam(text, times);
    writer.WriteArrayDataParam(text, positions);
    writer.WriteRadioParam(text, "Execute", 0);
    writer.WriteRadioParam(text, "WaitForCompletion", 1);
    return text.str();
}

struct Run {
    int exitStatus = -1;
    double seconds = 0;
    long peakKiB = 0;
};

Run Measure(const std::string& host, const std::vector<std::string>& arguments) {
    std::vector<char*> argv{const_cast<char*>(host.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    Run run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, host.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return run;
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0) {
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakKiB = usage.ru_maxrss;
    return run;
}

std::string ProgramBeside(const char* name) {
    std::error_code failed;
    const fs::path self = fs::read_symlink("/proc/self/exe", failed);
    return (self.parent_path() / name).string();
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app("Times `travex-host translate` of a long motion as a whole process.",
                 "translate_bench");
    std::string host = ProgramBeside("travex-host");
    int points = 1000000;
    int repeat = 3;
    bool keep = false;
    app.add_option("--host", host, "The travex-host to measure")->type_name("FILE");
    app.add_option("--points", points, "Points of the motion")->check(CLI::Range(2, 50000000));
    app.add_option("--repeat", repeat, "Runs to measure")->check(CLI::Range(1, 100));
    app.add_flag("--keep", keep, "Leave the motion and the program on disk, e.g. for a profiler");
    CLI11_PARSE(app, argc, argv);

    const fs::path dir =
        fs::temp_directory_path() / ("translate_bench_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path motionFile = dir / "long.ptm";
    const fs::path programFile = dir / "long.txt";
    {
        const std::string text = LongMotionText(points);
        std::ofstream(motionFile, std::ios::binary) << text;
    }
    std::printf("motion: %d points, %.1f MB (%s)\n", points,
                static_cast<double>(fs::file_size(motionFile)) / 1e6, motionFile.c_str());
    std::printf("command: %s translate %s -o %s\n", host.c_str(), motionFile.c_str(),
                programFile.c_str());

    std::vector<Run> runs;
    for (int i = 0; i < repeat; ++i) {
        const Run run =
            Measure(host, {"translate", motionFile.string(), "-o", programFile.string()});
        if (run.exitStatus != 0) {
            std::fprintf(stderr, "travex-host failed with exit status %d\n", run.exitStatus);
            if (!keep) fs::remove_all(dir);
            return 1;
        }
        std::printf("run %d: %.3f s wall, %.1f MB peak\n", i + 1, run.seconds,
                    static_cast<double>(run.peakKiB) * 1024.0 / 1e6);
        runs.push_back(run);
    }
    const double programMB = static_cast<double>(fs::file_size(programFile)) / 1e6;
    if (!keep) fs::remove_all(dir);

    std::sort(runs.begin(), runs.end(),
              [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
    const Run& median = runs[runs.size() / 2];
    long peak = 0;
    for (const Run& run : runs) peak = std::max(peak, run.peakKiB);
    const double peakMB = static_cast<double>(peak) * 1024.0 / 1e6;
    std::printf("program: %.1f MB\n", programMB);
    std::printf("median wall time: %.3f s (target < 1 s: %s)\n", median.seconds,
                median.seconds < 1.0 ? "met" : "MISSED");
    std::printf("peak memory: %.1f MB (target < 400 MB: %s)\n", peakMB,
                peakMB < 400.0 ? "met" : "MISSED");
    return 0;
}
