// Translation as a user meets it: `travex-host translate` of a long motion, timed as a whole
// process, from reading the parameter text to the program on disk, and set against
// translate_reference, the least a translation can cost. Not a test: it prints the figures and
// how they compare with the targets (1 s wall time, 400 MB peak memory, at most 1.3 times the
// reference's wall time).
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "LongMotion.h"
#include "ProcessTiming.h"

namespace fs = std::filesystem;

namespace {

bool SameBytes(const fs::path& a, const fs::path& b) {
    std::ifstream first(a, std::ios::binary);
    std::ifstream second(b, std::ios::binary);
    return first && second &&
           std::equal(std::istreambuf_iterator<char>(first), std::istreambuf_iterator<char>(),
                      std::istreambuf_iterator<char>(second), std::istreambuf_iterator<char>());
}

double Megabytes(long kib) { return static_cast<double>(kib) * 1024.0 / 1e6; }

}  // namespace

int main(int argc, char** argv) {
    CLI::App app(
        "Times `travex-host translate` of a long motion as a whole process, against the "
        "least a translation can cost.",
        "translate_bench");
    std::string host = ProgramBeside("travex-host");
    std::string reference = ProgramBeside("translate_reference");
    int points = 1000000;
    int repeat = 11;
    bool keep = false;
    app.add_option("--host", host, "The travex-host to measure")->type_name("FILE");
    app.add_option("--reference", reference, "The reference translator")->type_name("FILE");
    app.add_option("--points", points, "Points of the motion")->check(CLI::Range(2, 50000000));
    app.add_option("--repeat", repeat, "Pairs of runs (travex-host, then the reference)")
        ->check(CLI::Range(1, 100));
    app.add_flag("--keep", keep, "Leave the motion and the programs on disk, e.g. for a profiler");
    CLI11_PARSE(app, argc, argv);

    const fs::path dir =
        fs::temp_directory_path() / ("translate_bench_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path motionFile = dir / "long.ptm";
    const fs::path programFile = dir / "long.txt";
    const fs::path referenceFile = dir / "reference.txt";
    {
        const std::string text = MotionText(MakeLongMotion(points));
        std::ofstream(motionFile, std::ios::binary) << text;
    }
    std::printf("motion: %d points, %.1f MB (%s)\n", points,
                static_cast<double>(fs::file_size(motionFile)) / 1e6, motionFile.c_str());
    std::printf("command: %s translate %s -o %s\n", host.c_str(), motionFile.c_str(),
                programFile.c_str());
    std::printf("reference: %s %s -o %s\n", reference.c_str(), motionFile.c_str(),
                referenceFile.c_str());

    // In pairs, so that a machine that speeds up or slows down meets both alike.
    std::vector<ProcessRun> runs;
    std::vector<double> references;
    std::vector<double> ratios;
    long referencePeakKiB = 0;
    for (int i = 0; i < repeat; ++i) {
        const ProcessRun hostRun =
            TimeProcess(host, {"translate", motionFile.string(), "-o", programFile.string()});
        const ProcessRun referenceRun =
            TimeProcess(reference, {motionFile.string(), "-o", referenceFile.string()});
        const char* failure = hostRun.exitStatus != 0        ? "travex-host failed"
                              : referenceRun.exitStatus != 0 ? "the reference failed"
                              : i == 0 && !SameBytes(programFile, referenceFile)
                                  ? "the reference's program differs from travex-host's"
                                  : nullptr;
        if (failure) {
            std::fprintf(stderr, "%s\n", failure);
            if (!keep) fs::remove_all(dir);
            return 1;
        }
        std::printf("pair %d: travex-host %.3f s, %.1f MB; reference %.3f s, %.1f MB\n", i + 1,
                    hostRun.seconds, Megabytes(hostRun.peakKiB), referenceRun.seconds,
                    Megabytes(referenceRun.peakKiB));
        runs.push_back(hostRun);
        references.push_back(referenceRun.seconds);
        ratios.push_back(hostRun.seconds / referenceRun.seconds);
        referencePeakKiB = std::max(referencePeakKiB, referenceRun.peakKiB);
    }
    const double programMB = static_cast<double>(fs::file_size(programFile)) / 1e6;
    if (!keep) fs::remove_all(dir);

    const RunSummary summary = Summarize(runs);
    const double ratio = Median(ratios);
    std::printf("program: %.1f MB, byte for byte the reference's\n", programMB);
    std::printf("median wall time: %.3f s (target < 1 s: %s)\n", summary.medianSeconds,
                summary.medianSeconds < 1.0 ? "met" : "MISSED");
    std::printf("peak memory: %.1f MB (target < 400 MB: %s)\n", summary.peakMB,
                summary.peakMB < 400.0 ? "met" : "MISSED");
    std::printf("reference: median wall time %.3f s, peak memory %.1f MB\n", Median(references),
                Megabytes(referencePeakKiB));
    std::printf("translate / reference wall time: %.2f, median of %d pairs (target <= 1.3: %s)\n",
                ratio, repeat, ratio <= 1.3 ? "met" : "MISSED");
    return 0;
}
