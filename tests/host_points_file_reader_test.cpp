// The points file reader in front of the editor's import: the dialects people's files come in,
// each read into the rows the user meant, checked against Python's csv module where it can
// read the file too; and the text it hands the editor.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "host_child_process.h"
#include "pt/PointsFileReader.h"

namespace {

struct Row {
    int line;
    double position;
    double time;
    bool operator==(const Row&) const = default;
};

std::vector<Row> Rows(const PointsFile& file) {
    std::vector<Row> rows;
    for (const PointsRow& row : file.rows) rows.push_back({row.line, row.position, row.time});
    return rows;
}

void PrintTo(const Row& row, std::ostream* out) {
    *out << "(line " << row.line << ": " << row.position << ", " << row.time << ")";
}

PointsFile Read(const std::string& bytes, const PointsFileOptions& options = {}) {
    PointsFile file;
    std::string error;
    EXPECT_TRUE(ReadPointsFile(bytes, options, file, error)) << error;
    return file;
}

std::string EditorText(const std::string& bytes, const PointsFileOptions& options = {}) {
    return std::string(Read(bytes, options).EditorText(bytes));
}

TEST(PointsFileReader, Dialects) {
    struct Case {
        const char* what;
        std::string bytes;
        PointsFileOptions options;
        char separator;
        int headerLines;
        std::vector<std::string> names;
        std::vector<std::string> units;
        std::vector<Row> rows;
    };
    const Case cases[] = {
        {"blanks, position then time",
         "1 2\n3 4.5\n",
         {},
         ' ',
         0,
         {},
         {},
         {{1, 1, 2}, {2, 3, 4.5}}},
        {"tab, header with units, CR LF, decimal comma, time first",
         "Time (s)\tPosition (deg)\r\n0\t0\r\n0,5\t10\r\n",
         {},
         '\t',
         1,
         {"Time", "Position"},
         {"s", "deg"},
         {{2, 0, 0}, {3, 10, 0.5}}},
        {"quoted CSV, three columns, time first",
         "\"time\",\"x\",\"y\"\n0.0,1.5,2\n0.1,1.6,3\n",
         {},
         ',',
         1,
         {"time", "x", "y"},
         {"", "", ""},
         {{2, 1.5, 0}, {3, 1.6, 0.1}}},
        {"semicolons and decimal commas",
         "t [ms];pos [mm]\n0;0\n1,5;2,25\n",
         {},
         ';',
         1,
         {"t", "pos"},
         {"ms", "mm"},
         {{2, 0, 0}, {3, 2.25, 1.5}}},
        {"CR alone ends a line", "1 2\r3 4\r", {}, ' ', 0, {}, {}, {{1, 1, 2}, {2, 3, 4}}},
        {"units between blanks, a comment before the header",
         "# logged 2026-12-01\nAngle in deg Time (s)\n\n5 1\n6 2\n",
         {},
         ' ',
         2,
         {"Angle", "Time"},
         {"deg", "s"},
         {{4, 5, 1}, {5, 6, 2}}},
        {"columns by name and by number",
         "a,b,c\n1,2,3\n4,5,6\n",
         {.columns = "c,1"},
         ',',
         1,
         {"a", "b", "c"},
         {"", "", ""},
         {{2, 1, 3}, {3, 4, 6}}},
        {"relative: the first row becomes (0, 0)",
         "time,angle\n10.5,90\n11,95\n12,80\n",
         {.relative = true},
         ',',
         1,
         {"time", "angle"},
         {"", ""},
         {{2, 0, 0}, {3, 5, 0.5}, {4, -10, 1.5}}},
        {"durations add up",
         "0.5;1\n0.25;2\n1;3\n",
         {.columns = "1,2", .durations = true},
         ';',
         0,
         {},
         {},
         {{1, 1, 0.5}, {2, 2, 0.75}, {3, 3, 1.75}}},
        {"a forced separator", "1,5;2\n", {.separator = ';'}, ';', 0, {}, {}, {{1, 1.5, 2}}},
        {"--decimal-comma: the comma is no separator",
         "1,5 2\n3 4,25\n",
         {.decimalComma = true},
         ' ',
         0,
         {},
         {},
         {{1, 1.5, 2}, {2, 3, 4.25}}},
    };
    for (const Case& c : cases) {
        const PointsFile file = Read(c.bytes, c.options);
        EXPECT_EQ(file.separator, c.separator) << c.what;
        EXPECT_EQ(file.headerLines, c.headerLines) << c.what;
        std::vector<std::string> names;
        std::vector<std::string> units;
        for (const PointsFileColumn& column : file.header) {
            names.push_back(column.name);
            units.push_back(column.unit);
        }
        EXPECT_EQ(names, c.names) << c.what;
        EXPECT_EQ(units, c.units) << c.what;
        EXPECT_EQ(Rows(file), c.rows) << c.what;
        EXPECT_EQ(file.skipped, 0) << c.what;
        // A line of the editor's text for each line of the file.
        const std::string_view text = file.EditorText(c.bytes);
        const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
        EXPECT_EQ(lines, c.rows.back().line) << c.what;
    }
}

TEST(PointsFileReader, PlainFilesReachTheEditorAsTheyAre) {
    const std::string plain = "0 0\n10 0.5\n20 1,0\n\n15 0.8\n30\t2 remark\n";
    EXPECT_EQ(EditorText(plain), plain);
    // The editor's own rule decides; a header line and a blank line become empty lines.
    EXPECT_EQ(EditorText("position time\n\r\n1 1\r\n"), "\n\n1 1\n");
    // Line ends other than a line feed, and a last line without one, become line feeds.
    EXPECT_EQ(EditorText("1 1\n2 2\r\n3 3\r4 4"), "1 1\n2 2\n3 3\n4 4\n");
    EXPECT_EQ(EditorText("1 1\n \n2 2\n"), "1 1\n\n2 2\n");
    EXPECT_EQ(EditorText(""), "");
    // Anything else is written out in the numbers read, shortest first.
    EXPECT_EQ(EditorText("t;x\n0,1;-2,5\n"), "\n-2.5 0.1\n");
}

TEST(PointsFileReader, LinesWithoutARowSaySo) {
    const PointsFile blanks = Read("1 2\n5,000000,2,115000\n", {.separator = ' '});
    ASSERT_EQ(blanks.skips.size(), 1u);
    EXPECT_EQ(blanks.skips[0].line, 2);
    EXPECT_EQ(blanks.skips[0].reason,
              "two numbers run together (separator blanks; see --separator)");
    EXPECT_EQ(EditorText("1 2\n5,000000,2,115000\n", {.separator = ' '}), "1 2\n\n");

    const PointsFile cells = Read("t;x\n1;2\n2;\n3;4,5,6\n4;x\n5;6\n");
    EXPECT_EQ(cells.skipped, 3);
    ASSERT_EQ(cells.skips.size(), 3u);
    EXPECT_EQ(cells.skips[0].reason, "no number in column 2");
    EXPECT_EQ(cells.skips[1].reason,
              "\"4,5,6\" in column 2 is two numbers run together (separator \";\"; see "
              "--separator)");
    EXPECT_EQ(cells.skips[2].reason, "\"x\" in column 2 is not a number");
    EXPECT_EQ(Rows(cells), (std::vector<Row>{{2, 2, 1}, {6, 6, 5}}));
}

TEST(PointsFileReader, ColumnsThatTheFileLacksAreRefused) {
    const std::pair<PointsFileOptions, std::string> cases[] = {
        {{.columns = "time,z"}, "--columns: no column is named \"z\"; the header names time, x"},
        {{.columns = "1,3"}, "--columns: there is no column 3; the file has 2 columns"},
        {{.columns = "1"}, "--columns takes TIME,POSITION, not \"1\""},
    };
    for (const auto& [options, message] : cases) {
        PointsFile file;
        std::string error;
        EXPECT_FALSE(ReadPointsFile("time,x\n1,2\n", options, file, error));
        EXPECT_EQ(error, message);
    }
}

TEST(PointsFileReader, FileLinesAreQuotedAsTheyStand) {
    const std::string bytes = "a\r\nb,1\rc;2\nd";
    EXPECT_EQ(FileLines(bytes, {1, 3, 4}), (std::vector<std::string>{"a", "c;2", "d"}));
    EXPECT_EQ(FileLines(bytes, {2, 9}), (std::vector<std::string>{"b,1"}));
}

PointsFile Refused(const std::string& bytes, const PointsFileOptions& options, std::string& error) {
    PointsFile file;
    EXPECT_FALSE(ReadPointsFile(bytes, options, file, error)) << bytes;
    return file;
}

// The editor's rule decides what a line of a blank-separated file is: two numbers at its start
// make a row, whatever follows them.
TEST(PointsFileReader, TwoNumbersFirstAreARowWhateverFollows) {
    const std::pair<std::string, std::vector<Row>> cases[] = {
        {"10 0.5 start\n20 1.0\n30 2", {{1, 10, 0.5}, {2, 20, 1}, {3, 30, 2}}},
        {"-139 1138.42 mm\n-120 1200\n", {{1, -139, 1138.42}, {2, -120, 1200}}},
        {"3573,67 995,085 # comment\n3600 996\n", {{1, 3573.67, 995.085}, {2, 3600, 996}}},
        {"inf 122.61 note\n5 130\n", {{1, INFINITY, 122.61}, {2, 5, 130}}},
        // A header of words before them stays a header, listed as such.
        {"position time\n10 0.5 start\n", {{2, 10, 0.5}}},
    };
    for (const auto& [bytes, rows] : cases) {
        const PointsFile file = Read(bytes);
        EXPECT_EQ(Rows(file), rows) << bytes;
        EXPECT_EQ(file.separator, ' ') << bytes;
        EXPECT_EQ(file.headerLines, rows[0].line - 1) << bytes;
        EXPECT_EQ(file.headerLineNumbers.size(), static_cast<size_t>(rows[0].line - 1));
        EXPECT_EQ(file.skipped, 0) << bytes;
    }
    // The first line reaches the editor as it stands.
    EXPECT_EQ(EditorText("10 0.5 start\n20 1.0\n"), "10 0.5 start\n20 1.0\n");
}

TEST(PointsFileReader, TheSeparatorIsTheOneMostLinesFit) {
    std::string bytes;
    for (int i = 1; i <= 15; ++i)
        bytes += i == 4 || i == 9 ? "1;2\n" : std::to_string(i) + " " + std::to_string(i) + ".5\n";
    PointsFile file = Read(bytes);
    EXPECT_EQ(file.separator, ' ');
    EXPECT_EQ(file.rows.size(), 13u);
    EXPECT_EQ(file.fittingLines, 13);
    EXPECT_EQ(file.numberLines, 15);
    ASSERT_EQ(file.skips.size(), 2u);
    EXPECT_EQ(file.skips[0].line, 4);
    EXPECT_EQ(file.skips[1].line, 9);

    file = Read("1;2\n2 3\n3 4\n");
    EXPECT_EQ(file.separator, ' ');
    EXPECT_EQ(Rows(file), (std::vector<Row>{{2, 2, 3}, {3, 3, 4}}));
    // A tie goes to the editor's white space.
    EXPECT_EQ(Read("1;2\n2 3\n").separator, ' ');
    // A comma file with decimal points: commas split, the white space rule reads nothing.
    EXPECT_EQ(Read("0.0,1.5\n").separator, ',');
}

TEST(PointsFileReader, ColumnsByWhatTheHeaderNamesThem) {
    struct Case {
        std::string bytes;
        int time;
        int position;
        bool durations;
        std::vector<std::string> units;
    };
    const Case cases[] = {
        {"# time (s)  angle (deg)\n0 0\n0.5 10\n", 0, 1, false, {"s", "deg"}},
        {"time position\n0 0 # start\n1 5 # moving on\n", 0, 1, false, {"", ""}},
        {"timestamp,pos\n0,1\n1,2\n", 0, 1, false, {"", ""}},
        {"time_s;angle_deg\n0;1\n1;2\n", 0, 1, false, {"s", "deg"}},
        {"x;y;t\n5;6;0\n7;8;1\n", 2, 0, false, {"", "", ""}},
        {"Time,Velocity,Distance\n0,0,0\n1,2,1\n", 0, 2, false, {"", "", ""}},
        {"__time,/joint/roll/position\n1.7e9,0.1\n1.7e9,0.2\n", 0, 1, false, {"", ""}},
        // pandas writes its row index first, without a name.
        {",time,angle\n0,0.1,5\n1,0.2,6\n2,0.3,7\n", 1, 2, false, {"", "", ""}},
        {"dt;position\n0,5;1\n0,5;2\n", 0, 1, true, {"", ""}},
        {"Time (s);Angle (deg);Current (A)\n0;1;0,1\n1;2;0,2\n", 0, 1, false, {"s", "deg", "A"}},
    };
    for (const Case& c : cases) {
        const PointsFile file = Read(c.bytes);
        EXPECT_EQ(file.timeColumn, c.time) << c.bytes;
        EXPECT_EQ(file.positionColumn, c.position) << c.bytes;
        EXPECT_EQ(file.durations, c.durations) << c.bytes;
        std::vector<std::string> units;
        for (const PointsFileColumn& column : file.header) units.push_back(column.unit);
        EXPECT_EQ(units, c.units) << c.bytes;
        EXPECT_EQ(file.rows.size(), 2u + (c.bytes[0] == ',')) << c.bytes;
    }
    EXPECT_EQ(Rows(Read("dt;position\n0,5;1\n0,5;2\n")),
              (std::vector<Row>{{2, 1, 0.5}, {3, 2, 1}}));
}

TEST(PointsFileReader, ColumnsThatTheFileDoesNotNameAreAskedFor) {
    const std::pair<std::string, std::string> cases[] = {
        {"dt,x,y,position,velocity\n0.1,1,2,3,4\n0.1,2,3,4,5\n",
         "2 columns may be the position; name them with --columns TIME,POSITION:\n"
         "  column 1 \"dt\": 0.1 0.1\n  column 2 \"x\": 1 2\n  column 3 \"y\": 2 3\n"
         "  column 4 \"position\": 3 4\n  column 5 \"velocity\": 4 5\n"
         "  --columns 1,2 --durations\n  --columns 1,4 --durations"},
        {"1 0 7\n2 1 8\n3 2 9\n",
         "3 columns of numbers and no header that names them; name them with --columns "
         "TIME,POSITION:\n  column 1: 1 2 3\n  column 2: 0 1 2\n  column 3: 7 8 9\n"
         "  --columns 2,1\n  --columns 2,3\n  --columns 1,2\n  --columns 1,3\n"
         "  --columns 3,1\n  --columns 3,2"},
        // The index of a pandas export is shown, never offered as the position.
        {",a,b\n0,5,1\n1,6,2\n2,7,3\n",
         "no column is named as a time, and no column is named as a position; name them with "
         "--columns TIME,POSITION:\n  column 1 \"\": 0 1 2 (a row index)\n  column 2 \"a\": 5 6 7\n"
         "  column 3 \"b\": 1 2 3\n  --columns 2,3\n  --columns 3,2"},
        {"__time,/j/roll/position,/j/pitch/position\n0,1,2\n1,2,3\n",
         "2 columns may be the position; name them with --columns TIME,POSITION:\n"
         "  column 1 \"__time\": 0 1\n  column 2 \"/j/roll/position\": 1 2\n"
         "  column 3 \"/j/pitch/position\": 2 3\n  --columns 1,2\n  --columns 1,3"},
    };
    for (const auto& [bytes, message] : cases) {
        std::string error;
        const PointsFile file = Refused(bytes, {}, error);
        EXPECT_TRUE(file.unsure) << bytes;
        EXPECT_EQ(error, message) << bytes;
    }
    // Each line offered reads the file.
    EXPECT_EQ(Rows(Read("1 0 7\n2 1 8\n3 2 9\n", {.columns = "2,3"})),
              (std::vector<Row>{{1, 7, 0}, {2, 8, 1}, {3, 9, 2}}));
}

// Rows that give a motion the file does not mean: refused, with the option that reads them right.
TEST(PointsFileReader, HintsNameTheOptionThatReadsTheFileRight) {
    const std::pair<std::string, std::string> cases[] = {
        {"0.5 30\n1 20\n1.5 10\n",
         "the columns look swapped: the times of column 2 are all falling; --columns 1,2 takes "
         "the time from column 1"},
        {"5 -1\n6 -2\n7 -2.5\n",
         "the columns look swapped: the times of column 2 are all negative; --columns 1,2 "
         "takes the time from column 1"},
        {"0 5\n0.1 7\n0.2 4\n0.3 6\n0.4 3\n0.5 2\n",
         "the columns look swapped: column 1 rises at every line while the times of column 2 "
         "do not (4 of 6 rows would be dropped); --columns 1,2 takes the time from column 1, "
         "--columns 2,1 keeps this reading"},
        // Near-constant values after a rising column: durations, or a position after a time.
        {"0 5\n0.1 5.2\n0.2 5.1\n0.3 5.05\n0.4 5.1\n",
         "the times of column 2 stay between 5 and 5.2: these look like durations; --durations "
         "adds them up; or the columns are swapped: --columns 1,2 takes the time from column "
         "1"},
        {"10 0.01\n20 0.01\n30 0.01\n25 0.0099\n",
         "the times of column 2 stay between 0.0099 and 0.01: these look like durations; "
         "--durations adds them up"},
        {"t;x\n0;0\n1;1\n2;2\n3;3\n0;0\n1;2\n2;4\n",
         "the time starts again 1 time: the file holds 2 runs (lines 2-5, 6-8); --run K takes "
         "the K-th"},
        {"60000 0\n62000 1\n64000 2\n464 3\n2464 4\n4464 5\n",
         "the position jumps by nearly 65536 at line 4: an encoder count that wraps? --unwrap "
         "65536 unwraps it"},
    };
    for (const auto& [bytes, message] : cases) {
        std::string error;
        const PointsFile file = Refused(bytes, {}, error);
        EXPECT_TRUE(file.unsure) << bytes;
        EXPECT_EQ(error, message) << bytes;
    }
    // A table that moves once by about a power of two and holds is no wrapping count.
    EXPECT_EQ(Rows(Read("0 0\n1000 1\n1000 2\n1000 3\n")),
              (std::vector<Row>{{1, 0, 0}, {2, 1000, 1}, {3, 1000, 2}, {4, 1000, 3}}));
    // --relative does not make swapped columns a motion.
    std::string relative;
    EXPECT_TRUE(Refused("0.5 30\n1 20\n1.5 10\n", {.relative = true}, relative).unsure);
    EXPECT_NE(relative.find("--columns 1,2"), std::string::npos) << relative;
    // The options named read them.
    EXPECT_EQ(Rows(Read("0.5 30\n1 20\n1.5 10\n", {.columns = "1,2"})),
              (std::vector<Row>{{1, 30, 0.5}, {2, 20, 1}, {3, 10, 1.5}}));
    EXPECT_EQ(Read("0 5\n0.1 7\n0.2 4\n0.3 6\n", {.columns = "2,1"}).rows.size(), 4u);
    EXPECT_EQ(Rows(Read("10 0.25\n20 0.25\n30 0.5\n", {.durations = true})),
              (std::vector<Row>{{1, 10, 0.25}, {2, 20, 0.5}, {3, 30, 1}}));
    const PointsFile second = Read("t;x\n0;0\n1;1\n2;2\n3;3\n0;0\n1;2\n2;4\n", {.run = 2});
    EXPECT_EQ(Rows(second), (std::vector<Row>{{6, 0, 0}, {7, 2, 1}, {8, 4, 2}}));
    EXPECT_EQ(second.outsideRun, 4);
    EXPECT_EQ(std::string(second.EditorText("t;x\n0;0\n1;1\n2;2\n3;3\n0;0\n1;2\n2;4\n")),
              "\n\n\n\n\n0 0\n2 1\n4 2\n");
    const PointsFile unwrapped =
        Read("60000 0\n62000 1\n64000 2\n464 3\n2464 4\n4464 5\n", {.unwrap = 65536});
    EXPECT_EQ(Rows(unwrapped), (std::vector<Row>{{1, 60000, 0},
                                                 {2, 62000, 1},
                                                 {3, 64000, 2},
                                                 {4, 66000, 3},
                                                 {5, 68000, 4},
                                                 {6, 70000, 5}}));
    EXPECT_EQ(unwrapped.unwrapped, 65536);
    // A run beyond the file's is an option that does not fit it.
    std::string error;
    EXPECT_FALSE(Refused("0 0\n1 1\n", {.run = 2}, error).unsure);
    EXPECT_EQ(error, "--run 2: the file holds 1 run");
}

TEST(PointsFileReader, BracketsAroundARowAreNoColumn) {
    const std::string bytes = "[\n[0.5, 10],\n[1.5, 20]\n]\n";
    const PointsFile file = Read(bytes);
    EXPECT_EQ(Rows(file), (std::vector<Row>{{2, 0.5, 10}, {3, 1.5, 20}}));
    EXPECT_EQ(file.header.size(), 0u);
    EXPECT_EQ(std::string(file.EditorText(bytes)), "\n0.5 10\n1.5 20\n\n");
}

TEST(PointsFileReader, CommasThatAreDecimalPointsOrTextInLaterRows) {
    // Each line one number with a decimal comma: nothing to split, no row.
    PointsFile file = Read("2,5\n3,5\n", {.decimalComma = true});
    EXPECT_NE(file.separator, ',');
    EXPECT_TRUE(file.rows.empty());
    EXPECT_EQ(Rows(Read("1 2,5\n2 3,5\n", {.decimalComma = true})),
              (std::vector<Row>{{1, 1, 2.5}, {2, 2, 3.5}}));
    // Without it the same lines are two columns.
    EXPECT_EQ(Read("2,5\n3,6\n").separator, ',');

    // Later rows of words in as many cells are skipped; the header stays the first line's.
    file = Read("time,position\n0,0\n1,1\npaused,paused\n2,2\nend,end\n");
    EXPECT_EQ(file.header.size(), 2u);
    EXPECT_EQ(file.header[0].name, "time");
    EXPECT_EQ(Rows(file), (std::vector<Row>{{2, 0, 0}, {3, 1, 1}, {5, 2, 2}}));
    ASSERT_EQ(file.skips.size(), 2u);
    EXPECT_EQ(file.skips[0].reason, "\"paused\" in column 2 is not a number");
}

// Python's csv module reads the same files on its own: the rows must agree value for value.
TEST(PointsFileReader, AgreesWithPythonsCsvModule) {
    std::mt19937 random(17);
    const char separators[] = {'\t', ';', ',', ' '};
    const char* ends[] = {"\n", "\r\n", "\r"};
    for (int round = 0; round < 24; ++round) {
        const char separator = separators[round % 4];
        const std::string end = ends[random() % 3];
        const bool header = random() % 2 == 0;
        const bool timeFirst = header && random() % 2 == 0;
        const bool decimalComma = separator != ',' && random() % 2 == 0;
        std::string bytes = header ? (timeFirst ? "Time (s)" : "Position (rot)") +
                                         std::string(1, separator) +
                                         (timeFirst ? "Position (rot)" : "Time (s)") +
                                         std::string(1, separator) + "extra" + end
                                   : "";
        double time = 0;
        for (int line = 0; line < 30; ++line) {
            time += static_cast<double>(random() % 10000) / 1000.0;
            const double position =
                static_cast<double>(static_cast<int>(random() % 200000)) / 1000.0 - 100;
            char first[32];
            char second[32];
            std::snprintf(first, sizeof first, "%.3f", timeFirst ? time : position);
            std::snprintf(second, sizeof second, "%.4g", timeFirst ? position : time);
            std::string cells = std::string(first) + separator + second + separator + "7";
            if (decimalComma) std::replace(cells.begin(), cells.end(), '.', ',');
            bytes += cells + end;
        }
        // Three columns of numbers without names: the reading is named.
        const PointsFile file = Read(bytes, {.columns = header ? "" : "2,1"});
        ASSERT_EQ(file.separator, separator) << bytes;

        // Python: the csv module splits, float() reads; the header is the first line.
        const char* script = R"(
import csv, io, sys
data = sys.stdin.buffer.read().decode()
sep, header, timeFirst = sys.argv[1], sys.argv[2] == '1', sys.argv[3] == '1'
if sep == ' ':
    lines = [l.split() for l in data.replace('\r\n', '\n').replace('\r', '\n').split('\n') if l]
else:
    lines = list(csv.reader(io.StringIO(data, newline=''), delimiter=sep))
for number, cells in enumerate(lines, 1):
    if header and number == 1:
        continue
    a, b = (float(c.replace(',', '.')) for c in cells[:2])
    position, time = (b, a) if timeFirst else (a, b)
    print(number, repr(position), repr(time))
)";
        const ChildResult python = RunChild(
            "/usr/bin/python3",
            {"-c", script, std::string(1, separator), header ? "1" : "0", timeFirst ? "1" : "0"},
            bytes);
        ASSERT_EQ(python.exitStatus, 0) << python.err;
        std::istringstream lines(python.out);
        std::vector<Row> expected;
        for (Row row{}; lines >> row.line >> row.position >> row.time;) expected.push_back(row);
        ASSERT_EQ(expected.size(), 30u) << python.out;
        EXPECT_EQ(Rows(file), expected) << bytes;
    }
}

}  // namespace
