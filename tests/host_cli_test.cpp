// travex-host as a user runs it: a separate process, its exit status, and exactly what it puts
// on standard output, standard error and disk.
#include <DriveSetup.h>
#include <HostResources.h>
#include <MotionModule.h>
#include <afxrestable.h>
#include <gtest/gtest.h>
#include <pt/PtKeyCheck.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "host_scratch_folder.h"
#include "worked_example.h"

namespace host_test {
namespace {

const fs::path kExamples = kSourceDir / "examples";

std::string Example(const char* name) { return (kExamples / name).string(); }

std::vector<std::string> Lines(const std::string& program) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = program.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(program.substr(start, end - start));
    }
    EXPECT_EQ(start, program.size()) << "text after the last CR LF";
    return lines;
}

using HostScratch = HostScratchFolder;

// --- translate: the program, and nothing else, on standard output ---

TEST(HostTranslate, WorkedExampleGivesTheNineLinesExactly) {
    const ChildResult result = Host({"translate", Example("worked-example.ptm")});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, kWorkedExampleProgram);
    EXPECT_EQ(result.err, "");
}

TEST(HostTranslate, ReadsStandardInputForADashOrNoFile) {
    const std::string motion = Contents(Example("worked-example.ptm"));
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"translate", "-"}, std::vector<std::string>{"translate"}}) {
        const ChildResult result = Host(arguments, motion);
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_EQ(result.out, kWorkedExampleProgram);
    }
}

TEST(HostTranslate, EventExampleStartsWithTheEventAndNeverWaits) {
    const ChildResult result = Host({"translate", Example("on-input-event.ptm")});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().rfind("  //Define event: ", 0), 0u) << lines.front();
    EXPECT_NE(lines.front().find("input 3"), std::string::npos) << lines.front();
    auto firstPoint = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.starts_with("  PTP");
    });
    ASSERT_NE(firstPoint, lines.end());
    EXPECT_EQ(*firstPoint, "  PTP 1000L, 250U, 0; //PT(0.5[rot], 200[ms])");
    ASSERT_NE(firstPoint + 1, lines.end());
    EXPECT_EQ(*(firstPoint + 1), "  UPD!; //Execute on event");
    EXPECT_EQ(lines.back(), "  PTP 1000L, 250U, 0; //PT(2[rot],600[ms])")
        << "the file asks to wait, but a motion on event never does";
    // A text without MASTERID is a motion that leaves the host address alone.
    for (const std::string& line : lines) EXPECT_EQ(line.find("MASTERID"), std::string::npos);
}

TEST(HostTranslate, LongProfileKeepsItsUnitsAndLosesNoIUToTruncation) {
    const ChildResult result = Host({"translate", Example("s-curve-10rot.ptm")});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    long long positionSum = 0, timeSum = 0;
    int pointLines = 0;
    for (const std::string& line : Lines(result.out)) {
        long long position = 0, time = 0;
        if (std::sscanf(line.c_str(), "  PTP %lldL, %lldU, 0;", &position, &time) != 2) continue;
        ++pointLines;
        positionSum += position;
        timeSum += time;
        EXPECT_NE(line.find("[rot]"), std::string::npos) << line;
        EXPECT_NE(line.find("[ms]"), std::string::npos) << line;
    }
    EXPECT_EQ(pointLines, 49);
    // The last point is 10 rot at 490 ms: 20000 IU at 612.5 IU, whose truncation is 612.
    EXPECT_EQ(positionSum, 20000);
    EXPECT_EQ(timeSum, 612);
    EXPECT_NE(result.out.find("//PT(10[rot],490[ms])\r\n  !MC; WAIT!;"), std::string::npos);
}

TEST(HostTranslate, SaysThatItWaitsWhenStandardInputIsATerminal) {
    int terminal = -1;
    int device = -1;
    ASSERT_EQ(openpty(&terminal, &device, nullptr, nullptr, nullptr), 0);
    FILE* err = std::tmpfile();
    FILE* out = std::tmpfile();
    const pid_t child = fork();
    if (child == 0) {
        dup2(device, STDIN_FILENO);
        dup2(fileno(out), STDOUT_FILENO);
        dup2(fileno(err), STDERR_FILENO);
        execl(kHost.c_str(), kHost.c_str(), "translate", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(device);
    // The user types the motion, then Ctrl-D on a line of its own.
    const std::string typed = Contents(Example("worked-example.ptm")) + "\n\x04";
    ASSERT_EQ(write(terminal, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
    int status = 0;
    waitpid(child, &status, 0);
    close(terminal);
    auto text = [](FILE* file) {
        std::string all;
        std::rewind(file);
        for (int c; (c = std::fgetc(file)) != EOF;) all += static_cast<char>(c);
        std::fclose(file);
        return all;
    };
    EXPECT_EQ(text(err),
              "travex-host: reading a motion from standard input (end it with Ctrl-D; "
              "travex-host translate FILE reads a file)\n");
    EXPECT_EQ(text(out), kWorkedExampleProgram);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// --- translate: a motion that the module refuses ---

TEST(HostTranslate, BrokenExamplesGiveTheModulesWordsOnStandardError) {
    struct Case {
        const char* file;
        std::string message;
    };
    const Case cases[] = {
        {"broken-one-point.ptm", kTooFewPoints},
        {"broken-times-not-increasing.ptm",
         "Time value of point 3 is identical with previous point."},
        {"broken-missing-execute.ptm", "Parameter \"Execute\" is missing."},
    };
    for (const Case& c : cases) {
        const ChildResult result = Host({"translate", Example(c.file)});
        EXPECT_EQ(result.exitStatus, 1) << c.file;
        EXPECT_EQ(result.out, "") << c.file;
        EXPECT_EQ(result.err, c.message + "\n") << c.file;
    }
}

TEST(HostTranslate, BadPointArrayMessageComesFromTheHostsResources) {
    // The module words a bad array with the host's string 20048; travex-host must supply it.
    CModuleResources hostResources(HostResourceTable());
    CString badArray;
    ASSERT_TRUE(badArray.Format(motion_module::IDS_BAD_POINT_ARRAY, "ATIME"));
    ASSERT_FALSE(badArray.IsEmpty());

    const std::string motion =
        "ClearBuffer=1\nATIME[IU]=3: 5 100 300\nTPOS[IU]=3: 0 2000 5000\nExecute=0\n";
    const ChildResult result = Host({"translate"}, motion);
    EXPECT_EQ(result.exitStatus, 1);
    // One fault a line: the host's string ends in CR LF, printed as the terminal's line end.
    std::string line = badArray.str();
    ASSERT_TRUE(line.ends_with("\r\n"));
    line.resize(line.size() - 2);
    EXPECT_EQ(result.err,
              line + "\nInvalid values for first point. It should be (P, t)(0) = (0, 0).\n");
}

TEST_F(HostScratch, RefusedMotionWritesNoOutputFile) {
    const fs::path output = dir / "program.txt";
    ChildResult result = Host({"translate", Example("broken-one-point.ptm"), "-o", output});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_TRUE(Entries().empty());

    Put("program.txt", "an earlier program");
    result = Host({"translate", Example("broken-one-point.ptm"), "-o", output});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(Contents(output), "an earlier program");
    EXPECT_EQ(Entries(), std::set<std::string>{"program.txt"});
}

// --- output files ---

TEST_F(HostScratch, OutputFileHoldsExactlyTheProgramAndNothingElseIsLeft) {
    Put("program.txt", std::string(10000, '#'));
    const ChildResult result =
        Host({"translate", Example("worked-example.ptm"), "-o", (dir / "program.txt").string()});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(Contents(dir / "program.txt"), kWorkedExampleProgram);
    EXPECT_EQ(Entries(), std::set<std::string>{"program.txt"}) << "a temporary file was left";
}

TEST_F(HostScratch, UnwritableOutputIsAFailureThatLeavesNothing) {
    const fs::path output = dir / "missing-dir" / "program.txt";
    const ChildResult result = Host({"translate", Example("worked-example.ptm"), "-o", output});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find(output.string()), std::string::npos) << result.err;
    EXPECT_TRUE(Entries().empty());
}

// --- what cannot be read: exit status 2 and a message that names it ---

TEST_F(HostScratch, UnreadableInputsAreNamed) {
    Put("bad-setup.ini", "[Setup]\nName=Broken\nMotionController=maybe\n");
    const std::string missingMotion = (dir / "missing.ptm").string();
    const std::string badSetup = (dir / "bad-setup.ini").string();
    const std::string missingModule = (dir / "Nowhere.so").string();
    struct Case {
        std::vector<std::string> arguments;
        std::string named;
    };
    const Case cases[] = {
        {{"translate", missingMotion}, missingMotion},
        {{"--setup", badSetup, "translate", Example("worked-example.ptm")}, badSetup},
        {{"--setup", (dir / "missing.ini").string(), "info"}, (dir / "missing.ini").string()},
        {{"--module", missingModule, "translate", Example("worked-example.ptm")}, missingModule},
        {{"--module", missingModule, "info"}, missingModule},
        {{"--module", FAKE_MODULE_WITHOUT_EDIT, "info"}, "does not export EditMotionSequence"},
    };
    for (const Case& c : cases) {
        const ChildResult result = Host(c.arguments);
        EXPECT_EQ(result.exitStatus, 2) << c.named;
        EXPECT_EQ(result.out, "") << c.named;
        EXPECT_NE(result.err.find(c.named), std::string::npos) << result.err;
    }
}

TEST(HostTranslate, SetupWithoutThePtTypeIsRefusedAsUnusable) {
    const std::string setup = (kExamples / "setups" / "motion-controller.ini").string();
    ChildResult result = Host({"translate", Example("worked-example.ptm"), "--setup", setup});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("not enabled"), std::string::npos) << result.err;
}

// --- usage ---

TEST(HostUsage, WrongUsageIsExitStatusTwoWithAMessage) {
    const std::vector<std::vector<std::string>> wrong = {
        {"frobnicate"},
        {"translate", "--no-such-option"},
        {"translate", Example("worked-example.ptm"), Example("worked-example.ptm")},
        {"translate", "-o"},
        {"info", "extra"},
    };
    for (const std::vector<std::string>& arguments : wrong) {
        const ChildResult result = Host(arguments);
        std::string line;
        for (const std::string& argument : arguments) line += argument + " ";
        EXPECT_EQ(result.exitStatus, 2) << line;
        EXPECT_EQ(result.out, "") << line;
        EXPECT_EQ(result.err.rfind("travex-host: ", 0), 0u) << result.err;
        EXPECT_NE(result.err.find("--help)\n"), std::string::npos) << result.err;
    }
}

TEST(HostUsage, ErrorsSayWhatIsWrongInTheHostsWords) {
    const std::string points = Example("points/worked-example.txt");
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const Case cases[] = {
        {{"import", points, "--host-address", "3.5"},
         "travex-host: --host-address takes a whole number from 1 to 255, not \"3.5\" (see "
         "travex-host import --help)\n"},
        {{"import", points, "--host-address", "256"},
         "travex-host: --host-address takes a number from 1 to 255, not 256 (see travex-host "
         "import --help)\n"},
        {{"import", points, "--start-from", "middle"},
         "travex-host: --start-from takes reference or actual, not \"middle\" (see travex-host "
         "import --help)\n"},
        {{"frobnicate"}, "travex-host: unknown command \"frobnicate\" (see travex-host --help)\n"},
        {{"info", "extra"},
         "travex-host: info does not take \"extra\" (see travex-host info --help)\n"},
        {{"frobnicate", "a", "b c", "d"},
         "travex-host: unknown command \"frobnicate a b c d\" (see travex-host --help)\n"},
        {{"info", "one", "two"},
         "travex-host: info does not take \"one two\" (see travex-host info --help)\n"},
        {{"translate", "-o"},
         "travex-host: --output needs a FILE (see travex-host translate --help)\n"},
        {{"import"},
         "travex-host: import needs its points argument (see travex-host import --help)\n"},
        {{"help", "frobnicate"},
         "travex-host: unknown command \"frobnicate\" (see travex-host --help)\n"},
    };
    for (const Case& c : cases) {
        const ChildResult result = Host(c.arguments);
        EXPECT_EQ(result.exitStatus, 2) << c.message;
        EXPECT_EQ(result.err, c.message);
    }
}

TEST(HostUsage, ChoicesTakeAnyCase) {
    const std::string points = Example("points/worked-example.txt");
    const ChildResult result =
        Host({"import", points, "--start-from", "ACTUAL", "--time-unit", "Iu", "--quiet"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.out.find("StartPoint=1\r\n"), std::string::npos) << result.out;
}

TEST(HostUsage, VersionsOfTheHostAndTheModule) {
    const ChildResult result = Host({"--version"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out.rfind("travex-host 1.0.0.1\nmodule PT 1.0.0.1 (", 0), 0u) << result.out;
}

TEST(HostUsage, HelpForTheCommandAndEachSubcommand) {
    ChildResult result = Host({"--help"});
    EXPECT_EQ(result.exitStatus, 0);
    for (const char* word : {"info", "defaults", "translate", "--setup", "--module"}) {
        EXPECT_NE(result.out.find(word), std::string::npos) << word;
    }
    // Alone, or asked for help, it shows the same commands.
    EXPECT_EQ(Host({}).out, result.out);
    EXPECT_EQ(Host({"help"}).out, result.out);
    EXPECT_EQ(Host({"help", "translate"}).out, Host({"translate", "--help"}).out);
    for (const char* subcommand : {"info", "defaults", "translate"}) {
        result = Host({subcommand, "--help"});
        EXPECT_EQ(result.exitStatus, 0) << subcommand;
        EXPECT_NE(result.out.find(subcommand), std::string::npos) << result.out;
    }
    result = Host({"translate", "--help"});
    EXPECT_NE(result.out.find("--output"), std::string::npos) << result.out;
}

// --- info and defaults ---

TEST(HostInfo, ShowsTheModulesIdentityVersionAndWhetherTheSetupSuitsIt) {
    ChildResult result = Host({"info"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    for (const char* line :
         {"Class:         Motion\n", "Name:          PT\n", "Order ID:      4144 (0x1030)\n",
          "Enabled:       yes\n", "Version:       1.0.0.1\n", "Internal name: PT\n"}) {
        EXPECT_NE(result.out.find(line), std::string::npos) << line << "in\n" << result.out;
    }

    EXPECT_NE(result.out.find("Positions in:  rot (2000 IU), IU, deg (5.55556 IU), rad "
                              "(318.31 IU)\nTimes in:      s (1250 IU), IU, ms (1.25 IU)\n"),
              std::string::npos)
        << result.out;
}

TEST(HostInfo, SaysWhyTheTypeIsNotEnabled) {
    struct Case {
        const char* setup;
        const char* why;
    };
    const Case cases[] = {
        {"motion-controller.ini", "a motion controller; PT runs on a drive"},
        {"open-loop-drive.ini", "no closed position loop"},
        {"drive-without-atime.ini", "the drive has no variable ATIME"},
    };
    for (const Case& c : cases) {
        const ChildResult result = Host({"info", "--setup", (kExamples / "setups" / c.setup)});
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_NE(result.out.find(std::string("Enabled:       no (") + c.why), std::string::npos)
            << result.out;
    }
}

TEST_F(HostScratch, InfoGivesTheLimitsAsTheSetupWritesThemWithTheirIU) {
    // The linear drive: 1 mm = 4000/5 IU, 1 s = 1000 IU, so 500 mm/s = 500 * 800 / 1000 IU per
    // IU of time and 5000 mm/s^2 = 5000 * 800 / 1000^2.
    ChildResult result = Host({"info", "--setup", (kExamples / "setups" / "linear-drive.ini")});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.out.find("Limits:        speed 500 mm/s (400 IU/IU), acceleration 5000 "
                              "mm/s^2 (4 IU/IU\u00B2)\n"),
              std::string::npos)
        << result.out;

    // A bare number is in the setup's first units (here rot and s: 2000 and 1250 IU), which
    // are named; a unit other than the first keeps its own.
    std::string setup(CDriveSetup::DefaultSetupText());
    setup += "[Limits]\nMaxSpeed=2\nMaxJerk=0.5 rot/ms^3\n";
    const std::string path = Put("limited.ini", setup);
    result = Host({"info", "--setup", path});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    // 2 * 2000 / 1250 and 0.5 * 2000 / 1.25^3.
    const std::string expected =
        "Limits:        speed 2 rot/s (3.2 IU/IU), jerk 0.5 rot/ms^3 (512 IU/IU\u00B3)\n";
    EXPECT_NE(result.out.find(expected), std::string::npos) << expected << "in\n" << result.out;
}

// --- what the host reads: byte-order marks, misspelt keys, scripts ---

TEST(HostTranslate, AByteOrderMarkDoesNotHideTheFirstKey) {
    const ChildResult result =
        Host({"translate"}, "\xEF\xBB\xBF" + Contents(Example("worked-example.ptm")));
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, kWorkedExampleProgram);
}

// What a warning keeps of a line is its start: a line of megabytes costs no more than reading it.
TEST(HostTranslate, ALongLineIsNamedByItsStartAndComparedWithNoKey) {
    const std::string line(4 << 20, 'x');
    const std::string word(1 << 20, 'K');
    const auto found = FindUnknownMotionKeys("ClearBuffer=1\n" + line + "\n" + word +
                                             "=1\nWaitForCompletionX=1\nClearBufer=1\n");
    ASSERT_EQ(found.size(), 4u);
    EXPECT_FALSE(found[0].isEntry);
    EXPECT_EQ(found[0].key, std::string(40, 'x') + "...");
    EXPECT_EQ(found[1].key, std::string(40, 'K') + "...");
    EXPECT_EQ(found[1].nearest, "");
    EXPECT_EQ(found[2].nearest, "WaitForCompletion");
    EXPECT_EQ(found[3].nearest, "ClearBuffer");
    EXPECT_EQ(found[3].line, 5);
}

TEST(HostTranslate, AKeyThatNoMotionHasIsWarnedOfWithTheNearestKey) {
    const std::string motion =
        "; comment\nClearBufer=0\nATIME[IU]=2: 0 10\nTPOS[IU]=2: 0 "
        "5\nExecute=0\nwaitforcompletion=1\n"
        "Colour=red\n";
    const ChildResult result = Host({"translate"}, motion);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err,
              "travex-host: warning: standard input:2: \"ClearBufer\" is no key of a PT motion; "
              "did you mean \"ClearBuffer\"?\n"
              "travex-host: warning: standard input:6: \"waitforcompletion\" is no key of a PT "
              "motion; did you mean \"WaitForCompletion\"?\n"
              "travex-host: warning: standard input:7: \"Colour\" is no key of a PT motion\n");
    // Read as the module reads it: the misspelt key is absent, so the buffer is cleared.
    EXPECT_NE(result.out.find("SETPT 0x4F00"), std::string::npos) << result.out;
}

TEST_F(HostScratch, DefaultsAreANewMotionThatNeedsMorePoints) {
    const ChildResult printed = Host({"defaults"});
    ASSERT_EQ(printed.exitStatus, 0) << printed.err;
    EXPECT_NE(printed.out.find("Execute=0"), std::string::npos) << printed.out;

    const fs::path file = dir / "new.ptm";
    ChildResult result = Host({"defaults", "-o", file.string()});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(Contents(file), printed.out);

    result = Host({"translate", file.string()});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, std::string(kTooFewPoints) + "\n");
}

}  // namespace
}  // namespace host_test
