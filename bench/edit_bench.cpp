// The editor's point actions as a user meets them on a long table: `travex-host edit` plays a
// script of 100 point actions (Insert, Update, a graph drag, Remove) on a motion of a million
// points, and a script of none on the same motion; the difference of their wall times over 100
// is the time of one action. Whole processes, so that the figure is what a user waits for,
// with opening the editor and reading the motion cancelled out by the script of none. Not a
// test: it prints the figures and how they compare with the target (10 ms an action).
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
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

// Both scripts select the units first (each selection refreshes the graph once) and end with
// Cancel, which leaves the motion as it was for the next run.
constexpr const char* kScriptHead = "select 1018 IU\nselect 1017 IU\n";
constexpr const char* kScriptTail = "click Cancel\n";

// The first whole IU after `time`: strictly between two times of the motion, whose steps are
// at least 1.6 IU.
long long WholeIUAfter(double time) { return static_cast<long long>(std::floor(time)) + 1; }

// Four point actions a round, 25 rounds; each round leaves the table as it found it. The graph
// names points up to 65535, so the rounds work below that, where an insertion still moves
// nearly the whole table.
std::string ActionScript(const LongMotion& motion, int actions) {
    std::string script = kScriptHead;
    for (int round = 0; round < actions / 4; ++round) {
        const size_t at = 30000 + static_cast<size_t>(round) * 1000;
        // Insert a point after `at`; it becomes point at + 1 and is selected.
        script += "type Position 123\n";
        script += "type Time " + std::to_string(WholeIUAfter(motion.times[at])) + "\n";
        script += "click Insert\n";
        // Update its position, at the time it has.
        script += "type Position 456\nclick Update\n";
        // Drag the point that was at + 4 (now at + 5) to just after its predecessor's time,
        // and remove it: the drag selected it.
        script += "drag " + std::to_string(at + 5) + " " +
                  std::to_string(WholeIUAfter(motion.times[at + 3])) + " 789\n";
        script += "click Remove\n";
    }
    return script + kScriptTail;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app(
        "Times one point action of the editor on a long table: `travex-host edit` with "
        "100 actions against none.",
        "edit_bench");
    std::string host = ProgramBeside("travex-host");
    int points = 1000000;
    int repeat = 5;
    bool keep = false;
    app.add_option("--host", host, "The travex-host to measure")->type_name("FILE");
    app.add_option("--points", points, "Points of the motion")->check(CLI::Range(70000, 50000000));
    app.add_option("--repeat", repeat, "Pairs of runs (100 actions, then none)")
        ->check(CLI::Range(1, 100));
    app.add_flag("--keep", keep, "Leave the motion and the scripts on disk, e.g. for a profiler");
    CLI11_PARSE(app, argc, argv);

    constexpr int kActions = 100;
    const fs::path dir = fs::temp_directory_path() / ("edit_bench_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path motionFile = dir / "long.ptm";
    const fs::path actionsFile = dir / "actions.txt";
    const fs::path noneFile = dir / "none.txt";
    {
        const LongMotion motion = MakeLongMotion(points);
        std::ofstream(motionFile, std::ios::binary) << MotionText(motion);
        std::ofstream(actionsFile, std::ios::binary) << ActionScript(motion, kActions);
        std::ofstream(noneFile, std::ios::binary) << kScriptHead << kScriptTail;
    }
    std::printf("motion: %d points (%s)\n", points, motionFile.c_str());
    std::printf("commands: %s edit %s --script %s (%d point actions), and --script %s (none)\n",
                host.c_str(), motionFile.c_str(), actionsFile.c_str(), kActions, noneFile.c_str());

    // Cancel ends the edit with exit status 3; anything else means the script did not play.
    constexpr int kCancelled = 3;
    std::vector<double> perAction;
    std::vector<double> cpuPerAction;
    for (int i = 0; i < repeat; ++i) {
        const ProcessRun actions =
            TimeProcess(host, {"edit", motionFile.string(), "--script", actionsFile.string()});
        const ProcessRun none =
            TimeProcess(host, {"edit", motionFile.string(), "--script", noneFile.string()});
        if (actions.exitStatus != kCancelled || none.exitStatus != kCancelled) {
            std::fprintf(stderr, "travex-host edit failed with exit status %d\n",
                         actions.exitStatus != kCancelled ? actions.exitStatus : none.exitStatus);
            if (!keep) fs::remove_all(dir);
            return 1;
        }
        perAction.push_back((actions.seconds - none.seconds) / kActions);
        cpuPerAction.push_back((actions.cpuSeconds - none.cpuSeconds) / kActions);
        std::printf(
            "pair %d: %d actions %.3f s (cpu %.3f s), none %.3f s (cpu %.3f s): %.1f ms "
            "an action (cpu %.1f ms)\n",
            i + 1, kActions, actions.seconds, actions.cpuSeconds, none.seconds, none.cpuSeconds,
            perAction.back() * 1e3, cpuPerAction.back() * 1e3);
    }
    if (!keep) fs::remove_all(dir);

    // Wall time is what a user waits for; processor time shows what a busy machine adds to it.
    const double median = Median(perAction) * 1e3;
    std::printf(
        "one point action at %d points: %.1f ms wall (%.1f ms cpu), median of %d pairs "
        "(target <= 10 ms: %s)\n",
        points, median, Median(cpuPerAction) * 1e3, repeat, median <= 10.0 ? "met" : "MISSED");
    return 0;
}
