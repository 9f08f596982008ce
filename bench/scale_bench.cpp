// Peak memory of a long table, as a user meets it: ten million points on the grid (a point every
// 100 time IU, whole-IU positions of a slow swing), fitted from a points file and shown as a
// motion, each a whole process whose peak resident size getrusage gives. Not a test: it prints
// the figures against the target, 800 MB for ten million points, in proportion for fewer.
#include <sys/wait.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "LongMotion.h"
#include "ProcessTiming.h"

namespace fs = std::filesystem;

namespace {

LongMotion SwingOnTheGrid(int points) {
    LongMotion table;
    table.times.reserve(static_cast<size_t>(points));
    table.positions.reserve(static_cast<size_t>(points));
    for (int i = 0; i < points; ++i) {
        const double t = 100.0 * i;
        table.times.push_back(t);
        table.positions.push_back(std::round(1e6 * std::sin(t / 5e7)));
    }
    return table;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    CLI::App app("Peak memory of `travex-host fit` and `show` of a long table on the grid.",
                 "scale_bench");
    std::string host = ProgramBeside("travex-host");
    int points = 10000000;
    int repeat = 1;
    bool keep = false;
    app.add_option("--host", host, "The travex-host to measure")->type_name("FILE");
    app.add_option("--points", points, "Points of the table")->check(CLI::Range(1000, 20000000));
    app.add_option("--repeat", repeat, "Runs to measure per command")->check(CLI::Range(1, 100));
    app.add_flag("--keep", keep, "Leave the files on disk, e.g. for a profiler");
    std::string only;
    app.add_option("--only", only, "Measure this command alone")
        ->check(CLI::IsMember({"fit", "show"}));
    CLI11_PARSE(app, argc, argv);

    const fs::path dir = fs::temp_directory_path() / ("scale_bench_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path pointsFile = dir / "points.txt";
    const fs::path motionFile = dir / "motion.ptm";
    // The files are written by a child of their own: a process started from this one counts
    // this one's largest size in its own peak (the spawn shares the memory until the exec), so
    // the table must never have been held here.
    const pid_t writer = fork();
    if (writer == 0) {
        const LongMotion table = SwingOnTheGrid(points);
        std::ofstream file(pointsFile, std::ios::binary);
        file << "time position\n";
        char line[64];
        for (size_t i = 0; i < table.times.size(); ++i) {
            std::snprintf(line, sizeof line, "%.0f %.0f\n", table.times[i], table.positions[i]);
            file << line;
        }
        file.close();
        std::ofstream motion(motionFile, std::ios::binary);
        motion << MotionText(table);
        motion.close();
        _exit(file && motion ? 0 : 1);
    }
    int written = -1;
    if (writer < 0 || waitpid(writer, &written, 0) != writer || !WIFEXITED(written) ||
        WEXITSTATUS(written) != 0) {
        std::fprintf(stderr, "scale_bench: cannot write the table into %s\n", dir.c_str());
        fs::remove_all(dir);
        return 1;
    }
    std::printf("table: %d points, points file %.1f MB, motion %.1f MB\n", points,
                static_cast<double>(fs::file_size(pointsFile)) / 1e6,
                static_cast<double>(fs::file_size(motionFile)) / 1e6);

    const double targetMB = 800.0 * points / 1e7;
    struct Command {
        const char* what;
        std::vector<std::string> arguments;
    };
    const Command commands[] = {
        {"fit",
         {"fit", pointsFile.string(), "--time-unit", "IU", "--position-unit", "IU", "-o",
          (dir / "fitted.ptm").string()}},
        {"show", {"show", motionFile.string()}},
    };
    bool allMet = true;
    for (const Command& command : commands) {
        if (!only.empty() && only != command.what) continue;
        const std::vector<ProcessRun> runs =
            TimeRuns(host, command.arguments, repeat, (dir / "stdout.txt").string());
        if (runs.empty()) {
            if (!keep) fs::remove_all(dir);
            return 1;
        }
        const RunSummary summary = Summarize(runs);
        // On a shared machine the wall time says little: the processors' time beside it.
        double cpuSeconds = 0;
        for (const ProcessRun& run : runs) cpuSeconds += run.cpuSeconds;
        const bool met = summary.peakMB <= targetMB;
        allMet = allMet && met;
        std::printf(
            "%s of %d points: peak memory %.1f MB (target <= %.0f MB): %s, median wall "
            "time %.1f s, processor time %.1f s a run\n",
            command.what, points, summary.peakMB, targetMB, met ? "met" : "MISSED",
            summary.medianSeconds, cpuSeconds / static_cast<double>(runs.size()));
    }
    if (!keep) fs::remove_all(dir);
    std::printf("scale of %d points: %s\n", points, allMet ? "targets met" : "target MISSED");
    return 0;
}
