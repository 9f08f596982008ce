// Import as a user meets it: `travex-host import` of a long file of points, timed as a whole
// process, from reading the points through the editor to the motion on disk, and set against
// import_reference, the least an import can cost. Not a test: it prints the figures and how
// they compare with the targets (1 s wall time, at most twice the reference's processor time).
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ProcessTiming.h"

namespace fs = std::filesystem;

namespace {

// `count` lines "position<TAB>time" in IU, as a spreadsheet would export them: times rising by
// 1 to 1000 IU, positions with a fraction, wandering over several revolutions.
void WritePoints(const fs::path& path, int count) {
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file) throw std::runtime_error("cannot write " + path.string());
    unsigned seed = 12345;
    long time = 0;
    for (int i = 1; i <= count; ++i) {
        seed = seed * 1103515245u + 12345u;
        time += 1 + static_cast<long>((seed >> 16) % 1000);
        const double position = std::round(80000.0 * std::sin(i * 1e-4) * 10.0) / 10.0;
        std::fprintf(file, "%.1f\t%ld\n", position, time);
    }
    std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app("Times `travex-host import` of a long file of points as a whole process.",
                 "import_bench");
    std::string host = ProgramBeside("travex-host");
    std::string reference = ProgramBeside("import_reference");
    int lines = 1000000;
    int repeat = 5;
    bool keep = false;
    app.add_option("--host", host, "The travex-host to measure")->type_name("FILE");
    app.add_option("--reference", reference, "The reference import")->type_name("FILE");
    app.add_option("--lines", lines, "Lines of the points file")->check(CLI::Range(1, 50000000));
    app.add_option("--repeat", repeat, "Pairs of runs (travex-host, then the reference)")
        ->check(CLI::Range(1, 100));
    app.add_flag("--keep", keep, "Leave the points and the motion on disk, e.g. for a profiler");
    CLI11_PARSE(app, argc, argv);

    const fs::path dir = fs::temp_directory_path() / ("import_bench_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path pointsFile = dir / "points.txt";
    const fs::path motionFile = dir / "long.ptm";
    WritePoints(pointsFile, lines);
    const std::vector<std::string> arguments{"import", pointsFile.string(), "--position-unit",
                                             "IU",     "--time-unit",       "IU",
                                             "-o",     motionFile.string()};
    std::printf("points: %d lines, %.1f MB (%s)\n", lines,
                static_cast<double>(fs::file_size(pointsFile)) / 1e6, pointsFile.c_str());
    std::printf("command: %s", host.c_str());
    for (const std::string& argument : arguments) std::printf(" %s", argument.c_str());
    std::printf("\n");

    // In pairs, so that a machine that speeds up or slows down meets both alike.
    const fs::path referenceFile = dir / "reference.ptm";
    std::vector<ProcessRun> runs;
    std::vector<double> ratios;
    for (int i = 0; i < repeat; ++i) {
        const ProcessRun hostRun = TimeProcess(host, arguments);
        const ProcessRun referenceRun =
            TimeProcess(reference, {pointsFile.string(), "-o", referenceFile.string()});
        if (hostRun.exitStatus != 0 || referenceRun.exitStatus != 0) {
            std::fprintf(stderr, "%s failed\n",
                         hostRun.exitStatus != 0 ? "travex-host" : "the reference");
            if (!keep) fs::remove_all(dir);
            return 1;
        }
        std::printf(
            "pair %d: travex-host %.3f s wall, %.3f s processor, %.1f MB peak; "
            "reference %.3f s processor\n",
            i + 1, hostRun.seconds, hostRun.cpuSeconds,
            static_cast<double>(hostRun.peakKiB) * 1024.0 / 1e6, referenceRun.cpuSeconds);
        runs.push_back(hostRun);
        ratios.push_back(hostRun.cpuSeconds / referenceRun.cpuSeconds);
    }
    const double motionMB = static_cast<double>(fs::file_size(motionFile)) / 1e6;
    if (!keep) fs::remove_all(dir);

    const RunSummary summary = Summarize(runs);
    const double ratio = Median(ratios);
    std::printf("motion: %.1f MB\n", motionMB);
    std::printf("median wall time: %.3f s (target < 1 s: %s)\n", summary.medianSeconds,
                summary.medianSeconds < 1.0 ? "met" : "MISSED");
    std::printf("peak memory: %.1f MB\n", summary.peakMB);
    std::printf("import / reference processor time: %.2f, median of %d pairs (target <= 2: %s)\n",
                ratio, repeat, ratio <= 2.0 ? "met" : "MISSED");
    return 0;
}
