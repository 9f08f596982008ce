// Translation as a user meets it: `travex-host translate` of a long motion, timed as a whole
// process, from reading the parameter text to the program on disk. Not a test: it prints the
// figures and how they compare with the targets (1 s wall time, 400 MB peak memory).
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "LongMotion.h"
#include "ProcessTiming.h"

namespace fs = std::filesystem;

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

    const std::vector<ProcessRun> runs =
        TimeRuns(host, {"translate", motionFile.string(), "-o", programFile.string()}, repeat);
    if (runs.empty()) {
        if (!keep) fs::remove_all(dir);
        return 1;
    }
    const double programMB = static_cast<double>(fs::file_size(programFile)) / 1e6;
    if (!keep) fs::remove_all(dir);

    const RunSummary summary = Summarize(runs);
    std::printf("program: %.1f MB\n", programMB);
    std::printf("median wall time: %.3f s (target < 1 s: %s)\n", summary.medianSeconds,
                summary.medianSeconds < 1.0 ? "met" : "MISSED");
    std::printf("peak memory: %.1f MB (target < 400 MB: %s)\n", summary.peakMB,
                summary.peakMB < 400.0 ? "met" : "MISSED");
    return 0;
}
