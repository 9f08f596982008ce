// `travex-host show` of a long motion as a user meets it: the table and the CSV written to a
// file, each run timed as a whole process with its peak memory. Not a test: it prints the
// figures against the targets, which grow in proportion to the points (for 10^6 points 200 MB
// and 1.7 s, what show took before it streamed its table).
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

int main(int argc, char** argv) {
    CLI::App app("Times `travex-host show` of a long motion as a whole process.", "show_bench");
    std::string host = ProgramBeside("travex-host");
    int points = 1000000;
    int repeat = 3;
    bool keep = false;
    app.add_option("--host", host, "The travex-host to measure")->type_name("FILE");
    app.add_option("--points", points, "Points of the motion")->check(CLI::Range(2, 50000000));
    app.add_option("--repeat", repeat, "Runs to measure per form")->check(CLI::Range(1, 100));
    app.add_flag("--keep", keep, "Leave the motion and the tables on disk, e.g. for a look");
    CLI11_PARSE(app, argc, argv);

    const fs::path dir = fs::temp_directory_path() / ("show_bench_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path motionFile = dir / "long.ptm";
    const fs::path profileFile = dir / "rest.txt";
    {
        LongMotion motion = MakeLongMotion(points);
        // A profile spans whole time IU: the motion ends on one, and a rest of that length is
        // a profile to measure its deviation from (0.8 ms a time IU on the built-in setup).
        motion.times.back() = std::ceil(motion.times.back());
        std::ofstream(motionFile, std::ios::binary) << MotionText(motion);
        std::ofstream(profileFile)
            << "dwell " << std::to_string(motion.times.back() * 0.8) << " ms\n";
    }
    std::printf("motion: %d points, %.1f MB (%s)\n", points,
                static_cast<double>(fs::file_size(motionFile)) / 1e6, motionFile.c_str());

    const double scale = points / 1e6;
    const double targetSeconds = 1.7 * scale, targetMB = 200 * scale;
    bool allMet = true;
    // The table, the CSV, and the table with a deviation column; the memory target holds for
    // each, the time target for the first two.
    for (const std::string form : {"table", "csv", "profile"}) {
        const bool csv = form == "csv", profile = form == "profile";
        const fs::path table = dir / ("long-" + form + ".txt");
        std::vector<std::string> arguments = {"show", motionFile.string()};
        if (csv) arguments.push_back("--csv");
        if (profile) arguments.insert(arguments.end(), {"--profile", profileFile.string()});
        std::printf("command: %s show %s%s%s > %s\n", host.c_str(), motionFile.c_str(),
                    csv ? " --csv" : "",
                    profile ? (" --profile " + profileFile.string()).c_str() : "", table.c_str());
        const std::vector<ProcessRun> runs = TimeRuns(host, arguments, repeat, table.string());
        if (runs.empty()) {
            if (!keep) fs::remove_all(dir);
            return 1;
        }
        const RunSummary summary = Summarize(runs);
        std::vector<double> cpu;
        for (const ProcessRun& run : runs) cpu.push_back(run.cpuSeconds);
        const bool met =
            (profile || summary.medianSeconds <= targetSeconds) && summary.peakMB <= targetMB;
        allMet = allMet && met;
        std::printf(
            "%s: %.1f MB written, median wall time %.3f s (target <= %.2f s), median processor "
            "time %.3f s, peak memory %.1f MB (target <= %.0f MB): %s\n",
            form.c_str(), static_cast<double>(fs::file_size(table)) / 1e6, summary.medianSeconds,
            targetSeconds, Median(cpu), summary.peakMB, targetMB, met ? "met" : "MISSED");
    }
    if (!keep) fs::remove_all(dir);
    std::printf("show of %d points: %s\n", points, allMet ? "targets met" : "target MISSED");
    return 0;
}
