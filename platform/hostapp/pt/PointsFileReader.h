// A points file as people have them (a spreadsheet's CSV, a logger's tab-separated columns, a
// header naming them with units, a clock that does not start at zero), turned into the text that
// the PT editor's import reads: one line for each line of the file, position then time, with
// the numbers the user meant. The editor stays the judge of what a point is.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct PointsFileOptions {
    char separator = 0;         // '\t', ';', ',' or ' ' (blanks); 0: detected from the data
    bool decimalComma = false;  // a comma is a decimal point, never the separator
    std::string columns{};      // "TIME,POSITION", each a number from 1 or a header name
    bool relative = false;      // the first row becomes time 0 and position 0
    bool durations = false;     // the time column holds each row's duration
    int run = 0;                // from 1: only the rows of that run; 0: all
    double unwrap = 0;          // the count at which an encoder's position wraps; 0: none
};

// A row that gives two numbers, as the editor will read them (in the file's units).
struct PointsRow {
    int line = 0;  // the file's line, from 1
    double position = 0;
    double time = 0;
};

// A line with numbers that the reader cannot make a row of.
struct PointsFileSkip {
    int line = 0;
    std::string reason;
};

struct PointsFileColumn {
    std::string name;  // as the header writes it, without its unit
    std::string unit;  // "(ms)", "[deg]", "in s" or "_s" in the header; empty when none
};

// A stretch of rows whose time rises, lines from `first` to `last`.
struct PointsFileRun {
    int first = 0;
    int last = 0;
};

struct PointsFile {
    // The text for the editor: a line for each line of the file, "" for what is no point. While
    // it is the file's own bytes, as a plain file's is, only their length is kept, not a copy.
    std::string editorText;
    size_t editorTextOfInput = 0;
    std::string_view EditorText(std::string_view bytes) const {
        return editorText.empty() ? bytes.substr(0, editorTextOfInput) : editorText;
    }
    std::vector<PointsRow> rows;
    std::vector<PointsFileSkip> skips;  // the first few, in file order
    int skipped = 0;
    int headerLines = 0;
    std::vector<int> headerLineNumbers;  // the first few
    char separator = ' ';
    int fittingLines = 0;  // of the first lines that hold numbers, those the separator splits
    int numberLines = 0;
    bool decimalComma = false;             // commas in numbers read as decimal points
    std::vector<PointsFileColumn> header;  // empty when no header line names the columns
    int timeColumn = 1;                    // from 0
    int positionColumn = 0;
    bool hasFirstRow = false;
    PointsRow firstRow;     // the first row of finite numbers, before --relative
    bool relative = false;  // the rows are shifted by the first
    bool unnamed = false;   // no header names the columns: position, then time, as the editor reads
    bool durations = false;            // the time column was read as durations
    bool durationsFromHeader = false;  // because the header names it so
    std::vector<PointsFileRun> runs;   // with --run: every run of the file
    int run = 0;                       // with --run: the run taken
    int outsideRun = 0;                // rows of the other runs
    double unwrapped = 0;              // with --unwrap: the largest correction made
    // False: the options do not fit the file (exit status 2). True: the file does not say for
    // sure what it means, and the message names the options that settle it (exit status 1).
    bool unsure = false;
};

inline constexpr size_t kMaxPointsFileSkips = 20;

// False with a message for options that do not fit the file (a column it lacks), or for a file
// whose meaning is not certain (`unsure`): which columns to take, swapped columns, durations
// read as times, several runs, an encoder count that wraps. The message's further lines begin
// with two blanks.
bool ReadPointsFile(std::string_view bytes, const PointsFileOptions& options, PointsFile& file,
                    std::string& error);

// The file's lines `numbers` (rising, from 1) as they stand, with their line ends cut off.
std::vector<std::string> FileLines(std::string_view bytes, const std::vector<int>& numbers);

// How the report names a separator: "tab", "\";\"", "\",\"" or "blanks".
std::string SeparatorName(char separator);
