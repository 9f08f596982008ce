// travex-host import takes what a file means or refuses it: files as people have them, each with
// the exact motion it gives or the exact question it asks; and random files of two unnamed
// columns, whose motion must be what the module's own import makes of them.
#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "host_scratch_folder.h"

namespace host_test {
namespace {

using HostImportMeaning = HostScratchFolder;

struct Motion {
    std::vector<double> times;
    std::vector<double> positions;
    bool operator==(const Motion&) const = default;
};

void PrintTo(const Motion& motion, std::ostream* out) {
    *out << "times";
    for (double t : motion.times) *out << " " << t;
    *out << " / positions";
    for (double p : motion.positions) *out << " " << p;
}

Motion MotionOf(const std::string& text) {
    return {MotionArrayValues(text, "ATIME"), MotionArrayValues(text, "TPOS")};
}

TEST_F(HostImportMeaning, FilesAsPeopleHaveThemGiveTheMotionTheyMean) {
    struct Case {
        const char* what;
        std::string points;
        std::vector<std::string> options;
        Motion motion;  // IU
        std::vector<std::string> said;
    };
    const Case cases[] = {
        {"a remark after the first line's numbers",
         "10 0.5 start\n20 1.0\n30 2",
         {},
         {{0, 625, 1250, 2500}, {0, 20000, 40000, 60000}},
         {"p.txt: 3 points taken, 0 lines skipped"}},
        {"two lines of another separator among blank-separated ones",
         "1 1\n2 2\n1;2\n3 3\n",
         {"--position-unit", "IU", "--time-unit", "IU"},
         {{0, 1, 2, 3}, {0, 1, 2, 3}},
         {"p.txt:3: skipped \"1;2\": no two numbers",
          "separator blanks (3 of the first 4 lines of numbers fit it)"}},
        {"a header listed with its text",
         "# time (s)  angle (deg)\n0 0\n1 10\n2 20\n",
         {"--position-unit", "IU", "--time-unit", "IU"},
         {{0, 1, 2}, {0, 10, 20}},
         {"p.txt:1: header \"# time (s)  angle (deg)\"",
          "time from column 1 \"time\" in IU, position from column 2 \"angle\" in IU"}},
        {"a duration column named so",
         "dt;position\n1;1\n1;2\n1;3\n",
         {"--position-unit", "IU", "--time-unit", "IU"},
         {{0, 1, 2, 3}, {0, 1, 2, 3}},
         {"p.txt: the header names column 1 a duration: each row's time is the sum of the "
          "durations up to it (--durations)"}},
        {"the second of two runs",
         "0 0\n1 10\n2 20\n3 30\n0 0\n1 15\n2 25\n",
         {"--position-unit", "IU", "--time-unit", "IU", "--run", "2", "--columns", "1,2"},
         {{0, 1, 2}, {0, 15, 25}},
         {"p.txt: run 2 of 2, lines 5-7; 4 rows of the other runs left out"}},
        {"an encoder count unwrapped",
         "0 1\n30000 2\n60000 3\n24464 4\n",
         {"--position-unit", "IU", "--time-unit", "IU", "--unwrap", "65536"},
         {{0, 1, 2, 3, 4}, {0, 0, 30000, 60000, 90000}},
         {"p.txt: unwrapped: positions moved by up to 65536 IU"}},
        {"rows in brackets",
         "[1, 1],\n[2, 2],\n[3, 3]\n",
         {"--position-unit", "IU", "--time-unit", "IU"},
         {{0, 1, 2, 3}, {0, 1, 2, 3}},
         {"p.txt: 3 points taken"}},
        // The built-in setup's s is 1250 IU: 1 IU is 800000 ns.
        {"a rounding told in a unit finer than an IU",
         "0 0\n1 1000100\n2 2000000\n",
         {"--position-unit", "IU", "--setup-ns"},
         {{0, 1, 2}, {0, 1, 2}},
         {"p.txt: rounded to whole IU: times by up to 100 ns"}},
        // 125 mm/s in the last step of 4 ms: 31250 mm/s^2 to stop within it.
        {"a log that ends while moving",
         "0 0\n0.5 0.004\n0.5 0.008\n1 0.012\n1.5 0.016\n2 0.02\n2.5 0.024\n3 0.028\n"
         "3.5 0.032\n4 0.036\n4.5 0.04\n",
         {"--setup-linear", "--time-unit", "s"},
         {{0, 4, 8, 12, 16, 20, 24, 28, 32, 36, 40},
          {0, 400, 400, 800, 1200, 1600, 2000, 2400, 2800, 3200, 3600}},
         {"p.txt: the log ends at 125 mm/s: stopping within one step (0.004 s) needs 31250 "
          "mm/s^2"}},
    };
    const std::string nsSetup = Put("ns.ini",
                                    "[Setup]\nName=With ns\nMotionController=0\n[Options]\n"
                                    "IsClosedPosition=1\n[Variables]\nTPOS=long\nATIME=long\n"
                                    "MASTERID=int\nPVTBUFBEGIN=int\nPVTBUFLEN=int\n"
                                    "[PositionUnits]\nIU=1\n[TimeUnits]\nIU=1\nns=1/1000000\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Put("p.txt", c.points);
        std::vector<std::string> arguments = {"import", "p.txt"};
        for (const std::string& option : c.options) {
            if (option == "--setup-linear") {
                arguments.insert(
                    arguments.begin(),
                    {"--setup",
                     (kSourceDir / "examples" / "setups" / "linear-drive.ini").string()});
            } else if (option == "--setup-ns") {
                arguments.insert(arguments.begin(), {"--setup", nsSetup});
                arguments.insert(arguments.end(), {"--time-unit", "ns"});
            } else {
                arguments.push_back(option);
            }
        }
        const ChildResult result = HostIn(dir, arguments);
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_EQ(MotionOf(result.out), c.motion);
        size_t from = 0;
        for (const std::string& line : c.said) {
            const size_t at = result.err.find(line, from);
            EXPECT_NE(at, std::string::npos) << line << "\nin\n" << result.err;
            if (at != std::string::npos) from = at + line.size();
        }
        EXPECT_EQ(result.err.find("inf"), std::string::npos) << result.err;
    }
}

TEST_F(HostImportMeaning, AFileThatDoesNotSayWhatItMeansIsRefusedWithTheOptionsThatSettleIt) {
    struct Case {
        std::string points;
        std::string said;  // standard error, whole
    };
    const Case cases[] = {
        {"Time,Velocity,Speed\n0,0,0\n1,2,2\n",
         "travex-host: p.txt: no column is named as a position; name them with --columns "
         "TIME,POSITION:\n  column 1 \"Time\": 0 1\n  column 2 \"Velocity\": 0 2\n"
         "  column 3 \"Speed\": 0 2\n  --columns 1,2\n  --columns 1,3\n"},
        {"0 0\n0.1 5\n0.2 3\n0.3 4\n0.4 2\n",
         "travex-host: p.txt: the columns look swapped: column 1 rises at every line while the "
         "times of column 2 do not (3 of 5 rows would be dropped); --columns 1,2 takes the time "
         "from column 1, --columns 2,1 keeps this reading\n"},
        {"0 0\n1 1\n2 2\n3 3\n0 0\n1 1\n2 2\n",
         "travex-host: p.txt: the time starts again 1 time: the file holds 2 runs (lines 1-4, "
         "5-7); --run K takes the K-th\n"},
    };
    Put("m.ptm", "an earlier motion");
    for (const Case& c : cases) {
        Put("p.txt", c.points);
        const ChildResult result = HostIn(dir, {"import", "p.txt", "-o", "m.ptm"});
        EXPECT_EQ(result.exitStatus, 1) << c.points;
        EXPECT_EQ(result.err, c.said);
        EXPECT_EQ(Contents(dir / "m.ptm"), "an earlier motion");
    }
    // The line offered imports it.
    Put("p.txt", "0 0\n0.1 5\n0.2 3\n0.3 4\n0.4 2\n");
    const ChildResult swapped = HostIn(dir, {"import", "p.txt", "--columns", "1,2"});
    ASSERT_EQ(swapped.exitStatus, 0) << swapped.err;
    // The first row, (0, 0), is the start point; s is 1250 IU, rot 2000 IU.
    EXPECT_EQ(MotionOf(swapped.out),
              (Motion{{0, 125, 250, 375, 500}, {0, 10000, 6000, 8000, 4000}}));
}

// The module's own import, worked headless in its editor: the judge of what a file gives.
struct EditorImport {
    int exitStatus;
    Motion motion;
    std::string message;
};

class HostImportAgainstTheEditor : public HostScratchFolder {
protected:
    void SetUp() override {
        ASSERT_EQ(Host({"defaults", "-o", (dir / "new.ptm").string()}).exitStatus, 0);
        Put("judge.txt", "import judge-points.txt\nclick OK\n");
    }
    EditorImport Judge(const std::string& points) {
        Put("judge-points.txt", points);
        fs::copy_file(dir / "new.ptm", dir / "m.ptm", fs::copy_options::overwrite_existing);
        const ChildResult result = HostIn(dir, {"edit", "m.ptm", "--script", "judge.txt"});
        std::string message;
        if (result.out.starts_with("message: ")) message = result.out.substr(9);
        if (message.ends_with('\n')) message.pop_back();
        return {result.exitStatus, MotionOf(Contents(dir / "m.ptm")), message};
    }
};

// What the reader adds to the editor's own rule, made plain for the judge: a CR alone ends a
// line, and another separator is a blank.
std::string AsTheEditorReadsIt(std::string points, char separator) {
    for (size_t i = 0; i < points.size(); ++i) {
        if (points[i] == '\r' && (i + 1 == points.size() || points[i + 1] != '\n')) {
            points[i] = '\n';
        }
        if (separator != ' ' && points[i] == separator) points[i] = ' ';
    }
    return points;
}

TEST_F(HostImportAgainstTheEditor, RandomFilesOfTwoUnnamedColumnsGiveTheEditorsMotion) {
    std::mt19937 random(26);
    const char separators[] = {' ', '\t', ';', ','};
    const char* headers[] = {"", "some words\n", "# logged by a bench\n", "alpha beta\n"};
    const char* remarks[] = {"", " remark", "\t# note", " 7"};
    const char* bad[] = {"word", "-", "1e", "x 2", "nan nan", ""};
    const char* ends[] = {"\n", "\r\n", "\r"};
    int same = 0;
    int refused = 0;
    for (int round = 0; round < 48; ++round) {
        const char separator = separators[round % 4];
        const std::string end = ends[random() % 3];
        std::string points = headers[random() % 4];
        if (!points.empty() && end != "\n") points.back() = end[0];
        if (end == "\r\n" && !points.empty()) points += '\n';
        double time = static_cast<double>(random() % 1000) / 1000.0;
        for (int line = 0; line < 40; ++line) {
            const int kind = static_cast<int>(random() % 20);
            std::string text;
            if (kind == 0) {
                text = bad[random() % std::size(bad)];
            } else if (kind == 1 && separator == ' ') {
                text = "1;2";
            } else {
                // Mostly later times, now and then an earlier or an equal one.
                time += static_cast<double>(static_cast<int>(random() % 2000)) / 1000.0 -
                        (kind == 2 ? 1.0 : 0.0);
                const double position =
                    static_cast<double>(static_cast<int>(random() % 200000)) / 100.0 - 1000;
                char cells[96];
                const char* values[] = {"%.3f%c%.4f", "%.2e%c%.4f", "%.1f%c%.6g"};
                std::snprintf(cells, sizeof cells, values[random() % 3], position, separator,
                              kind == 3 ? -time : time);
                text = cells;
                if (separator != ',' && kind == 4) std::replace(text.begin(), text.end(), '.', ',');
                if (kind == 5 && random() % 8 == 0) {
                    text = "1e12" + text.substr(text.find(separator));
                }
                if (separator == ' ' || separator == '\t') text += remarks[random() % 4];
                if (random() % 4 == 0 && separator == ' ') text = "  " + text;
            }
            points += text + end;
        }
        SCOPED_TRACE(points);
        Put("p.txt", points);
        const ChildResult imported = HostIn(dir, {"import", "p.txt"});
        const EditorImport judge = Judge(AsTheEditorReadsIt(points, separator));
        ASSERT_TRUE(imported.exitStatus == 0 || imported.exitStatus == 1) << imported.err;
        if (imported.exitStatus == 1 && imported.err.find("travex-host: p.txt: ") == 0) {
            // The reader's refusal names the option that settles it.
            EXPECT_NE(imported.err.find(" --"), std::string::npos) << imported.err;
            ++refused;
            continue;
        }
        EXPECT_EQ(imported.exitStatus == 0, judge.exitStatus == 0)
            << imported.err << "\neditor: " << judge.message;
        if (imported.exitStatus == 0) {
            EXPECT_EQ(MotionOf(imported.out), judge.motion);
            // What the report says it took is what was written.
            const std::string taken = "p.txt: " + std::to_string(judge.motion.times.size() - 1) +
                                      " point" + (judge.motion.times.size() == 2 ? "" : "s") +
                                      " taken";
            EXPECT_NE(imported.err.find(taken), std::string::npos) << imported.err;
            EXPECT_EQ(imported.err.find("another table"), std::string::npos);
            ++same;
        } else {
            // The validation's words, with the file's line of the point.
            EXPECT_NE(imported.err.find(judge.message), std::string::npos)
                << imported.err << "\neditor: " << judge.message;
        }
    }
    EXPECT_LE(refused, 4) << "a file of two unnamed columns is read as the editor reads it";
    EXPECT_GT(same, 30);
}

}  // namespace
}  // namespace host_test
