// travex-host show, run as a separate process: the table and summary that a person reads, the
// CSV that a spreadsheet reads, and the exit status that a script reads.
#include <MotionFigures.h>
#include <PreviewUnits.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host_scratch_folder.h"
#include "pt/PtTableReader.h"

namespace host_test {
namespace {

const fs::path kExamples = kSourceDir / "examples";

using HostShow = HostScratchFolder;

// Lines of `text` that start with `prefix`.
std::vector<std::string> LinesStartingWith(const std::string& text, const std::string& prefix) {
    std::vector<std::string> found;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(prefix)) found.push_back(line);
    }
    return found;
}

// A motion file's table and its preview on the built-in setup, as the kernel builds them.
TrajectoryPreview KernelPreview(const std::string& motion, PtTable& table) {
    auto setup = CDriveSetup::CreateDefault();
    EXPECT_STREQ(ReadPtTable(Contents(motion), *setup, table).GetString(), "");
    TrajectoryPreview preview;
    std::string error;
    EXPECT_TRUE(preview.Build(table.times, table.positions, error)) << error;
    return preview;
}

TEST_F(HostShow, TableAndSummaryOfTheWorkedExample) {
    const ChildResult result = Host({"show", (kExamples / "worked-example.ptm").string()});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err, "");
    // Segment 0: 2000 IU in 100 time IU from rest to the velocity (20·200 + 15·100) / 300 =
    // 55/3 at point 1, so c2 = (3·20 - 55/3) / 100 and c3 = (55/3 - 2·20) / 100². The
    // acceleration 2·c2 + 6·c3·τ starts at 0.833333 and is zero at τ = 64.1026, where the
    // speed peaks at 26.7094. The jerk 6·c3 = -0.013 holds all through the segment.
    const std::string heading =
        "Point  Time [IU]  Position [IU]  Time step [IU]  Position step [IU]  Average speed "
        "[IU/IU]  Peak speed [IU/IU]  Peak acceleration [IU/IU\u00B2]  Jerk [IU/IU\u00B3]";
    EXPECT_NE(result.out.find(heading + "\n    0          0              0\n"), std::string::npos)
        << result.out;
    EXPECT_EQ(
        LinesStartingWith(result.out, "    1 ").at(0),
        "    1        100           2000             100                2000                  "
        "   20             26.7094                    0.833333         -0.013");
    EXPECT_EQ(LinesStartingWith(result.out, "Points:").at(0), "Points:              3");
    EXPECT_EQ(LinesStartingWith(result.out, "Duration:").at(0), "Duration:            300 IU");
    EXPECT_EQ(LinesStartingWith(result.out, "Travel:").at(0),
              "Travel:              5000 IU net, 5000 IU in all");
    EXPECT_EQ(LinesStartingWith(result.out, "Peak speed:").at(0),
              "Peak speed:          26.7094 IU/IU at 64.1026 IU, between points 0 and 1");
    EXPECT_EQ(LinesStartingWith(result.out, "Peak jerk:").at(0),
              "Peak jerk:           0.013 IU/IU\u00B3 between points 0 and 1");
    EXPECT_EQ(LinesStartingWith(result.out, "Jerk limit:").at(0), "Jerk limit:          none");
    EXPECT_EQ(LinesStartingWith(result.out, "Smallest time step:").at(0),
              "Smallest time step:  100 IU, between points 0 and 1");
    EXPECT_EQ(LinesStartingWith(result.out, "Speed limit:").at(0), "Speed limit:         none");
    EXPECT_EQ(LinesStartingWith(result.out, "Exceeded:").at(0),
              "Exceeded:            in no segment");
}

TEST_F(HostShow, UnitsFromTheTextOrTheCommandLine) {
    const std::string motion = (kExamples / "s-curve-10rot.ptm").string();
    ChildResult result = Host({"show", motion});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(LinesStartingWith(result.out, "Duration:").at(0), "Duration:            490 ms");
    result = Host({"show", motion, "--time-unit", "S", "--position-unit", "deg"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(LinesStartingWith(result.out, "Duration:").at(0), "Duration:            0.49 s");
    EXPECT_EQ(LinesStartingWith(result.out, "Travel:").at(0).substr(0, 30),
              "Travel:              3600 deg ");
    EXPECT_NE(result.out.find("Peak acceleration [deg/s\u00B2]"), std::string::npos);

    // The drive's bounds on a step are IU: in the units shown, the IU in brackets. 65535 IU
    // of time are 65535 / 1250 s; a step of 60000 IU (48 s) comes within a tenth of them.
    EXPECT_EQ(LinesStartingWith(result.out, "Steps near bounds:").at(0),
              "Steps near bounds:   none (a step may take at most 52.428 s (65535 IU) of time and "
              "3.86547e+08 deg (2147483647 IU) of position)");
    const std::string slow =
        Put("slow.ptm",
            "ClearBuffer=1\nATIME[s]=2: 0 60000\nTPOS[rot]=2: 0 2000\nExecute=0\n"
            "WaitForCompletion=1\n");
    result = Host({"show", slow});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(LinesStartingWith(result.out, "  time step").at(0),
              "  time step 48 s (60000 IU) of at most 52.428 s (65535 IU) between points 0 and 1");
    result = Host({"show", slow, "--time-unit", "IU"});
    EXPECT_EQ(LinesStartingWith(result.out, "  time step").at(0),
              "  time step 60000 IU of at most 65535 IU between points 0 and 1");

    result = Host({"show", motion, "--time-unit", "h"});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.err,
              "travex-host: unknown time unit \"h\"; the setup \"Rotary drive, 500-line "
              "encoder\" has s, IU, ms\n");
    EXPECT_EQ(result.out, "");
}

// Python's csv module reads the file; every number comes back bit for bit as the kernel
// computes it in the units shown.
TEST_F(HostShow, CsvReadsBackWithPythonsCsvModule) {
    if (std::system("python3 -c 'import csv' 2>/dev/null") != 0) GTEST_SKIP() << "no python3";
    const fs::path motion = kExamples / "s-curve-10rot.ptm";
    const ChildResult shown = Host({"show", motion.string(), "--csv", "--time-unit", "s"});
    ASSERT_EQ(shown.exitStatus, 0) << shown.err;
    const std::string csvPath = Put("s.csv", shown.out);
    const std::string script =
        "import csv, sys\n"
        "with open(sys.argv[1], newline='') as f:\n"
        "    rows = list(csv.reader(f))\n"
        "print('|'.join(rows[0]))\n"
        "for row in rows[1:]:\n"
        "    print(' '.join(float(x).hex() if x else '-' for x in row))\n";
    const ChildResult read = RunChild("/usr/bin/env", {"python3", "-c", script, csvPath});
    ASSERT_EQ(read.exitStatus, 0) << read.err;

    std::istringstream lines(read.out);
    std::string header;
    std::getline(lines, header);
    EXPECT_EQ(header,
              "point|time [s]|position [rot]|time step [s]|position step [rot]|average speed "
              "[rot/s]|peak speed [rot/s]|peak acceleration [rot/s^2]|jerk [rot/s^3]");

    PtTable table;
    const TrajectoryPreview preview = KernelPreview(motion, table);
    const MotionFigures figures = MotionFigures::Of(preview);
    const PreviewUnits units{{"rot", 2000}, {"s", 1250}};
    size_t row = 0;
    for (std::string line; std::getline(lines, line); ++row) {
        std::istringstream fields(line);
        std::vector<std::string> values;
        for (std::string field; fields >> field;) values.push_back(field);
        ASSERT_EQ(values.size(), 9u) << line;
        const auto number = [&](size_t i) { return std::strtod(values[i].c_str(), nullptr); };
        EXPECT_EQ(number(0), static_cast<double>(row));
        EXPECT_EQ(number(1), units.Time(table.times[row]));
        EXPECT_EQ(number(2), units.Position(table.positions[row]));
        if (row == 0) {
            EXPECT_EQ(values[3], "-");
            continue;
        }
        const SegmentFigures& segment = figures.segments[row - 1];
        EXPECT_EQ(number(3), units.Time(segment.timeStep)) << row;
        EXPECT_EQ(number(4), units.Position(segment.positionStep)) << row;
        EXPECT_EQ(number(5), units.Speed(segment.averageSpeed)) << row;
        EXPECT_EQ(number(6), units.Speed(segment.peakSpeed)) << row;
        EXPECT_EQ(number(7), units.Acceleration(segment.peakAcceleration)) << row;
        EXPECT_EQ(number(8), units.Jerk(segment.jerk)) << row;
    }
    EXPECT_EQ(row, table.times.size());
}

// The table against one that Python lays out from the CSV: each value "%.6g" in Python's own
// formatting, each column right-aligned to its widest field, heading or number. The values
// span signs, fractions and the exponent form; in the time column a number is the widest
// field (the last time, past 10^6 IU, or the first, 0.00080984 s), elsewhere the heading.
TEST_F(HostShow, TableColumnsAsPythonAlignsTheCsvsValues) {
    if (std::system("python3 -c 'import csv' 2>/dev/null") != 0) GTEST_SKIP() << "no python3";
    std::string times = "0", positions = "0";
    double time = 1.0123;
    for (int k = 1; k < 18; time += 65000.5 + k, ++k) {
        char text[64];
        std::snprintf(text, sizeof text, " %.10g", time);
        times += text;
        std::snprintf(text, sizeof text, " %.10g",
                      (k % 2 ? -1.2345678 : 1.2345678) * std::pow(10, k % 9));
        positions += text;
    }
    const std::string motion =
        Put("wide.ptm", "ATIME[IU]=18: " + times + "\nTPOS[IU]=18: " + positions +
                            "\nClearBuffer=1\nStartPoint=0\nExecute=0\nWaitForCompletion=1\n");
    const std::string script =
        "import csv, sys\n"
        "with open(sys.argv[1], newline='') as f:\n"
        "    rows = list(csv.reader(f))\n"
        "head = [h[0].upper() + h[1:] for h in rows[0]]\n"
        "head = [h.replace('^2', '\\u00b2').replace('^3', '\\u00b3') for h in head]\n"
        "cells = [head] + [[r[0]] + ['%.6g' % (float(x) + 0.0) for x in r[1:] if x] "
        "for r in rows[1:]]\n"
        "widths = [max(len(c[i]) for c in cells if i < len(c)) for i in range(len(head))]\n"
        "text = ''.join('  '.join(f.rjust(widths[i]) for i, f in enumerate(c)) + '\\n' "
        "for c in cells)\n"
        "sys.stdout.buffer.write(text.encode())\n";
    for (const std::vector<std::string>& units :
         {std::vector<std::string>{},
          {"--time-unit", "s", "--position-unit", "rot"},
          {"--time-unit", "ms", "--position-unit", "deg"}}) {
        std::vector<std::string> arguments = {"show", motion};
        arguments.insert(arguments.end(), units.begin(), units.end());
        const ChildResult table = Host(arguments);
        ASSERT_EQ(table.exitStatus, 0) << table.err;
        arguments.push_back("--csv");
        const ChildResult csv = Host(arguments);
        ASSERT_EQ(csv.exitStatus, 0) << csv.err;
        const ChildResult expected =
            RunChild("/usr/bin/env", {"python3", "-c", script, Put("wide.csv", csv.out)});
        ASSERT_EQ(expected.exitStatus, 0) << expected.err;
        const size_t start = table.out.find("\n\n") + 2;
        const size_t end = table.out.find("\n\nSummary");
        ASSERT_LT(start, end) << table.out;
        EXPECT_EQ(table.out.substr(start, end + 1 - start), expected.out);
    }
}

// Ten segments of 100 IU each, two of them four times as fast as the rest.
TEST_F(HostShow, LimitsFromTheSetupOrTheCommandLine) {
    const std::string motion = Put("two-fast.ptm",
                                   "ATIME[IU]=11: 0 100 200 300 400 500 600 700 800 900 1000\n"
                                   "TPOS[IU]=11: 0 100 200 300 700 800 900 1000 1400 1500 1600\n"
                                   "ClearBuffer=1\nStartPoint=0\nExecute=0\nWaitForCompletion=1\n");
    std::string setupText = CDriveSetup::DefaultSetupText();
    // 3.5 IU/IU = 3.5 · 1250 / 2000 rot/s: above every slow segment, below the fast ones.
    const std::string setup = Put("limited.ini", setupText + "[Limits]\nMaxSpeed=3.5 IU/IU\n");

    ChildResult result = Host({"--setup", setup, "show", motion});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(LinesStartingWith(result.out, "Speed limit:").at(0),
              "Speed limit:         3.5 IU/IU (setup)");
    EXPECT_EQ(LinesStartingWith(result.out, "Exceeded:").at(0),
              "Exceeded:            in 2 segments");
    const std::vector<std::string> violations = LinesStartingWith(result.out, "  speed ");
    ASSERT_EQ(violations.size(), 2u) << result.out;
    EXPECT_NE(violations[0].find("exceeds the limit of 3.5 IU/IU between points 3 and 4"),
              std::string::npos)
        << violations[0];
    EXPECT_NE(violations[1].find("between points 7 and 8"), std::string::npos) << violations[1];

    result = Host({"--setup", setup, "show", motion, "--strict"});
    EXPECT_EQ(result.exitStatus, 1);
    result = Host({"--setup", setup, "show", motion, "--csv", "--strict"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(LinesStartingWith(result.err, "speed ").size(), 2u) << result.err;
    EXPECT_EQ(result.out.find("exceeds"), std::string::npos);

    // The command line overrides the setup, in the units shown or its own.
    for (const char* speed : {"10", "10 IU/IU", "6.25 rot/s"}) {
        result = Host({"--setup", setup, "show", motion, "--strict", "--max-speed", speed,
                       "--max-acceleration", "1e6 rot/s^2"});
        EXPECT_EQ(result.exitStatus, 0) << speed << result.out;
        EXPECT_NE(result.out.find("(--max-speed)"), std::string::npos) << speed;
    }
    result = Host({"show", motion, "--max-acceleration", "5 IU/IU"});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.err,
              "travex-host: --max-acceleration \"5 IU/IU\" does not end in units written as "
              "POSITION/TIME^2\n");

    // The jerk: constant in a segment, so its line names the segment and no moment. Segment 3
    // leaves point 3 and reaches point 4 at 2.5 IU/IU, the mean of its neighbours' 1 and its own
    // 4: c3 = (2.5 + 2.5 - 2·4) / 100², a jerk of -0.0018; segment 2's is 0.0009.
    result = Host({"show", motion, "--strict", "--max-jerk", "0.0015 IU/IU^3"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(LinesStartingWith(result.out, "Jerk limit:").at(0),
              "Jerk limit:          0.0015 IU/IU\u00B3 (--max-jerk)");
    const std::vector<std::string> jerks = LinesStartingWith(result.out, "  jerk ");
    ASSERT_EQ(jerks.size(), 2u) << result.out;
    EXPECT_EQ(jerks[0],
              "  jerk 0.0018 IU/IU\u00B3 exceeds the limit of 0.0015 IU/IU\u00B3 between points 3 "
              "and 4");
}

TEST_F(HostShow, ExitStatusOfEveryExampleMatchesTranslate) {
    std::vector<std::string> setups = {""};
    for (const auto& entry : fs::directory_iterator(kExamples / "setups")) {
        setups.push_back(entry.path().string());
    }
    for (const auto& entry : fs::directory_iterator(kExamples)) {
        if (entry.path().extension() != ".ptm") continue;
        for (const std::string& setup : setups) {
            std::vector<std::string> options;
            if (!setup.empty()) options = {"--setup", setup};
            std::vector<std::string> show = options, translate = options;
            show.insert(show.end(), {"show", entry.path().string()});
            translate.insert(translate.end(), {"translate", entry.path().string()});
            const ChildResult shown = Host(show);
            const ChildResult translated = Host(translate);
            const std::string where = entry.path().filename().string() + " on " + setup;
            EXPECT_EQ(shown.exitStatus, translated.exitStatus) << where << shown.err;
            if (translated.exitStatus == 0) {
                EXPECT_NE(shown.out.find("\nSummary of "), std::string::npos) << where;
            } else {
                // A refusal is the module's own message; nothing on standard output.
                EXPECT_EQ(shown.err, translated.err) << where;
                EXPECT_EQ(shown.out, "") << where;
            }
        }
    }
}

// Four alike segments from rest to rest, 1000 IU in 100 IU each way: a cubic that moves D in T
// from rest to rest peaks at 1.5·D/T = 15 IU/IU in speed and 6·D/T² = 0.6 IU/IU² in
// acceleration, and holds a jerk of 12·D/T³ = 0.012 IU/IU³, in every segment alike.
TEST_F(HostShow, EqualPeaksNameTheFirstSegmentAndAPeakAtItsLimitIsNoViolation) {
    const std::string motion = Put("zigzag.ptm",
                                   "ClearBuffer=1\nATIME[IU]=5: 0 100 200 300 400\n"
                                   "TPOS[IU]=5: 0 1000 0 1000 0\nExecute=0\nWaitForCompletion=1\n");
    ChildResult result =
        Host({"show", motion, "--strict", "--max-speed", "15", "--max-acceleration", "0.6"});
    EXPECT_EQ(result.exitStatus, 0) << result.out;
    const size_t peaks = result.out.find("Peak speed:");
    EXPECT_EQ(result.out.substr(peaks, result.out.find("Steps near") - peaks),
              "Peak speed:          15 IU/IU at 50 IU, between points 0 and 1\n"
              "Peak acceleration:   0.6 IU/IU\u00B2 at 0 IU, between points 0 and 1\n"
              "Peak jerk:           0.012 IU/IU\u00B3 between points 0 and 1\n"
              "Smallest time step:  100 IU, between points 0 and 1\n");
    EXPECT_NE(result.out.find("\nExceeded:            in no segment\n"), std::string::npos);

    // Just under both peaks: each segment exceeds both limits and counts once.
    result =
        Host({"show", motion, "--strict", "--max-speed", "14.99", "--max-acceleration", "0.599"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(LinesStartingWith(result.out, "Exceeded:").at(0),
              "Exceeded:            in 4 segments");
    EXPECT_EQ(LinesStartingWith(result.out, "  speed ").size(), 4u) << result.out;
    EXPECT_EQ(LinesStartingWith(result.out, "  acceleration ").size(), 4u) << result.out;
}

// The worked example's first segment peaks at 651.042 rot/s² (0.833333 IU/IU², derived above,
// times 1250² / 2000) and 16.6934 rot/s; its second stays under 300 rot/s² and 15 rot/s.
TEST_F(HostShow, AViolationNamesItsOwnLimitAndOneIsEnoughForStrict) {
    // The lines under "Exceeded:", at the end of the summary.
    const auto violations = [](const std::string& out) {
        return LinesStartingWith(out.substr(out.find("\nExceeded:")), "  ");
    };
    const std::string motion = (kExamples / "worked-example.ptm").string();
    const std::vector<std::string> shown = {"show",        motion, "--position-unit", "rot",
                                            "--time-unit", "s",    "--strict"};
    const std::string acceleration =
        "acceleration 651.042 rot/s\u00B2 exceeds the limit of 300 rot/s\u00B2 between points 0 "
        "and 1, at 0 s";
    std::vector<std::string> arguments = shown;
    arguments.insert(arguments.end(), {"--max-acceleration", "300"});
    ChildResult result = Host(arguments);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(LinesStartingWith(result.out, "Speed limit:").at(0), "Speed limit:         none");
    EXPECT_EQ(violations(result.out), std::vector<std::string>{"  " + acceleration});

    arguments.insert(arguments.end(), {"--max-speed", "15"});
    result = Host(arguments);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(LinesStartingWith(result.out, "Exceeded:").at(0),
              "Exceeded:            in 1 segment");
    EXPECT_EQ(violations(result.out),
              (std::vector<std::string>{"  speed 16.6934 rot/s exceeds the limit of 15 rot/s "
                                        "between points 0 and 1, at 0.0512821 s",
                                        "  " + acceleration}));

    arguments = shown;
    arguments.insert(arguments.end(), {"--max-speed", "15", "--csv"});
    result = Host(arguments);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(LinesStartingWith(result.err, "speed ").size(), 1u) << result.err;
}

}  // namespace
}  // namespace host_test

namespace host_test {
namespace {

// The cycloid of examples/profiles/cycloidal-10rot.txt, written out here: 20000 IU in 625.
double Cycloid(double t) {
    const double u = t / 625, pi = std::acos(-1.0);
    return 20000 * (u - std::sin(2 * pi * u) / (2 * pi));
}

TEST_F(HostShow, DeviationFromAProfileAgainstASamplingOfTheLaw) {
    const std::string motion = (kExamples / "cycloid-10rot-20ms.ptm").string();
    const std::string profile = (kExamples / "profiles" / "cycloidal-10rot.txt").string();
    const ChildResult result =
        Host({"show", motion, "--profile", profile, "--position-unit", "IU", "--time-unit", "ms"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;

    // The table's preview against the law, every 0.001 time IU.
    PtTable table;
    const TrajectoryPreview preview = KernelPreview(motion, table);
    std::vector<double> perSegment(table.times.size() - 1, 0);
    double largest = 0;
    for (int k = 0; k <= 625000; ++k) {
        const double t = k / 1000.0;
        const double gap = std::abs(preview.PositionAt(t) - Cycloid(t));
        // A point belongs to both segments that meet there.
        const size_t segment = std::min<size_t>(static_cast<size_t>(t / 25), 24);
        perSegment[segment] = std::max(perSegment[segment], gap);
        if (k % 25000 == 0 && segment > 0) {
            perSegment[segment - 1] = std::max(perSegment[segment - 1], gap);
        }
        largest = std::max(largest, gap);
    }

    // The last column of the row of point i is the deviation of the segment that ends there.
    const std::vector<std::string> rows = LinesStartingWith(result.out, "   ");
    ASSERT_EQ(rows.size(), 26u) << result.out;
    for (size_t i = 1; i < rows.size(); ++i) {
        const double shown = std::stod(rows[i].substr(rows[i].find_last_of(' ') + 1));
        EXPECT_NEAR(shown, perSegment[i - 1], 1e-5 * (1 + perSegment[i - 1])) << rows[i];
    }
    const std::vector<std::string> summary = LinesStartingWith(result.out, "Largest deviation:");
    ASSERT_EQ(summary.size(), 1u) << result.out;
    double value = 0, at = 0;
    ASSERT_EQ(std::sscanf(summary[0].c_str(), "Largest deviation: %lf IU at %lf ms", &value, &at),
              2)
        << summary[0];
    EXPECT_NEAR(value, largest, 1e-5);
    // The move is symmetric: of two equal peaks either may be named, but at its own place.
    EXPECT_NEAR(std::abs(preview.PositionAt(at * 1.25) - Cycloid(at * 1.25)), largest, 1e-4);
    for (const char* line : {"Profile " TRAVEX_SOURCE_DIR "/examples/profiles/cycloidal-10rot.txt, "
                             "1 segment",
                             "Peak speed:          80 IU/ms (the table: 80.2125)",
                             "Peak acceleration:   0.502655 IU/ms\u00B2 (the table: 0.535)",
                             "  line 3, cycloidal: 1.53695 IU at 486.08 ms"}) {
        EXPECT_EQ(LinesStartingWith(result.out, line).size(), 1u) << line << "\n" << result.out;
    }

    // The spreadsheet's table has the column too.
    const ChildResult csv = Host({"show", motion, "--profile", profile, "--csv"});
    ASSERT_EQ(csv.exitStatus, 0) << csv.err;
    EXPECT_TRUE(
        csv.out.starts_with("point,time [ms],position [rot],time step [ms],"
                            "position step [rot],average speed [rot/ms],"
                            "peak speed [rot/ms],peak acceleration [rot/ms^2],jerk [rot/ms^3],"
                            "deviation [rot]\r\n"))
        << csv.out;
}

TEST_F(HostShow, ProfileFaultsNameTheirLine) {
    const std::string motion = (kExamples / "cycloid-10rot-20ms.ptm").string();
    struct Case {
        std::string profile;
        std::string error;
    };
    const Case cases[] = {
        {"cycloidal 10 rot 0.5 s\nwobble 1 rot 1 s\n",
         ":2: unknown law 'wobble' (laws: cubic, harmonic, cycloidal, poly345, poly4567, "
         "modified-sine, modified-trapezoid, dwell, cruise, poly5)\n"},
        // The setup's units, matched as --position-unit matches them.
        {"cycloidal 10 ROT 0.5 S\ncycloidal 10 mm 0.5 s\n",
         ":2: unknown position unit 'mm' (units: rot, IU, deg, rad)\n"},
        {"# a pause only\ndwell 10 rot 0.5 s\n",
         ":2: a dwell has no distance (dwell DURATION TIME-UNIT)\n"},
        {"cycloidal 10 rot 0.4 s\n",
         "travex-host: " + motion +
             " runs from 0 ms to 500 ms, PROFILE from 0 to 400 ms (its segments end on whole "
             "time IU): a deviation needs the same span\n"},
    };
    for (const Case& c : cases) {
        const std::string path = Put("p.txt", c.profile);
        const ChildResult result = Host({"show", motion, "--profile", path});
        EXPECT_EQ(result.exitStatus, 2) << c.profile;
        EXPECT_EQ(result.out, "") << c.profile;
        // FILE:LINE: opens the line, where editors look for it.
        std::string error = c.error;
        if (error.starts_with(":")) error = "travex-host: " + path + error;
        if (const size_t at = error.find("PROFILE"); at != std::string::npos) {
            error.replace(at, 7, path);
        }
        EXPECT_EQ(result.err, error) << c.profile;
    }
}

}  // namespace
}  // namespace host_test
