// design and fit as a user meets them, timed as whole processes: a profile of ten minutes
// designed on the built-in setup (750,000 time IU at 0.8 ms an IU), and a dense table of a
// million points fitted. Not a test: it prints the figures and how they compare with the
// targets (1 s and 2 s wall time).
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "LongMotion.h"
#include "ProcessTiming.h"

namespace fs = std::filesystem;

namespace {

// Three seconds of work, net travel 0: moves of four laws, a cruise between two poly5, rests.
constexpr char kProfileBlock[] =
    "cycloidal 10 rot 0.5 s\n"
    "dwell 0.1 s\n"
    "poly345 -5 rot 0.4 s\n"
    "dwell 0.1 s\n"
    "poly5 2 rot 0.2 s\n"
    "cruise 6 rot 0.3 s\n"
    "poly5 2 rot 0.2 s\n"
    "dwell 0.1 s\n"
    "modified-trapezoid -15 rot 0.8 s\n"
    "dwell 0.3 s\n";
constexpr double kBlockSeconds = 3.0;

// A dense table, as a log or a CAD export holds it: a point every time IU of cycloidal moves of
// 20000 IU in 625 IU out and back, each followed by a rest of 100 IU; positions with fractions.
// It ends at rest, as the drive does.
LongMotion DenseTable(int points) {
    const int moving = points - 1 - (points - 1) % 1450;
    LongMotion table;
    table.times.reserve(static_cast<size_t>(points));
    table.positions.reserve(static_cast<size_t>(points));
    for (int i = 0; i < points; ++i) {
        const int within = i % 1450;
        const double u = std::min(1.0, (within % 725) / 625.0);
        const double done = u - std::sin(2 * std::numbers::pi * u) / (2 * std::numbers::pi);
        table.times.push_back(i);
        table.positions.push_back(i > moving ? 0 : 20000 * (within < 725 ? done : 1 - done));
    }
    return table;
}

// The processor time beside the wall time: on a shared machine the wall time also counts the
// waits for a processor.
void Report(const char* what, const std::vector<ProcessRun>& runs, double target) {
    const RunSummary summary = Summarize(runs);
    std::vector<double> cpu;
    for (const ProcessRun& run : runs) cpu.push_back(run.cpuSeconds);
    std::printf(
        "%s: median wall time %.3f s (target < %.0f s: %s), processor time %.3f s, peak memory "
        "%.1f MB\n",
        what, summary.medianSeconds, target, summary.medianSeconds < target ? "met" : "MISSED",
        Median(cpu), summary.peakMB);
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    CLI::App app("Times `travex-host design` of a long profile and `fit` of a dense table.",
                 "design_bench");
    std::string host = ProgramBeside("travex-host");
    double minutes = 10;
    int points = 1000000;
    int repeat = 3;
    bool keep = false;
    app.add_option("--host", host, "The travex-host to measure")->type_name("FILE");
    app.add_option("--minutes", minutes, "Length of the profile")->check(CLI::Range(0.1, 100.0));
    app.add_option("--points", points, "Points of the dense table")
        ->check(CLI::Range(1000, 20000000));
    app.add_option("--repeat", repeat, "Runs to measure")->check(CLI::Range(1, 100));
    app.add_flag("--keep", keep, "Leave the files on disk, e.g. for a profiler");
    CLI11_PARSE(app, argc, argv);

    const fs::path dir = fs::temp_directory_path() / ("design_bench_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path profile = dir / "profile.txt";
    const fs::path designed = dir / "designed.ptm";
    const fs::path dense = dir / "dense.ptm";
    const fs::path fitted = dir / "fitted.ptm";
    {
        std::ofstream file(profile);
        const int blocks = static_cast<int>(std::round(minutes * 60 / kBlockSeconds));
        for (int i = 0; i < blocks; ++i) file << kProfileBlock;
        std::printf("profile: %d segments, %.0f s, %.0f time IU\n", blocks * 10,
                    blocks * kBlockSeconds, blocks * kBlockSeconds * 1250);
    }
    {
        std::ofstream(dense, std::ios::binary) << MotionText(DenseTable(points));
        std::printf("dense table: %d points, %.1f MB\n", points,
                    static_cast<double>(fs::file_size(dense)) / 1e6);
    }

    const std::vector<std::string> design{"design", profile.string(), "-o", designed.string()};
    const std::vector<std::string> fit{"fit", dense.string(), "-o", fitted.string()};
    const std::vector<ProcessRun> designRuns = TimeRuns(host, design, repeat);
    const std::vector<ProcessRun> fitRuns = TimeRuns(host, fit, repeat);
    int status = 0;
    if (designRuns.empty() || fitRuns.empty()) {
        status = 1;
    } else {
        // Each run's report (points, deviation, peaks) is on standard error above.
        Report("design", designRuns, 1);
        Report("fit", fitRuns, 2);
    }
    if (!keep) fs::remove_all(dir);
    return status;
}
