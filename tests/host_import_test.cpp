// travex-host import: a motion, and its program, from a file of points in one step, run as a
// separate process; what it writes, and that it writes nothing when it cannot make a motion.
#include <string>
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

}  // namespace
}  // namespace host_test
