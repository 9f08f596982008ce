// The points file reader in front of the editor's import: the dialects people's files come in,
// each read into the rows the user meant, checked against Python's csv module where it can
// read the file too; and the text it hands the editor.
#include <gtest/gtest.h>

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
        const PointsFile file = Read(bytes);
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
