// travex-host design and fit, run as separate processes: the motions they write validate and
// translate, keep within the tolerance when sampled, carry import's options, and nothing is
// written when they cannot be made; import --resample, which places a file's points as fit does.
#include <DriveSetup.h>
#include <MotionProfile.h>
#include <TrajectoryPreview.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

#include "host_scratch_folder.h"
#include "pt/PtTableReader.h"

namespace host_test {
namespace {

const fs::path kSetups = kSourceDir / "examples" / "setups";
const std::string kLinear = (kSetups / "linear-drive.ini").string();

struct Table {
    std::vector<double> times;
    std::vector<double> positions;
};

Table TableOf(const std::string& motion, const std::string& setupPath = "") {
    CString error;
    auto setup = setupPath.empty() ? CDriveSetup::CreateDefault()
                                   : CDriveSetup::LoadFromFile(setupPath.c_str(), error);
    EXPECT_TRUE(setup) << error.GetString();
    PtTable table;
    EXPECT_STREQ(ReadPtTable(motion, *setup, table).GetString(), "");
    return {table.times, table.positions};
}

// The largest gap between a table's preview and `position`, sampled 32 times an IU.
template <class Position>
double SampledDeviation(const Table& table, Position position) {
    TrajectoryPreview preview;
    std::string error;
    EXPECT_TRUE(preview.Build(table.times, table.positions, error)) << error;
    double largest = 0;
    const double end = table.times.back();
    for (int i = 0; i <= static_cast<int>(end) * 32; ++i) {
        const double t = i / 32.0;
        largest = std::max(largest, std::abs(preview.PositionAt(t) - position(t)));
    }
    return largest;
}

void ExpectWholeIU(const Table& table) {
    for (size_t i = 0; i < table.times.size(); ++i) {
        EXPECT_EQ(table.times[i], std::round(table.times[i])) << "point " << i;
        EXPECT_EQ(table.positions[i], std::round(table.positions[i])) << "point " << i;
    }
}

// The peak |acceleration| of a table's preview by second differences of its positions, an eighth
// of an IU apart, every sixteenth of an IU.
double PeakAccelerationBySecondDifferences(const Table& table) {
    TrajectoryPreview preview;
    std::string error;
    EXPECT_TRUE(preview.Build(table.times, table.positions, error)) << error;
    const double h = 1.0 / 8;
    double peak = 0;
    for (double t = h; t + h <= table.times.back(); t += 1.0 / 16) {
        const double second =
            preview.PositionAt(t + h) - 2 * preview.PositionAt(t) + preview.PositionAt(t - h);
        peak = std::max(peak, std::abs(second) / (h * h));
    }
    return peak;
}

using HostDesign = HostScratchFolder;
using HostFit = HostScratchFolder;

TEST_F(HostDesign, EveryLawOnBothSetupsKeepsWithinTheToleranceAndTranslates) {
    const char* laws[] = {"cubic",    "harmonic",      "cycloidal",         "poly345",
                          "poly4567", "modified-sine", "modified-trapezoid"};
    const struct {
        std::string setup;
        std::string move;
        double distance, duration;  // IU
    } setups[] = {{"", "10 rot 0.5 s", 20000, 625}, {kLinear, "100 mm 2 s", 80000, 2000}};
    for (const auto& [setupPath, move, distance, duration] : setups) {
        for (const char* law : laws) {
            SCOPED_TRACE(std::string(law) + " " + move);
            const std::string profile = Put("p.txt", std::string(law) + " " + move + "\n");
            const std::string motion = (dir / "m.ptm").string();
            std::vector<std::string> arguments = {"design", profile, "-o", motion};
            if (!setupPath.empty()) arguments.insert(arguments.begin(), {"--setup", setupPath});
            const ChildResult designed = Host(arguments);
            ASSERT_EQ(designed.exitStatus, 0) << designed.err;
            EXPECT_EQ(designed.out, "");

            std::vector<std::string> translate = {"translate", motion};
            if (!setupPath.empty()) translate.insert(translate.begin(), {"--setup", setupPath});
            const ChildResult program = Host(translate);
            EXPECT_EQ(program.exitStatus, 0) << program.err;

            const Table table = TableOf(Contents(motion), setupPath);
            ExpectWholeIU(table);
            EXPECT_EQ(table.times.back(), duration);
            MotionProfile reference;
            ProfileFault fault;
            ASSERT_TRUE(reference.Build({{MotionLaw::Named(law)->GetKind(), distance, duration, 1}},
                                        fault));
            EXPECT_LE(SampledDeviation(table, [&](double t) { return reference.PositionAt(t); }),
                      1 + 1e-6);
            // The report counts the points of the table written, and the tolerance in the
            // profile's units with IU in brackets.
            EXPECT_NE(
                designed.err.find(": " + std::to_string(table.times.size()) + " points within " +
                                  (setupPath.empty() ? "0.0005 rot" : "0.00125 mm") +
                                  " (1 IU) of the profile"),
                std::string::npos)
                << designed.err;
        }
    }
}

TEST_F(HostDesign, ReportsDeviationPeaksAndLimits) {
    // Up, a rest, back, on the linear axis, whose limits (500 mm/s, 5000 mm/s²) the fast move
    // back exceeds.
    const std::string profile = Put("p.txt",
                                    "# up and back\n"
                                    "cycloidal 100 mm 2 s\n"
                                    "dwell 100 ms\n"
                                    "poly345 -100 mm 0.25 s\n");
    const ChildResult result =
        Host({"--setup", kLinear, "design", profile, "--tolerance", "2", "--position-unit", "mm",
              "--time-unit", "s", "-o", (dir / "m.ptm").string()});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const Table table = TableOf(Contents(dir / "m.ptm"), kLinear);
    for (const double boundary : {0.0, 2000.0, 2100.0, 2350.0}) {
        EXPECT_TRUE(std::count(table.times.begin(), table.times.end(), boundary)) << boundary;
    }
    const std::string& err = result.err;
    EXPECT_TRUE(err.starts_with("travex-host: design: " + profile + ": " +
                                std::to_string(table.times.size()) +
                                " points within 0.0025 mm (2 IU) of the profile"))
        << err;
    EXPECT_NE(err.find("  Largest deviation:  "), std::string::npos) << err;
    // poly345's peak speed: 1.875 × 400 mm/s.
    EXPECT_NE(err.find("(the profile: 750 mm/s)\n"), std::string::npos) << err;
    EXPECT_NE(err.find("  Over the limits:    in "), std::string::npos) << err;
    EXPECT_NE(err.find("    speed "), std::string::npos) << err;
    EXPECT_NE(err.find(" over the limit of 500 mm/s between points "), std::string::npos) << err;
}

TEST_F(HostDesign, UniformStepsAndImportsOptions) {
    const std::string profile = Put("p.txt", "cycloidal 20000 IU 100 IU\ndwell 30 IU\n");
    const ChildResult result =
        Host({"design", profile, "--step", "40", "--host-address", "7", "--keep-buffer",
              "--start-from", "actual", "--on-event", "--time-unit", "IU"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.out.find("ATIME[IU]=5: 0 40 80 100 130\r\n"), std::string::npos) << result.out;
    for (const char* line :
         {"MASTERID=7\r\n", "ClearBuffer=0\r\n", "StartPoint=1\r\n", "Execute=1\r\n"}) {
        EXPECT_NE(result.out.find(line), std::string::npos) << line << result.out;
    }
    EXPECT_TRUE(result.err.starts_with("travex-host: design: " + profile +
                                       ": 5 points at steps of 40 IU of time\n"))
        << result.err;
}

TEST_F(HostDesign, WritesNothingWhenItCannot) {
    const std::string motion = Put("m.ptm", "an earlier motion");
    const std::string program = (dir / "m.txt").string();
    const auto expectUntouched = [&](const ChildResult& result, int status) {
        EXPECT_EQ(result.exitStatus, status) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(Contents(motion), "an earlier motion");
        EXPECT_FALSE(fs::exists(program));
    };

    // A fault in the profile is told where it is, as editors read it.
    const std::string bad = Put("bad.txt", "cycloidal 10 rot 0.5 s\nsinus 3 rot 1 s\n");
    ChildResult result = Host({"design", bad, "-o", motion, "--program", program});
    expectUntouched(result, 2);
    EXPECT_TRUE(result.err.starts_with("travex-host: " + bad + ":2: ")) << result.err;

    // What no table can hold is refused before any point is placed: a profile longer than a
    // motion (in time IU past what a 64-bit integer holds, too), a move too far for one step.
    const std::pair<const char*, const char*> beyond[] = {
        {"cycloidal 1 rot 1e16 s\n", "longer than a motion can hold (at most 1717986 s)"},
        {"dwell 1e20 s\n", "longer than a motion can hold (at most 1717986 s)"},
        {"cycloidal 1 rot 1e300 s\n", "longer than a motion can hold (at most 1717986 s)"},
        {"dwell 1e9 s\n", "longer than a motion can hold (at most 1717986 s)"},
        {"cycloidal 291e9 rot 8.5 s\n", "farther than a table can move from one point"},
    };
    for (const auto& [text, why] : beyond) {
        const std::string profile = Put("beyond.txt", text);
        result = Host({"design", profile, "-o", motion, "--program", program});
        expectUntouched(result, 2);
        EXPECT_TRUE(result.err.starts_with("travex-host: " + profile + ":1: ")) << result.err;
        EXPECT_NE(result.err.find(why), std::string::npos) << result.err;
    }

    const std::string good = Put("good.txt", "cycloidal 10 rot 0.5 s\n");
    result = Host({"design", good, "-o", motion, "--position-unit", "furlong"});
    expectUntouched(result, 2);
    EXPECT_NE(result.err.find("unknown position unit \"furlong\""), std::string::npos);

    for (const std::vector<std::string>& usage : {std::vector<std::string>{"--tolerance", "0"},
                                                  {"--tolerance", "x"},
                                                  {"--step", "65536"},
                                                  {"--step", "10", "--tolerance", "2"},
                                                  {"--program", "-"}}) {
        std::vector<std::string> arguments = {"design", good};
        arguments.insert(arguments.end(), usage.begin(), usage.end());
        result = Host(arguments);
        EXPECT_EQ(result.exitStatus, 2) << usage[0];
        EXPECT_EQ(result.out, "") << usage[0];
        EXPECT_TRUE(result.err.starts_with("travex-host: ")) << result.err;
    }

    // The program cannot be written: neither is the motion.
    result = Host({"design", good, "-o", motion, "--program", (dir / "no" / "m.txt").string()});
    expectUntouched(result, 2);

    // The profile itself is never the output.
    result = Host({"design", good, "-o", good});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(Contents(good), "cycloidal 10 rot 0.5 s\n");

    // Setups on which the module offers no PT motion.
    for (const char* name : {"drive-without-atime.ini", "open-loop-drive.ini"}) {
        result = Host({"--setup", (kSetups / name).string(), "design", good, "-o", motion});
        expectUntouched(result, 2);
    }
}

TEST_F(HostDesign, RefusesATableThatMissesABoundUnlessTheClosestIsAskedFor) {
    // The index with its return through a cruise: no table on the grid found holds the jumps
    // and the central difference with the tolerance.
    const std::string profile =
        (kSourceDir / "examples" / "profiles" / "index-and-return.txt").string();
    const std::string motion = Put("m.ptm", "an earlier motion");
    ChildResult result = Host({"design", profile, "-o", motion});
    EXPECT_EQ(result.exitStatus, 1) << result.err;
    EXPECT_EQ(Contents(motion), "an earlier motion");
    EXPECT_NE(result.err.find(": not written: the table misses a bound ("), std::string::npos)
        << result.err;
    result = Host({"design", profile, "-o", motion, "--best-effort"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(Contents(motion), "an earlier motion");
    // Every bound the report states holds by the table written: the largest deviation it
    // gives is the sampled one.
    MotionProfile reference;
    ProfileFault fault;
    using Kind = MotionLaw::Kind;
    ASSERT_TRUE(reference.Build({{Kind::ModifiedSine, 10000, 375, 2},
                                 {Kind::Dwell, 0, 125, 3},
                                 {Kind::Poly5, -2000, 125, 4},
                                 {Kind::Cruise, -6000, 250, 5},
                                 {Kind::Poly5, -2000, 125, 6},
                                 {Kind::Dwell, 0, 63, 7}},
                                fault));
    const double sampled = SampledDeviation(TableOf(Contents(motion)), [&](double t) {
        return reference.PositionAt(std::min(t, reference.Duration()));
    });
    const size_t at = result.err.find("  Largest deviation:  ");
    ASSERT_NE(at, std::string::npos) << result.err;
    const size_t open = result.err.find('(', at);
    EXPECT_NEAR(std::strtod(result.err.c_str() + open + 1, nullptr), sampled, 1e-3) << result.err;

    // A tolerance no double can be divided by is refused, not placed.
    for (const char* command : {"design", "fit"}) {
        const std::string input = std::string(command) == "design"
                                      ? profile
                                      : (kSourceDir / "examples" / "s-curve-10rot.ptm").string();
        result = Host({command, input, "--tolerance", "1e-320", "-o", motion});
        EXPECT_EQ(result.exitStatus, 2) << command;
        EXPECT_NE(result.err.find("--tolerance"), std::string::npos) << result.err;
    }
}

TEST_F(HostDesign, KeepsTheProfilesUnitsForTheMotionAndItsReport) {
    const std::string profile = Put("p.txt", "cycloidal 90 deg 250 ms\ndwell 50 ms\n");
    const std::string motion = (dir / "m.ptm").string();
    ChildResult result = Host({"design", profile, "-o", motion, "--best-effort"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(Contents(motion).find("TPOS[deg]="), std::string::npos) << Contents(motion);
    EXPECT_NE(Contents(motion).find("ATIME[ms]="), std::string::npos) << Contents(motion);
    // 1 IU is 0.18 deg on the built-in setup.
    EXPECT_NE(result.err.find("points within 0.18 deg (1 IU) of the profile"), std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find(" deg ("), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(" ms, between points "), std::string::npos) << result.err;
    // The options still win.
    result = Host({"design", profile, "-o", motion, "--position-unit", "rot", "--best-effort"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(Contents(motion).find("TPOS[rot]="), std::string::npos) << Contents(motion);
}

// A design that works for more than about two seconds says how far it has come, on standard
// error when that is a terminal: here a pseudo-terminal, read until the word comes.
TEST_F(HostDesign, ALongDesignShowsItsProgressOnATerminal) {
    const std::string profile = Put("long.txt", "cycloidal 1 rot 1e6 s\n");
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(grantpt(terminal), 0);
    ASSERT_EQ(unlockpt(terminal), 0);
    const std::string side = ptsname(terminal);
    const std::string motion = (dir / "long.ptm").string();
    const pid_t child = fork();
    if (child == 0) {
        setsid();
        const int err = open(side.c_str(), O_RDWR);
        const int out = open("/dev/null", O_WRONLY);
        if (err < 0 || out < 0 || dup2(err, STDERR_FILENO) < 0 || dup2(out, STDOUT_FILENO) < 0) {
            _exit(127);
        }
        execl(kHost.c_str(), kHost.c_str(), "design", profile.c_str(), "-o", motion.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(child, 0);
    std::string seen;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (seen.find("% of the way") == std::string::npos &&
           std::chrono::steady_clock::now() < end) {
        pollfd ready{terminal, POLLIN, 0};
        if (poll(&ready, 1, 200) <= 0) continue;
        char bytes[256];
        const ssize_t count = read(terminal, bytes, sizeof bytes);
        if (count <= 0) break;
        seen.append(bytes, static_cast<size_t>(count));
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    close(terminal);
    EXPECT_NE(seen.find("travex-host: design: placing points, pass "), std::string::npos) << seen;
    EXPECT_FALSE(fs::exists(motion));
}

TEST_F(HostDesign, WorksOnEveryExampleSetupThatOffersThePtMotion) {
    const std::string profile =
        Put("p.txt", "poly4567 20000 IU 400 IU\ndwell 50 IU\nmodified-sine -20000 IU 500 IU\n");
    // The motion controller, the open-loop drive and the firmware without ATIME offer none.
    for (const char* name : {"rotary-drive.ini", "linear-drive.ini"}) {
        SCOPED_TRACE(name);
        const std::string setup = (kSetups / name).string();
        const std::string motion = (dir / "m.ptm").string();
        const ChildResult result =
            Host({"--setup", setup, "design", profile, "-o", motion, "--program", "-"});
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_EQ(Host({"--setup", setup, "translate", motion}).out, result.out);
        EXPECT_LE(TableOf(Contents(motion), setup).times.size(), 60u);
    }
}

TEST_F(HostFit, ThinsADenseMotionWithinTheTolerance) {
    // A dense table: the cycloid at every time IU.
    const std::string profile = Put("p.txt", "cycloidal 10 rot 0.5 s\n");
    const std::string dense = (dir / "dense.ptm").string();
    ASSERT_EQ(Host({"design", profile, "--step", "1", "-o", dense}).exitStatus, 0);
    const Table denseTable = TableOf(Contents(dense));
    ASSERT_EQ(denseTable.times.size(), 626u);

    for (const double tolerance : {1.0, 3.0}) {
        const std::string fitted = (dir / "fit.ptm").string();
        const ChildResult result = Host({"fit", dense, "-o", fitted, "--tolerance",
                                         tolerance == 1 ? "1" : "3", "--program", "-"});
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_EQ(Host({"translate", fitted}).out, result.out);
        const Table table = TableOf(Contents(fitted));
        ExpectWholeIU(table);
        EXPECT_LT(table.times.size(), 60u);
        TrajectoryPreview densePreview;
        std::string error;
        ASSERT_TRUE(densePreview.Build(denseTable.times, denseTable.positions, error));
        EXPECT_LE(SampledDeviation(table, [&](double t) { return densePreview.PositionAt(t); }),
                  tolerance + 1e-6);
        EXPECT_NE(result.err.find(" points within " +
                                  std::string(tolerance == 1 ? "0.0005 rot (1" : "0.0015 rot (3") +
                                  " IU) of the table"),
                  std::string::npos)
            << result.err;
        // The motion's own units.
        EXPECT_NE(Contents(fitted).find("ATIME[s]="), std::string::npos);
    }
}

TEST_F(HostFit, KeepsATableOnTheGridThatNeedsNoFewerPoints) {
    // 26 points every 25 IU, positions rounded: the placement finds no fewer.
    const std::string coarse = (kSourceDir / "examples" / "cycloid-10rot-20ms.ptm").string();
    const ChildResult result = Host({"fit", coarse});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const Table original = TableOf(Contents(coarse));
    const Table fitted = TableOf(result.out);
    EXPECT_EQ(fitted.times, original.times);
    EXPECT_EQ(fitted.positions, original.positions);
}

TEST_F(HostFit, ReadsPointsAsImportDoes) {
    // A logged move as a spreadsheet writes it: a header naming the columns and their units,
    // the time first, semicolons between columns and a comma as the decimal point.
    std::string points = "Time (s);Position (mm)\n";
    for (int i = 1; i <= 500; ++i) {
        const double t = i * 0.002;
        const double u = t / 1.0;
        char line[64];
        std::snprintf(line, sizeof line, "%.3f;%.6f\n", t,
                      50 * (u - std::sin(2 * std::numbers::pi * u) / (2 * std::numbers::pi)));
        points += line;
        if (i == 250) points += "lost;sample\n";
    }
    std::replace(points.begin(), points.end(), '.', ',');
    const std::string file = Put("log.txt", points);
    const ChildResult result =
        Host({"--setup", kLinear, "fit", file, "-o", (dir / "m.ptm").string()});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    // What import skipped is told as import tells it, at the file's line.
    EXPECT_TRUE(result.err.starts_with(file + ":1: header \"Time (s);Position (mm)\"\n" + file +
                                       ":252: skipped \"lost;sample\""))
        << result.err;
    EXPECT_NE(result.err.find("time from column 1 \"Time\" in s (from the header)"),
              std::string::npos)
        << result.err;
    const std::string motion = Contents(dir / "m.ptm");
    EXPECT_NE(motion.find("ATIME[s]="), std::string::npos) << motion;
    EXPECT_NE(motion.find("TPOS[mm]="), std::string::npos) << motion;
    const Table table = TableOf(motion, kLinear);
    EXPECT_EQ(table.times.back(), 1000);
    EXPECT_EQ(table.positions.back(), 40000);
    EXPECT_LT(table.times.size(), 40u);
}

TEST_F(HostFit, ThinsANoisyLogTenfoldAndKeepsEveryStepWithinTheTable) {
    // A millisecond log of a cycloid of 10 rot in 2 s with ±2 IU (±0.001 rot) of noise.
    std::string log = "time position\n";
    unsigned state = 12345;
    for (int i = 0; i <= 2000; ++i) {
        const double u = i / 2000.0;
        state = state * 1103515245u + 12345u;
        const double noise = i == 0 ? 0 : ((state >> 8) % 2001 / 1000.0 - 1) * 0.001;
        char line[64];
        std::snprintf(
            line, sizeof line, "%.3f %.6f\n", i / 1000.0,
            10 * (u - std::sin(2 * std::numbers::pi * u) / (2 * std::numbers::pi)) + noise);
        log += line;
    }
    const std::string file = Put("log.txt", log);
    ChildResult result = Host({"fit", file, "--time-unit", "s", "--position-unit", "rot", "-o",
                               (dir / "m.ptm").string()});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.err.find("log.txt: the rows scatter by about "), std::string::npos)
        << result.err;
    EXPECT_LE(TableOf(Contents(dir / "m.ptm")).times.size() * 10, 2001u);

    // A row a minute: 75000 time IU apart, on the grid; no step of the table is longer than it
    // holds, and the module takes it.
    const std::string minutes =
        Put("minutes.txt", "time position\n0 0\n60 0.5\n120 1.5\n180 1.75\n");
    result = Host({"fit", minutes, "--time-unit", "s", "--position-unit", "rot", "-o",
                   (dir / "minutes.ptm").string()});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const Table table = TableOf(Contents(dir / "minutes.ptm"));
    for (size_t i = 1; i < table.times.size(); ++i) {
        EXPECT_LE(table.times[i] - table.times[i - 1], 65535) << i;
    }
    EXPECT_EQ(table.times.back(), 225000);
    EXPECT_EQ(Host({"translate", (dir / "minutes.ptm").string()}).exitStatus, 0);
}

TEST_F(HostFit, WritesNothingWhenItCannot) {
    const std::string motion = Put("m.ptm", "an earlier motion");
    // The module refuses the dense motion in its own words.
    ChildResult result =
        Host({"fit", (kSourceDir / "examples" / "broken-one-point.ptm").string(), "-o", motion});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, std::string(kTooFewPoints) + "\n");
    // Points of which fewer than two remain.
    result = Host({"fit", Put("p.txt", "words\n"), "-o", motion});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_NE(result.err.find("p.txt: a preview needs at least two points"), std::string::npos)
        << result.err;
    result = Host({"fit", (dir / "missing.ptm").string(), "-o", motion});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(Contents(motion), "an earlier motion");
}

using HostImportResample = HostScratchFolder;

TEST_F(HostImportResample, ADenseCamKeepsItsAccelerationOnTheGrid) {
    // A cycloidal cam of one revolution: 200 rows over 0.5 s, as the built-in setup's IU
    // (1 rot = 2000 IU, 1 s = 1250 IU) read them back.
    std::string cam;
    Table own{{0}, {0}};
    for (int i = 1; i <= 200; ++i) {
        const double u = i / 200.0;
        char line[64];
        std::snprintf(line, sizeof line, "%.9f %.6f\n",
                      u - std::sin(2 * std::numbers::pi * u) / (2 * std::numbers::pi), 0.5 * u);
        cam += line;
        char* end = nullptr;
        own.positions.push_back(std::strtod(line, &end) * 2000);
        own.times.push_back(std::strtod(end, nullptr) * 1250);
    }
    const std::string points = Put("cam.txt", cam);
    const double ownPeak = PeakAccelerationBySecondDifferences(own);
    // The cycloid's own peak, 2π h / T².
    EXPECT_NEAR(ownPeak, 2 * std::numbers::pi * 2000 / (625.0 * 625.0), 0.01 * ownPeak);

    // Rounded row by row, the acceleration grows many times over, and the report says what helps.
    const std::string rounded = (dir / "rounded.ptm").string();
    ChildResult result = HostIn(dir, {"import", "cam.txt", "-o", rounded});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.err.find("rot/s^2); --resample places fewer points"), std::string::npos)
        << result.err;
    EXPECT_GT(PeakAccelerationBySecondDifferences(TableOf(Contents(rounded))), 10 * ownPeak);

    const std::string motion = (dir / "m.ptm").string();
    const std::string program = (dir / "m.txt").string();
    result = HostIn(dir, {"import", "cam.txt", "--resample", "-o", motion, "--program", program});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const Table table = TableOf(Contents(motion));
    ExpectWholeIU(table);
    EXPECT_EQ(table.times.back(), 625);
    EXPECT_EQ(table.positions.back(), 2000);
    EXPECT_LT(table.times.size(), 40u);
    EXPECT_LE(PeakAccelerationBySecondDifferences(table), 1.1 * ownPeak);
    TrajectoryPreview ownPreview;
    std::string error;
    ASSERT_TRUE(ownPreview.Build(own.times, own.positions, error)) << error;
    EXPECT_LE(SampledDeviation(table, [&](double t) { return ownPreview.PositionAt(t); }),
              1 + 1e-6);
    // The points before and after, the peak acceleration of both; nothing rounded row by row.
    const std::string& err = result.err;
    EXPECT_NE(err.find("cam.txt: 200 points taken, 0 lines skipped, 0 values limited\n"
                       "travex-host: import: cam.txt: " +
                       std::to_string(table.times.size()) +
                       " points within 0.0005 rot (1 IU) of the file's points"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("  Peak acceleration:  "), std::string::npos) << err;
    EXPECT_NE(err.find("(the file's points: 25.15"), std::string::npos) << err;
    EXPECT_EQ(err.find("rounded to whole IU"), std::string::npos) << err;
    // The motion translates, and its program is the one written beside it.
    EXPECT_EQ(Host({"translate", motion}).out, Contents(program));

    // A closer tolerance than the grid allows with every other bound: refused, saying which
    // bound it misses, unless the closest table is asked for; it has more points.
    result = HostIn(dir, {"import", "cam.txt", "--resample", "--tolerance", "0.25", "--quiet"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("cam.txt: not written: the table misses a bound ("),
              std::string::npos)
        << result.err;
    result = HostIn(dir, {"import", "cam.txt", "--resample", "--tolerance", "0.25", "--quiet",
                          "--best-effort"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_GT(TableOf(result.out).times.size(), table.times.size());
    result = HostIn(dir, {"import", "cam.txt", "--tolerance", "4"});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_NE(result.err.find("--tolerance requires --resample"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace host_test
