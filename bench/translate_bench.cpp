// Translation as a user meets it: `travex-host translate` of a long motion, timed as a whole
// process, from reading the parameter text to the program on disk. Not a test: it prints the
// figures and how they compare with the targets (1 s wall time, 400 MB peak memory).
#include <MC_ArrayParameter.h>
#include <MC_EditMotionInternalData.h>
#include <MC_Motion.h>
#include <MC_Setup.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ProcessTiming.h"

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
