// travex-host import says on standard error what the editor's import took from a file of
// points; what it says must be what the editor did, on files as users have them.
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "host_scratch_folder.h"

namespace host_test {
namespace {

using HostImportReport = HostScratchFolder;

TEST_F(HostImportReport, TheReportAgreesWithTheImportedTable) {
    struct Case {
        const char* what;
        std::string points;
        std::vector<double> times;      // IU, point 0 included
        std::vector<double> positions;  // IU
        std::vector<std::string> said;  // lines of the report, in order
    };
    const Case cases[] = {
        {"header lines and a start point",
         "position time\n# from the bench\n0 0\n10 5\n20 10\n",
         {0, 5, 10},
         {0, 10, 20},
         {"2 header lines", "p.txt: 2 points taken, 0 lines skipped, 0 values limited"}},
        {"a typo",
         "1 1\n3 O.3\n4 4\n",
         {0, 1, 4},
         {0, 1, 4},
         {"p.txt:2: skipped \"3 O.3\": no two numbers", "p.txt: 2 points taken"}},
        {"out of order",
         "1 10\n2 5\n3 10\n4 20\n",
         {0, 10, 20},
         {0, 1, 4},
         {"p.txt:2: skipped \"2 5\": time 5 IU is not after the previous point's 10 IU",
          "p.txt:3: skipped \"3 10\": time 10 IU is not after the previous point's 10 IU",
          "p.txt: 2 points taken, 2 lines skipped"}},
        // IU hold whole numbers: the editor rounds what it takes.
        {"decimal commas",
         "1,5 2,5\n1,2\n3,25 4\n",
         {0, 3, 4},
         {0, 2, 3},
         {"p.txt:2: skipped \"1,2\": no two numbers"}},
        {"CR LF and a blank line",
         "1 1\r\n\r\n2 2\r\n",
         {0, 1, 2},
         {0, 1, 2},
         {"p.txt: 2 points taken, 0 lines skipped, 0 values limited"}},
        {"semicolon-separated CSV",
         "pos;time\n1;2\n3;4\n",
         {0, 2, 4},
         {0, 1, 3},
         {"separator \";\"", "p.txt: 2 points taken, 0 lines skipped"}},
        {"negative time, nan",
         "1 -1\nnan 2\n3 3\n",
         {0, 3},
         {0, 3},
         {"p.txt:1: skipped \"1 -1\": negative time",
          "p.txt:2: skipped \"nan 2\": position is not a number"}},
        {"a position beyond the limits",
         "1e12 1\n5 2\n",
         {0, 1, 2},
         {0, 2147483647, 5},
         {"p.txt:1: position 1e+12 IU limited to 2147483647 IU",
          "p.txt: 2 points taken, 0 lines skipped, 1 value limited"}},
        // The validation refuses the time step then; the report still says what happened.
        {"times beyond the limits",
         "1e12 1\n5 inf\n6 1e300\n",
         {},
         {},
         {"p.txt:1: position 1e+12 IU limited to 2147483647 IU",
          "p.txt:2: time inf IU limited to 2147483646 IU",
          "p.txt:3: skipped \"6 1e300\": time 2147483646 IU is not after the previous point's "
          "2147483646 IU",
          "p.txt: 2 points taken, 1 line skipped, 2 values limited"}},
        // Numbers as the C run-time reads them: a sign '+', hex, a point without digits on one
        // side, a dangling exponent, text straight after a number, a NUL byte.
        {"numbers as strtod reads them",
         std::string("+1 1\n0x10 2\n1..2 3\n-.5\t4\n.5e1 5\n5. 6\n1e 7\n- 5 8\n8 9e\n"
                     "9 1.7e1x\n10") +
             '\0' + " 11\n",
         {0, 1, 2, 4, 5, 6, 9, 17},
         {0, 1, 16, -1, 5, 5, 8, 9},
         {"p.txt:3: skipped \"1..2 3\": two numbers run together (separator blanks; see "
          "--separator)",
          "p.txt:7: skipped \"1e 7\": no two numbers", "p.txt:8: skipped \"- 5 8\": no two numbers",
          "p.txt:11: skipped \"10? 11\": no two numbers",
          "p.txt: 7 points taken, 4 lines skipped, 0 values limited"}},
        {"a byte-order mark",
         "\xEF\xBB\xBF"
         "1 1\n2 2\n",
         {0, 1, 2},
         {0, 1, 2},
         {"p.txt: 2 points taken, 0 lines skipped"}},
    };
    for (const Case& c : cases) {
        const std::string points = Put("p.txt", c.points);
        const ChildResult result =
            HostIn(dir, {"import", "p.txt", "--position-unit", "IU", "--time-unit", "IU"});
        if (c.times.size() < 2) {
            EXPECT_EQ(result.exitStatus, 1) << c.what;
        } else {
            ASSERT_EQ(result.exitStatus, 0) << c.what << ": " << result.err;
            EXPECT_EQ(MotionArrayValues(result.out, "ATIME"), c.times) << c.what;
            EXPECT_EQ(MotionArrayValues(result.out, "TPOS"), c.positions) << c.what;
        }
        EXPECT_EQ(result.err.find("another table"), std::string::npos) << c.what;
        size_t from = 0;
        for (const std::string& line : c.said) {
            const size_t at = result.err.find(line, from);
            EXPECT_NE(at, std::string::npos) << c.what << ": " << line << "\nin\n" << result.err;
            if (at != std::string::npos) from = at + line.size();
        }
    }
}

// Random files of every kind of line, in units with fractions of an IU: the editor and the
// report must agree on each.
TEST_F(HostImportReport, RandomFilesAgreeWithTheImportedTable) {
    std::mt19937 random(9);
    int made = 0;
    const char* pieces[] = {"word", "1;2", "-1", "inf", "nan", "1e12", "", " ", "\t"};
    for (int file = 0; file < 20; ++file) {
        std::string points;
        double time = 0;
        for (int line = 0; line < 60; ++line) {
            const int kind = static_cast<int>(random() % 10);
            if (kind == 0) {
                points += std::string(pieces[random() % std::size(pieces)]) + " " +
                          pieces[random() % std::size(pieces)];
            } else {
                // Mostly later times, now and then an earlier or an equal one.
                time += static_cast<double>(static_cast<int>(random() % 2000)) / 1000.0 -
                        (kind == 1 ? 1.0 : 0.0);
                char text[64];
                std::snprintf(text, sizeof text, "%.4f %.4f",
                              static_cast<double>(static_cast<int>(random() % 20000)) / 1000.0 - 10,
                              time);
                points += text;
                if (kind == 2) std::replace(points.end() - 20, points.end(), '.', ',');
            }
            points += random() % 3 == 0 ? "\r\n" : "\n";
        }
        Put("p.txt", points);
        const ChildResult result = HostIn(dir, {"import", "p.txt"});
        ASSERT_TRUE(result.exitStatus == 0 || result.exitStatus == 1) << result.err;
        EXPECT_EQ(result.err.find("another table"), std::string::npos) << points;
        if (result.exitStatus != 0) continue;
        ++made;
        const std::string taken =
            ": " + std::to_string(MotionArrayValues(result.out, "ATIME").size() - 1) +
            " points taken";
        EXPECT_NE(result.err.find(taken), std::string::npos) << taken << "\n" << result.err;
    }
    EXPECT_GT(made, 10) << "most files should make a motion";
}

TEST_F(HostImportReport, AScreenfulAtMostWithTheRestCounted) {
    std::string points;
    for (int i = 0; i < 100; ++i) points += "word\n";
    points += "1 1\n2 2\n";
    Put("p.txt", points);
    const ChildResult result = HostIn(dir, {"import", "p.txt"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.err.find("p.txt:20: skipped"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("p.txt:21: skipped"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("p.txt: ... and 80 more skipped lines or limited values\n"),
              std::string::npos)
        << result.err;
}

TEST_F(HostImportReport, StrictRefusesQuietSaysNothing) {
    Put("clean.txt", "1 1\n2 2\n");
    Put("typo.txt", "1 1\n2 2,,\n3 x\n");
    Put("m.ptm", "an earlier motion");
    ChildResult result =
        HostIn(dir, {"import", "typo.txt", "--strict", "-o", "m.ptm", "--program", "m.txt"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find("typo.txt:3: skipped \"3 x\""), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("--strict"), std::string::npos) << result.err;
    EXPECT_EQ(Contents(dir / "m.ptm"), "an earlier motion");
    EXPECT_EQ(Entries(), (std::set<std::string>{"clean.txt", "m.ptm", "typo.txt"}));

    result = HostIn(dir, {"import", "clean.txt", "--strict", "--quiet", "-o", "m.ptm"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err, "");
    result = HostIn(dir, {"import", "typo.txt", "--quiet", "-o", "m.ptm"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err, "");
}

TEST_F(HostImportReport, PointsFromStandardInput) {
    const ChildResult result = RunChild(
        kHost, {"import", "-", "--time-unit", "IU", "--position-unit", "IU"}, "1 1\nx\n2 2\n");
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(MotionArrayValues(result.out, "ATIME"), (std::vector<double>{0, 1, 2}));
    EXPECT_NE(result.err.find("standard input:2: skipped \"x\": no two numbers"), std::string::npos)
        << result.err;
}

// The edges of what the report passes over in silence: only the start point itself as a first
// line, and only a position beyond the 32 bits of a position.
TEST_F(HostImportReport, AFirstLineAtTimeZeroAwayFromTheStartAndPositionsAtTheirBound) {
    Put("p.txt", "5 0\n-2147483648 1\n-2147483649 2\n2147483647 3\n2147483648 4\n");
    const ChildResult result =
        HostIn(dir, {"import", "p.txt", "--position-unit", "IU", "--time-unit", "IU"});
    // The editor takes the table as reported; the module refuses a first step of 2^31 IU.
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err,
              "p.txt:1: skipped \"5 0\": time 0 IU is not after the previous point's 0 IU\n"
              "p.txt:3: position -2147483649 IU limited to -2147483648 IU\n"
              "p.txt:5: position 2147483648 IU limited to 2147483647 IU\n"
              "p.txt: time from column 2 in IU, position from column 1 in IU; separator blanks\n"
              "p.txt:1: the first row is at time 0 IU and position 5 IU, not at the start point "
              "(0, 0): the row is skipped, as the start point holds time 0, and the motion goes "
              "from position 0 to the next row's; --relative makes the first row the start\n"
              "p.txt: 4 points taken, 1 line skipped, 2 values limited\n"
              "p.txt:2: Position value of point 1 is too far away from the previous point "
              "(2147483648 IU; at most 2147483647 IU)\n");
}

}  // namespace
}  // namespace host_test
