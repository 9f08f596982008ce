// Plotting as a user meets it: `travex-host plot` of a long motion into PNG, SVG and PDF, each
// timed as a whole process, from reading the parameter text to the file on disk. Not a test: it
// prints the figures and how they compare with the target (2 s wall time for 10^6 points).
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
    CLI::App app("Times `travex-host plot` of a long motion as a whole process.", "plot_bench");
    std::string host = ProgramBeside("travex-host");
    int points = 1000000;
    int repeat = 3;
    bool keep = false;
    app.add_option("--host", host, "The travex-host to measure")->type_name("FILE");
    app.add_option("--points", points, "Points of the motion")->check(CLI::Range(2, 50000000));
    app.add_option("--repeat", repeat, "Runs to measure per format")->check(CLI::Range(1, 100));
    app.add_flag("--keep", keep, "Leave the motion and the plots on disk, e.g. for a look");
    CLI11_PARSE(app, argc, argv);

    const fs::path dir = fs::temp_directory_path() / ("plot_bench_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path motionFile = dir / "long.ptm";
    {
        const std::string text = MotionText(MakeLongMotion(points));
        std::ofstream(motionFile, std::ios::binary) << text;
    }
    std::printf("motion: %d points, %.1f MB (%s)\n", points,
                static_cast<double>(fs::file_size(motionFile)) / 1e6, motionFile.c_str());

    bool allMet = true;
    for (const char* extension : {"png", "svg", "pdf"}) {
        const fs::path plotFile = dir / (std::string("long.") + extension);
        std::printf("command: %s plot %s -o %s\n", host.c_str(), motionFile.c_str(),
                    plotFile.c_str());
        const std::vector<ProcessRun> runs =
            TimeRuns(host, {"plot", motionFile.string(), "-o", plotFile.string()}, repeat);
        if (runs.empty()) {
            if (!keep) fs::remove_all(dir);
            return 1;
        }
        const RunSummary summary = Summarize(runs);
        const bool met = summary.medianSeconds <= 2.0;
        allMet = allMet && met;
        std::printf(
            "%s: %.1f kB, median wall time %.3f s (target <= 2 s: %s), peak memory %.1f MB\n",
            extension, static_cast<double>(fs::file_size(plotFile)) / 1e3, summary.medianSeconds,
            met ? "met" : "MISSED", summary.peakMB);
    }
    if (!keep) fs::remove_all(dir);
    std::printf("plot of %d points: %s\n", points, allMet ? "target met" : "target MISSED");
    return 0;
}
