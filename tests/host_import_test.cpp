// travex-host import: a motion, and its program, from a file of points in one step, run as a
// separate process; what it writes, and that it writes nothing when it cannot make a motion.
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "host_scratch_folder.h"
#include "worked_example.h"

namespace host_test {
namespace {

const std::string kWorkedExamplePoints =
    (kSourceDir / "examples" / "points" / "worked-example.txt").string();

using HostImport = HostScratchFolder;

TEST_F(HostImport, MotionAndProgramOfTheWorkedExample) {
    const std::string motion = (dir / "m.ptm").string();
    const std::string program = (dir / "m.txt").string();
    const ChildResult result =
        Host({"import", kWorkedExamplePoints, "--position-unit", "IU", "--time-unit", "iu",
              "--host-address", "3", "-o", motion, "--program", program});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, "");
    // The heading names the columns; it is no skipped line.
    EXPECT_EQ(result.err, kWorkedExamplePoints +
                              ":1: header \"position\ttime\t(IU; a line without two nu...\"\n" +
                              kWorkedExamplePoints +
                              ": time from column 2 in IU, position from column 1 in IU; "
                              "separator tab; 1 header line\n" +
                              kWorkedExamplePoints +
                              ": 2 points taken, 0 lines skipped, 0 values limited\n");
    EXPECT_EQ(Contents(program), kWorkedExampleProgram);
    EXPECT_EQ(Host({"translate", motion}).out, kWorkedExampleProgram);
    EXPECT_EQ(Entries(), (std::set<std::string>{"m.ptm", "m.txt"}));
}

TEST_F(HostImport, DefaultsAreTheSetupsUnitsAndANewMotionsOptions) {
    // The built-in setup shows rot (2000 IU) and s (1250 IU) first.
    const std::string points = Put("p.txt", "0 0\n10 0.5\n20 1,0\n15 0.8\nsome words\n30 2");
    const ChildResult result = Host({"import", points});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out,
              "ClearBuffer=1\r\nStartPoint=0\r\nATIME[s]=4: 0 625 1250 2500\r\n"
              "TPOS[rot]=4: 0 20000 40000 60000\r\nExecute=0\r\nWaitForCompletion=1\r\n");

    // On a setup of another kind the first units are its own: mm (800 IU) and ms (1 IU).
    const ChildResult linear =
        Host({"--setup", (kSourceDir / "examples" / "setups" / "linear-drive.ini").string(),
              "import", Put("q.txt", "10 5\n20 10\n")});
    ASSERT_EQ(linear.exitStatus, 0) << linear.err;
    EXPECT_NE(linear.out.find("ATIME[ms]=3: 0 5 10\r\n"), std::string::npos) << linear.out;
    EXPECT_NE(linear.out.find("TPOS[mm]=3: 0 8000 16000\r\n"), std::string::npos) << linear.out;
}

TEST_F(HostImport, OptionsReachTheMotion) {
    const std::string points = Put("p.txt", "1 1\n2 2\n");
    ChildResult result =
        Host({"import", points, "--keep-buffer", "--start-from", "actual", "--no-wait"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    for (const char* line : {"ClearBuffer=0\r\n", "StartPoint=1\r\n", "WaitForCompletion=0\r\n"})
        EXPECT_NE(result.out.find(line), std::string::npos) << line << result.out;
    EXPECT_EQ(result.out.find("MASTERID"), std::string::npos) << result.out;

    result = Host({"import", points, "--on-event", "--start-from", "reference"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    for (const char* line : {"Execute=1\r\n", "StartPoint=0\r\n", "Event=WaitTime\r\n"})
        EXPECT_NE(result.out.find(line), std::string::npos) << line << result.out;
}

TEST_F(HostImport, FileWithoutPointsIsRefusedAndWritesNothing) {
    const std::string points = Put("p.txt", "position time\n0 0\n5 -1\n");
    Put("m.ptm", "an earlier motion");
    const ChildResult result = Host(
        {"import", points, "-o", (dir / "m.ptm").string(), "--program", (dir / "m.txt").string()});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(result.err.ends_with("p.txt: 0 points taken, 1 line skipped, 0 values limited\n" +
                                     std::string(kTooFewPoints) + "\n"))
        << result.err;
    EXPECT_EQ(Contents(dir / "m.ptm"), "an earlier motion");
    EXPECT_EQ(Entries(), (std::set<std::string>{"m.ptm", "p.txt"}));
}

TEST_F(HostImport, WhatCannotBeUsedIsNamedWithStatusTwo) {
    const std::string points = Put("p.txt", "1 1\n2 2\n");
    struct Case {
        std::vector<std::string> arguments;
        std::string named;
    };
    const Case cases[] = {
        {{"import", (dir / "missing.txt").string()},
         "cannot read " + (dir / "missing.txt").string()},
        {{"import", dir.string()}, "is a directory"},
        {{"import", points, "--time-unit", "hours"},
         "unknown time unit \"hours\"; the setup \"Rotary drive, 500-line encoder\" has s, IU, ms"},
        {{"import", points, "--position-unit", "mm"}, "has rot, IU, deg, rad"},
        {{"import", points, "--host-address", "256"}, "256"},
        {{"import", points, "--start-from", "middle"}, "middle"},
        {{"import", points, "--on-event", "--no-wait"}, "--no-wait"},
        {{"import", points, "--program", "-"}, "--program - needs -o FILE"},
        {{"import", points, "-o", (dir / "no" / "m.ptm").string()}, "cannot write"},
    };
    for (const Case& c : cases) {
        const ChildResult result = Host(c.arguments);
        EXPECT_EQ(result.exitStatus, 2) << c.named;
        EXPECT_EQ(result.out, "") << c.named;
        EXPECT_NE(result.err.find(c.named), std::string::npos) << result.err;
    }
    EXPECT_EQ(Entries(), std::set<std::string>{"p.txt"});
}

// The input is read once, whatever it is: the editor gets the same bytes as the report.
TEST_F(HostImport, PointsFromAFifoAndAPipe) {
    const std::string table = "ATIME[IU]=3: 0 1 2\r\nTPOS[IU]=3: 0 1 2\r\n";
    const std::vector<std::string> units{"--position-unit", "IU", "--time-unit", "IU"};
    const std::string fifo = (dir / "pts.fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&fifo] { std::ofstream(fifo) << "1 1\n2 2\n"; });
    std::vector<std::string> arguments{"import", fifo};
    arguments.insert(arguments.end(), units.begin(), units.end());
    ChildResult result = Host(arguments);
    writer.join();
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.out.find(table), std::string::npos) << result.out;

    arguments[1] = "/dev/stdin";
    result = Host(arguments, "1 1\n2 2\n");
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.out.find(table), std::string::npos) << result.out;

    result = RunChild("/bin/bash", {"-c",
                                    "\"$0\" import <(printf '1 1\\n2 2\\n') --position-unit IU "
                                    "--time-unit IU",
                                    kHost});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.out.find(table), std::string::npos) << result.out;
}

TEST_F(HostImport, AHeaderNamesTheColumnsAndTheirUnits) {
    // ms is 1.25 IU and deg 2000/360 IU on the built-in setup.
    Put("cam.csv", "Time (ms),Angle (deg),Speed\r\n0,0,1\r\n400,90,2\r\n800,180,3\r\n");
    ChildResult result = HostIn(dir, {"import", "cam.csv", "--strict"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.out.find("ATIME[ms]=3: 0 500 1000\r\nTPOS[deg]=3: 0 500 1000\r\n"),
              std::string::npos)
        << result.out;
    EXPECT_EQ(result.err,
              "cam.csv:1: header \"Time (ms),Angle (deg),Speed\"\n"
              "cam.csv: time from column 1 \"Time\" in ms (from the header), position from "
              "column 2 \"Angle\" in deg (from the header); separator \",\"; 1 header line\n"
              "cam.csv: 2 points taken, 0 lines skipped, 0 values limited\n");

    // Units given on the command line win; a header unit that the setup lacks is refused.
    result = HostIn(dir, {"import", "cam.csv", "--time-unit", "IU", "--position-unit", "IU"});
    EXPECT_NE(result.out.find("ATIME[IU]=3: 0 400 800\r\n"), std::string::npos) << result.out;
    Put("cm.csv", "t;x (cm)\n1;2\n");
    result = HostIn(dir, {"import", "cm.csv"});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.err,
              "travex-host: cm.csv: the header's unknown position unit \"cm\"; the setup "
              "\"Rotary drive, 500-line encoder\" has rot, IU, deg, rad\n");
}

TEST_F(HostImport, AFirstRowAwayFromTheStartIsNamedAndRelativeMovesIt) {
    Put("log.csv", "time;angle\n10,5;0\n11;90\n12;180\n");
    const std::vector<std::string> units{"--time-unit", "s", "--position-unit", "deg"};
    std::vector<std::string> arguments{"import", "log.csv"};
    arguments.insert(arguments.end(), units.begin(), units.end());
    ChildResult result = HostIn(dir, arguments);
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.err.find("log.csv:2: the first row is at time 10.5 s and position 0 deg, not "
                              "at the start point (0, 0): the motion waits 10.5 s before it "
                              "moves; --relative makes the first row the start\n"),
              std::string::npos)
        << result.err;
    arguments.push_back("--relative");
    result = HostIn(dir, arguments);
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err.find("first row"), std::string::npos) << result.err;
    EXPECT_NE(result.out.find("ATIME[s]=3: 0 625 1875\r\nTPOS[deg]=3: 0 500 1000\r\n"),
              std::string::npos)
        << result.out;

    Put("jump.txt", "89.8 0.0008\n90 1\n");
    result = HostIn(dir, {"import", "jump.txt", "--time-unit", "s", "--position-unit", "deg"});
    EXPECT_NE(result.err.find("the motion first goes 89.8 deg in 0.0008 s; --relative"),
              std::string::npos)
        << result.err;

    // Durations add up to the times.
    Put("steps.txt", "dt x\n0.5 1\n0.25 2\n");
    result = HostIn(dir, {"import", "steps.txt", "--columns", "dt,x", "--durations"});
    EXPECT_NE(result.out.find("ATIME[s]=3: 0 625 938\r\n"), std::string::npos) << result.out;
}

TEST_F(HostImport, TimesThatGoBackAskWhetherTheColumnsAreSwapped) {
    // Every time falls: no motion is written, and the swap is named.
    Put("p.txt", "0.1 5\n0.2 4\n0.3 3\n0.4 2\n");
    ChildResult result = HostIn(dir, {"import", "p.txt"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "travex-host: p.txt: the columns look swapped: the times of column 2 are all "
              "falling; --columns 1,2 takes the time from column 1\n");
    result = HostIn(dir, {"import", "p.txt", "--columns", "1,2"});
    EXPECT_NE(result.err.find("4 points taken, 0 lines skipped"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("swapped"), std::string::npos) << result.err;
}

TEST_F(HostImport, ARefusalNamesTheFilesLineAndTheStep) {
    // s is 1250 IU: 0.008 s is 10 IU, 56.008 s is 70010 IU.
    Put("far.txt", "time position\n\n0 0\n0.008 1\n56.008 2\n");
    ChildResult result = HostIn(dir, {"import", "far.txt"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_TRUE(
        result.err.ends_with("far.txt:5: Time value of point 2 is too distant from the "
                             "previous point (70000 IU; at most 65535 IU = 52.4 s)\n"))
        << result.err;
    // rot is 2000 IU.
    Put("wide.txt", "1 1\n-1000000 2\n1000000 3\n");
    result = HostIn(dir, {"import", "wide.txt"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_TRUE(result.err.ends_with(
        "wide.txt:3: Position value of point 3 is too far away from the previous point "
        "(4000000000 IU; at most 2147483647 IU = 1073741.8 rot)\n"))
        << result.err;
}

TEST_F(HostImport, RoundingToWholeIUIsMeasuredAndAnAccelerationItRaisesNamed) {
    // A cycloidal cam of one revolution: 200 rows over 0.5 s, each 3.125 IU of time apart.
    std::string cam = "time (s)\tposition (rot)\n";
    for (int i = 0; i <= 200; ++i) {
        const double u = i / 200.0;
        char line[64];
        std::snprintf(line, sizeof line, "%.6f\t%.9f\n", 0.5 * u,
                      u - std::sin(2 * M_PI * u) / (2 * M_PI));
        cam += line;
    }
    Put("cam.txt", cam);
    ChildResult result = HostIn(dir, {"import", "cam.txt"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.err.find("cam.txt: rounded to whole IU: times by up to 0.0004 s, positions by "
                              "up to 0.000249 rot\n"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("cam.txt: the rounding raises the preview's peak acceleration by "),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("rot/s^2); --resample places fewer points"), std::string::npos)
        << result.err;

    // Whole IU already: nothing to say.
    Put("whole.txt", "2000 0.008\n4000 0.016\n");
    result = HostIn(dir, {"import", "whole.txt"});
    EXPECT_EQ(result.err.find("rounded"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace host_test
