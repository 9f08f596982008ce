#include "pt/PointsFileReader.h"

#include <CLocaleNumber.h>
#include <DecimalText.h>
#include <strings.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// Lines looked at to find the separator, the header and what the columns hold.
constexpr int kDetectionLines = 64;
// Values of each column shown when the choice of columns is left to the user.
constexpr int kShownValues = 3;
constexpr size_t kMaxReadings = 8;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Called for every line: the test is inlined rather than called through a pointer a character.
bool IsBlank(std::string_view line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return IsSpace(c); });
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    return text;
}

// The next line of `rest`, which loses it and its end: LF, CR LF or CR alone.
std::string_view NextLine(std::string_view& rest) {
    const char* start = rest.data();
    const char* lf = static_cast<const char*>(std::memchr(start, '\n', rest.size()));
    const size_t upTo = lf ? static_cast<size_t>(lf - start) : rest.size();
    const char* cr = static_cast<const char*>(std::memchr(start, '\r', upTo));
    if (cr && !(lf && cr + 1 == lf)) {
        const size_t length = static_cast<size_t>(cr - start);
        rest.remove_prefix(length + 1);
        return {start, length};
    }
    rest.remove_prefix(lf ? upTo + 1 : upTo);
    return {start, cr ? upTo - 1 : upTo};
}

// memchr finds a line feed several bytes at a time; a count byte by byte cost as much as reading
// the numbers.
size_t LineFeeds(std::string_view text) {
    size_t count = 0;
    if (text.empty()) return 0;
    const char* at = text.data();
    const char* const end = at + text.size();
    while ((at = static_cast<const char*>(std::memchr(at, '\n', static_cast<size_t>(end - at))))) {
        ++count;
        ++at;
    }
    return count;
}

// A number as the editor reads it, on a NUL-terminated copy; the count of characters read.
size_t ReadNumber(const std::string& text, size_t from, double& value) {
    const char* start = text.c_str() + from;
    return static_cast<size_t>(ReadCLocaleNumber(start, value) - start);
}

// The editor's "%lf %lf" on a line whose commas it changed into points. `joined`: the second
// number began right where the first ended, as "5.0.2.1" of "5,0,2,1" does.
int ScanLikeEditor(std::string_view line, double values[2], bool& joined) {
    std::string copy(line);
    std::replace(copy.begin(), copy.end(), ',', '.');
    size_t cursor = 0;
    joined = false;
    for (int read = 0; read < 2; ++read) {
        const size_t start = cursor;
        while (cursor < copy.size() && IsSpace(copy[cursor])) ++cursor;
        const size_t length = ReadNumber(copy, cursor, values[read]);
        if (length == 0) return read;
        joined = read == 1 && cursor == start;
        cursor += length;
    }
    return 2;
}

// ScanLikeEditor where the line lies, for the plain decimals that files hold: from_chars reads
// them as strtod does at a fraction of the cost. -1 when the line needs the full scan: a comma,
// a sign '+', hex, inf/nan, or a number out of range.
int ScanPlainLikeEditor(std::string_view line, double values[2], bool& joined) {
    const char* cursor = line.data();
    const char* const end = line.data() + line.size();
    joined = false;
    int read = 0;
    for (; read < 2; ++read) {
        const char* const start = cursor;
        while (cursor != end && IsSpace(*cursor)) ++cursor;
        if (cursor == end) break;
        const char* digits = *cursor == '-' ? cursor + 1 : cursor;
        if (digits == end) break;
        if (*digits == '0' && digits + 1 != end && (digits[1] == 'x' || digits[1] == 'X')) {
            return -1;
        }
        if (!IsDigit(*digits) && *digits != '.') {
            // What strtod might still read as a number goes the full way; anything else is none.
            const bool maybeNumber = *cursor == '+' || *cursor == '-' || *cursor == ',' ||
                                     *digits == 'i' || *digits == 'I' || *digits == 'n' ||
                                     *digits == 'N';
            if (maybeNumber) return -1;
            break;
        }
        const auto result = ReadDecimalText(cursor, end, values[read]);
        if (result.ec != std::errc{} || (result.ptr != end && *result.ptr == ',')) return -1;
        joined = read == 1 && cursor == start;
        cursor = result.ptr;
    }
    return read;
}

// A row written as a list, "[1.5, 2]," or "[[1.5 2]]": the brackets are no column. A header's
// "pos [mm]" keeps its unit: a bracket closes a row only right after a number.
std::string_view WithoutBrackets(std::string_view line) {
    // Most lines neither open nor close a list, and nothing about them is trimmed.
    if (!line.empty() && line.front() != '[' && !IsSpace(line.front()) && line.back() != ']' &&
        line.back() != ',' && !IsSpace(line.back())) {
        return line;
    }
    std::string_view inner = Trimmed(line);
    const bool opens = inner.starts_with('[');
    while (inner.starts_with('[')) inner = Trimmed(inner.substr(1));
    std::string_view body = inner;
    while (!body.empty() && (body.back() == ',' || IsSpace(body.back()))) body.remove_suffix(1);
    const bool closes = body.ends_with(']');
    while (body.ends_with(']')) body = Trimmed(body.substr(0, body.size() - 1));
    const bool afterNumber = !body.empty() && (IsDigit(body.back()) || body.back() == '.');
    if (closes && (opens || afterNumber)) return body;
    return opens ? inner : line;
}

enum class Cell { Number, Empty, NotANumber, RunTogether };

// A cell is a number when all of it is one, as strtod reads it.
Cell ReadCell(std::string_view cell, bool decimalComma, double& value) {
    if (cell.empty()) return Cell::Empty;
    const auto fast = ReadDecimalText(cell.data(), cell.data() + cell.size(), value);
    if (fast.ec == std::errc{} && fast.ptr == cell.data() + cell.size()) return Cell::Number;
    std::string copy(cell);
    if (decimalComma) std::replace(copy.begin(), copy.end(), ',', '.');
    const size_t length = ReadNumber(copy, 0, value);
    if (length == copy.size()) return Cell::Number;
    double next = 0;
    if (length > 0 && ReadNumber(copy, length, next) > 0) return Cell::RunTogether;
    return Cell::NotANumber;
}

// A cell without the blanks around it and without the quotes that CSV writers put there.
std::string_view CellText(std::string_view cell) {
    cell = Trimmed(cell);
    if (cell.size() >= 2 && cell.front() == '"' && cell.back() == '"') {
        cell = Trimmed(cell.substr(1, cell.size() - 2));
    }
    return cell;
}

void SplitCells(std::string_view line, char separator, std::vector<std::string_view>& cells) {
    cells.clear();
    if (separator == ' ') {
        for (size_t at = 0;;) {
            while (at < line.size() && IsSpace(line[at])) ++at;
            if (at == line.size()) return;
            size_t end = at;
            while (end < line.size() && !IsSpace(line[end])) ++end;
            cells.push_back(CellText(line.substr(at, end - at)));
            at = end;
        }
    }
    for (size_t at = 0;;) {
        const size_t end = line.find(separator, at);
        cells.push_back(CellText(line.substr(at, end == std::string_view::npos ? end : end - at)));
        if (end == std::string_view::npos) return;
        at = end + 1;
    }
}

// A line that holds numbers, as its separator splits it.
struct LineShape {
    int cells = 0;
    int numbers = 0;
};

// The editor's own rule for white space: two numbers at the start of the line, not run together.
bool EditorReadsTwo(std::string_view line) {
    double values[2];
    bool joined = false;
    int read = ScanPlainLikeEditor(line, values, joined);
    if (read < 0) read = ScanLikeEditor(line, values, joined);
    return read == 2 && !joined;
}

LineShape ShapeOf(std::string_view line, char separator, bool decimalComma,
                  std::vector<std::string_view>& cells) {
    SplitCells(line, separator, cells);
    LineShape shape{static_cast<int>(cells.size()), 0};
    for (std::string_view cell : cells) {
        double value = 0;
        if (ReadCell(cell, decimalComma, value) == Cell::Number) ++shape.numbers;
    }
    return shape;
}

// A line that the separator splits into two numbers at least; with blanks, the editor's rule.
bool Fits(std::string_view line, char separator, bool decimalComma,
          std::vector<std::string_view>& cells) {
    if (separator == ' ') return EditorReadsTwo(line);
    if (line.find(separator) == std::string_view::npos) return false;
    return ShapeOf(line, separator, decimalComma, cells).numbers >= 2;
}

struct Dialect {
    char separator = ' ';
    int firstData = -1;  // index among the lines looked at; -1: none
    int fitting = 0;
    int numberLines = 0;  // lines that some separator splits into two numbers
};

// The separator that splits the most of the first lines into two numbers at least; on a tie
// the editor's own, white space. Between blanks and tabs, tab when every such line has one.
Dialect DetectDialect(const std::vector<std::string_view>& lines,
                      const PointsFileOptions& options) {
    std::vector<std::string_view> cells;
    const char candidates[] = {' ', '\t', ';', ','};
    int fitting[4] = {0, 0, 0, 0};
    int numberLines = 0;
    for (std::string_view line : lines) {
        bool any = false;
        for (int i = 0; i < 4; ++i) {
            const char separator = candidates[i];
            if (options.decimalComma && separator == ',') continue;
            if (Fits(line, separator, separator != ',' || options.decimalComma, cells)) {
                ++fitting[i];
                any = true;
            }
        }
        if (any) ++numberLines;
    }
    int best = 0;
    if (options.separator != 0) {
        best = static_cast<int>(
            std::find(std::begin(candidates), std::end(candidates), options.separator) -
            std::begin(candidates));
    } else {
        for (int i = 1; i < 4; ++i) {
            if (fitting[i] > fitting[best]) best = i;
        }
        if (best == 0 && fitting[1] == fitting[0] && fitting[0] > 0) best = 1;
    }
    Dialect dialect{candidates[best], -1, fitting[best], numberLines};
    const bool decimalComma = dialect.separator != ',' || options.decimalComma;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        if (Fits(lines[i], dialect.separator == '\t' ? ' ' : dialect.separator, decimalComma,
                 cells)) {
            dialect.firstData = i;
            break;
        }
    }
    return dialect;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return lower;
}

bool OneOf(std::string_view text, std::initializer_list<std::string_view> words) {
    const std::string lower = Lower(text);
    return std::find(words.begin(), words.end(), lower) != words.end();
}

bool IsTimeUnit(std::string_view unit) {
    return OneOf(
        unit, {"s", "sec", "secs", "seconds", "ms", "msec", "us", "\xC2\xB5s", "ns", "min", "h"});
}

bool IsPositionUnit(std::string_view unit) {
    return OneOf(unit, {"mm",    "m",      "cm",       "um",  "\xC2\xB5m", "nm",   "in",
                        "inch",  "deg",    "\xC2\xB0", "rad", "rot",       "rev",  "revs",
                        "turns", "counts", "count",    "cnt", "inc",       "incr", "pulses"});
}

// "Time (ms)", "angle[deg]", "position in cm": the name and the unit.
PointsFileColumn HeaderColumn(std::string_view cell) {
    cell = CellText(cell);
    const char close = cell.empty() ? 0 : cell.back();
    const char open = close == ')' ? '(' : close == ']' ? '[' : 0;
    const size_t at = open ? cell.rfind(open) : std::string_view::npos;
    if (at != std::string_view::npos) {
        return {std::string(Trimmed(cell.substr(0, at))),
                std::string(Trimmed(cell.substr(at + 1, cell.size() - at - 2)))};
    }
    const size_t in = Lower(cell).rfind(" in ");
    if (in != std::string_view::npos) {
        return {std::string(Trimmed(cell.substr(0, in))),
                std::string(Trimmed(cell.substr(in + 4)))};
    }
    // "time_s", "angle_deg": a unit after the last underscore, when it is one.
    const size_t underscore = cell.rfind('_');
    if (underscore != std::string_view::npos && underscore > 0 && cell[underscore - 1] != '_') {
        const std::string_view unit = cell.substr(underscore + 1);
        if (IsTimeUnit(unit) || IsPositionUnit(unit)) {
            return {std::string(cell.substr(0, underscore)), std::string(unit)};
        }
    }
    return {std::string(cell), ""};
}

// The header's cells; between blanks, "Time (s)" and "Time in s" stay one column.
std::vector<PointsFileColumn> HeaderColumns(std::string_view line, char separator) {
    line = Trimmed(line);
    if (line.starts_with('#')) line.remove_prefix(1);
    std::vector<std::string_view> cells;
    SplitCells(line, separator, cells);
    std::vector<std::string> merged;
    for (size_t i = 0; i < cells.size(); ++i) {
        const std::string_view cell = cells[i];
        const bool unit = cell.starts_with('(') || cell.starts_with('[');
        if (separator == ' ' && !merged.empty() && unit) {
            merged.back() += " " + std::string(cell);
        } else if (separator == ' ' && !merged.empty() && Lower(cell) == "in" &&
                   i + 1 < cells.size()) {
            merged.back() += " in " + std::string(cells[++i]);
        } else {
            merged.emplace_back(cell);
        }
    }
    std::vector<PointsFileColumn> columns;
    for (const std::string& cell : merged) columns.push_back(HeaderColumn(cell));
    return columns;
}

enum class Meaning { Unknown, Time, Durations, Position, Index, Other };

// What a header cell says its column holds.
Meaning MeaningOf(const PointsFileColumn& column) {
    std::string name = Lower(CellText(column.name));
    // "/joint/roll/position" of a PlotJuggler export: the last part says it.
    if (const size_t slash = name.rfind('/'); slash != std::string::npos && slash + 1 < name.size())
        name = name.substr(slash + 1);
    if (OneOf(name, {"dt", "duration", "durations", "step", "delta_t", "delta t", "interval"}))
        return Meaning::Durations;
    if (OneOf(name, {"t", "time", "timestamp", "__time", "sec", "s", "zeit", "seconds"}) ||
        name.starts_with("time"))
        return Meaning::Time;
    if (OneOf(name,
              {"position", "positions", "pos", "distance", "displacement", "x", "angle", "q"}))
        return Meaning::Position;
    if (OneOf(name, {"", "index", "idx", "#", "unnamed: 0"})) return Meaning::Index;
    for (const char* other : {"vel", "speed", "acc", "jerk", "current", "torque", "force"}) {
        if (name.starts_with(other)) return Meaning::Other;
    }
    if (OneOf(name, {"v", "a", "i", "y", "z"})) return Meaning::Other;
    if (IsTimeUnit(column.unit)) return Meaning::Time;
    if (IsPositionUnit(column.unit)) return Meaning::Position;
    // Named, with another unit ("mm/s", "A") or none: neither a time nor a position.
    return column.unit.empty() ? Meaning::Unknown : Meaning::Other;
}

// What the first lines of numbers show of each column.
struct Layout {
    int cells = 0;                            // the most common count of cells
    std::vector<std::vector<double>> values;  // each column's numbers, in the lines looked at
    std::vector<int> numberCount;             // lines with a number in the column
    int lines = 0;
    bool IsNumeric(int column) const { return numberCount[column] * 2 > lines; }
    bool Rises(int column) const {
        const std::vector<double>& v = values[column];
        if (v.size() < 2) return false;
        for (size_t i = 1; i < v.size(); ++i) {
            if (!(v[i] > v[i - 1])) return false;
        }
        return true;
    }
    // 0, 1, 2, ... without a gap: a row index.
    bool Counts(int column) const {
        const std::vector<double>& v = values[column];
        if (v.size() < 3 || static_cast<int>(v.size()) != lines) return false;
        for (size_t i = 0; i < v.size(); ++i) {
            if (v[i] != static_cast<double>(i)) return false;
        }
        return true;
    }
};

Layout LayoutOf(const std::vector<std::string_view>& lines, int firstData, char separator,
                bool decimalComma) {
    Layout layout;
    std::vector<std::string_view> cells;
    std::vector<int> counts;
    std::vector<std::vector<double>> rows;
    for (int i = std::max(firstData, 0); i < static_cast<int>(lines.size()); ++i) {
        const char split = separator == '\t' ? '\t' : separator;
        if (!Fits(lines[i], separator == '\t' ? ' ' : separator, decimalComma, cells)) continue;
        SplitCells(lines[i], split, cells);
        counts.push_back(static_cast<int>(cells.size()));
        std::vector<double> row;
        for (std::string_view cell : cells) {
            double value = 0;
            row.push_back(ReadCell(cell, decimalComma, value) == Cell::Number ? value : NAN);
        }
        rows.push_back(std::move(row));
    }
    if (counts.empty()) return layout;
    std::vector<int> sorted = counts;
    std::sort(sorted.begin(), sorted.end());
    int best = sorted[0];
    int bestRun = 0;
    for (size_t i = 0; i < sorted.size();) {
        size_t j = i;
        while (j < sorted.size() && sorted[j] == sorted[i]) ++j;
        if (static_cast<int>(j - i) > bestRun) {
            bestRun = static_cast<int>(j - i);
            best = sorted[i];
        }
        i = j;
    }
    layout.cells = best;
    layout.lines = static_cast<int>(rows.size());
    layout.values.resize(static_cast<size_t>(best));
    layout.numberCount.assign(static_cast<size_t>(best), 0);
    for (const std::vector<double>& row : rows) {
        for (int c = 0; c < best && c < static_cast<int>(row.size()); ++c) {
            if (std::isnan(row[c])) continue;
            ++layout.numberCount[c];
            layout.values[c].push_back(row[c]);
        }
    }
    return layout;
}

// A column of --columns: a number from 1 or a header name.
bool FindColumn(std::string_view wanted, const PointsFile& file, int columns, int& index,
                std::string& error) {
    wanted = Trimmed(wanted);
    int number = 0;
    const auto [end, ec] = std::from_chars(wanted.data(), wanted.data() + wanted.size(), number);
    if (ec == std::errc{} && end == wanted.data() + wanted.size() && !wanted.empty()) {
        if (number < 1 || (columns > 0 && number > columns)) {
            error = "--columns: there is no column " + std::to_string(number) + "; the file has " +
                    std::to_string(columns) + " columns";
            return false;
        }
        index = number - 1;
        return true;
    }
    std::string known;
    for (size_t i = 0; i < file.header.size(); ++i) {
        if (strcasecmp(file.header[i].name.c_str(), std::string(wanted).c_str()) == 0) {
            index = static_cast<int>(i);
            return true;
        }
        known += (known.empty() ? "" : ", ") + file.header[i].name;
    }
    error = "--columns: no column is named \"" + std::string(wanted) + "\"; " +
            (known.empty() ? "the file has no header line that names its columns"
                           : "the header names " + known);
    return false;
}

std::string ShortNumber(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6g", value);
    return buffer;
}

// The columns with their names and first values, and a --columns line for each reading that
// may be meant: the user settles what the file does not say.
std::string AskForColumns(const std::string& why, const PointsFile& file, const Layout& layout,
                          const std::vector<int>& times, const std::vector<int>& positions,
                          const std::vector<Meaning>& meanings) {
    std::string text = why + "; name them with --columns TIME,POSITION:";
    for (int c = 0; c < layout.cells; ++c) {
        text += "\n  column " + std::to_string(c + 1);
        if (c < static_cast<int>(file.header.size())) {
            text += " \"" + file.header[c].name + "\"";
            if (!file.header[c].unit.empty()) text += " (" + file.header[c].unit + ")";
        }
        text += ":";
        const std::vector<double>& values = layout.values[c];
        if (values.empty()) text += " no numbers";
        for (size_t i = 0; i < values.size() && i < kShownValues; ++i) {
            text += " " + ShortNumber(values[i]);
        }
        if (values.size() > kShownValues) text += " ...";
        if (meanings[c] == Meaning::Index) text += " (a row index)";
    }
    std::vector<std::string> readings;
    for (int t : times) {
        for (int p : positions) {
            if (p == t || readings.size() == kMaxReadings) continue;
            readings.push_back("--columns " + std::to_string(t + 1) + "," + std::to_string(p + 1) +
                               (meanings[t] == Meaning::Durations ? " --durations" : ""));
        }
    }
    for (const std::string& reading : readings) text += "\n  " + reading;
    return text;
}

// The time's and the position's column by what the header says of them; a file with two unnamed
// columns is read as the editor reads it, position then time. False with the question to the
// user when it is not certain.
bool ChooseColumns(const PointsFileOptions& options, const Layout& layout, PointsFile& file,
                   std::string& error) {
    if (!options.columns.empty()) {
        const size_t comma = options.columns.find(',');
        if (comma == std::string::npos ||
            options.columns.find(',', comma + 1) != std::string::npos) {
            error = "--columns takes TIME,POSITION, not \"" + options.columns + "\"";
            return false;
        }
        const std::string_view both = options.columns;
        return FindColumn(both.substr(0, comma), file, layout.cells, file.timeColumn, error) &&
               FindColumn(both.substr(comma + 1), file, layout.cells, file.positionColumn, error);
    }
    if (layout.cells == 0) return true;
    std::vector<Meaning> meanings(static_cast<size_t>(layout.cells), Meaning::Unknown);
    bool named = false;
    for (int c = 0; c < layout.cells && c < static_cast<int>(file.header.size()); ++c) {
        meanings[c] = MeaningOf(file.header[c]);
        named |= meanings[c] != Meaning::Unknown && meanings[c] != Meaning::Index;
    }
    // A leading column that counts the rows is no position, named or not.
    const bool headerless = file.header.empty();
    if (layout.Counts(0) && (meanings[0] == Meaning::Index || headerless)) {
        meanings[0] = Meaning::Index;
    }
    std::vector<int> numeric;
    for (int c = 0; c < layout.cells; ++c) {
        if (layout.IsNumeric(c)) numeric.push_back(c);
    }
    if (!named) {
        if (numeric.size() <= 2) {
            // The editor's own reading, position then time; an index of two columns is a
            // position of a file like any other.
            if (numeric.size() == 2) {
                file.positionColumn = numeric[0];
                file.timeColumn = numeric[1];
            }
            file.unnamed = true;
            return true;
        }
        std::vector<int> times;
        std::vector<int> positions;
        for (int c : numeric) {
            if (meanings[c] == Meaning::Index) continue;
            if (layout.Rises(c)) times.push_back(c);
            positions.push_back(c);
        }
        // The editor's reading first, then every rising column as the time.
        std::vector<int> order = {numeric[1]};
        for (int t : times) {
            if (t != numeric[1]) order.push_back(t);
        }
        std::vector<int> positionOrder = {numeric[0]};
        for (int p : positions) {
            if (p != numeric[0]) positionOrder.push_back(p);
        }
        error = AskForColumns(
            std::to_string(numeric.size()) + " columns of numbers and no header that names them",
            file, layout, order, positionOrder, meanings);
        file.unsure = true;
        return false;
    }
    std::vector<int> times;
    std::vector<int> positions;
    std::vector<int> others;
    for (int c : numeric) {
        if (meanings[c] == Meaning::Time || meanings[c] == Meaning::Durations) {
            times.push_back(c);
        } else if (meanings[c] == Meaning::Position) {
            positions.push_back(c);
        } else if (meanings[c] == Meaning::Unknown) {
            others.push_back(c);
        }
    }
    if (positions.empty() && others.size() == 1 && times.size() == 1) positions = others;
    if (times.size() == 1 && positions.size() == 1) {
        file.timeColumn = times[0];
        file.positionColumn = positions[0];
        if (meanings[times[0]] == Meaning::Durations && !options.durations) {
            file.durationsFromHeader = true;
        }
        return true;
    }
    std::string why;
    if (times.empty()) {
        why = "no column is named as a time";
        for (int c : numeric) {
            if (layout.Rises(c) && meanings[c] != Meaning::Index) times.push_back(c);
        }
    } else if (times.size() > 1) {
        why = std::to_string(times.size()) + " columns may be the time";
    }
    if (positions.empty()) {
        why += (why.empty() ? "" : ", and ") + std::string("no column is named as a position");
    } else if (positions.size() > 1) {
        why += (why.empty() ? "" : ", and ") + std::to_string(positions.size()) +
               " columns may be the position";
    }
    if (positions.empty()) {
        for (int c : numeric) {
            if (meanings[c] != Meaning::Index) positions.push_back(c);
        }
    }
    error = AskForColumns(why, file, layout, times, positions, meanings);
    file.unsure = true;
    return false;
}

void AppendNumber(std::string& text, double value) {
    char buffer[32];
    text.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// The editor's text, a line at a time. While each line is the file's own, ended by a line feed
// as the file ends it, nothing is copied: the file's length so far is the text.
class EditorTextMaker {
public:
    EditorTextMaker(std::string_view input, PointsFile& file) : m_input(input), m_file(file) {}
    void Finish() { m_file.editorTextOfInput = m_copied ? 0 : m_verbatim; }

    // A line of numbers that the editor reads as they are: the file's line itself.
    void FileLine(std::string_view line) {
        if (!m_copied && line.data() == m_input.data() + m_verbatim && EndsInLineFeed(line)) {
            m_verbatim += line.size() + 1;
            return;
        }
        Text().append(line) += '\n';
    }
    // An empty line, for what is no point.
    void EmptyLine() {
        if (!m_copied && EndsInLineFeed({})) {
            ++m_verbatim;
            return;
        }
        Text() += '\n';
    }
    // The numbers of a row, written out.
    void Numbers(double position, double time) {
        std::string& text = Text();
        AppendNumber(text, position);
        text += ' ';
        AppendNumber(text, time);
        text += '\n';
    }

private:
    bool EndsInLineFeed(std::string_view line) const {
        const size_t end = m_verbatim + line.size();
        return end < m_input.size() && m_input[end] == '\n';
    }
    std::string& Text() {
        if (!m_copied) {
            m_copied = true;
            m_file.editorText.reserve(m_input.size() + m_input.size() / 8 + 16);
            m_file.editorText.assign(m_input.substr(0, m_verbatim));
        }
        return m_file.editorText;
    }

    std::string_view m_input;
    PointsFile& m_file;
    size_t m_verbatim = 0;
    bool m_copied = false;
};

class RowMaker {
public:
    RowMaker(const PointsFileOptions& options, PointsFile& file, EditorTextMaker& text)
        : m_options(options), m_file(file), m_text(text) {}

    void Skip(int line, std::string reason) {
        ++m_file.skipped;
        if (m_file.skips.size() < kMaxPointsFileSkips)
            m_file.skips.push_back({line, std::move(reason)});
        m_text.EmptyLine();
    }

    // The row as the editor will read it, after --unwrap, --durations, --run and --relative.
    // `verbatim`: the line itself, for the editor reads the row's numbers from it.
    void Add(int line, double position, double time, std::string_view verbatim) {
        if (m_options.unwrap > 0 && std::isfinite(position)) {
            if (m_hasRaw) {
                const double step = position - m_raw;
                if (step > m_options.unwrap / 2) m_offset -= m_options.unwrap;
                if (step < -m_options.unwrap / 2) m_offset += m_options.unwrap;
            }
            m_hasRaw = true;
            m_raw = position;
            if (m_offset != 0) {
                position += m_offset;
                m_file.unwrapped = std::max(m_file.unwrapped, std::abs(m_offset));
                verbatim = {};
            }
        }
        if (m_file.durations) {
            m_elapsed += time;
            time = m_elapsed;
        }
        if (!m_file.hasFirstRow && std::isfinite(position) && std::isfinite(time)) {
            m_file.hasFirstRow = true;
            m_file.firstRow = {line, position, time};
        }
        // With --run the rows are shifted once the run is known.
        if (m_options.relative && m_file.hasFirstRow && m_options.run == 0) {
            position -= m_file.firstRow.position;
            time -= m_file.firstRow.time;
        }
        m_file.rows.push_back({line, position, time});
        if (!verbatim.empty()) {
            m_text.FileLine(verbatim);
        } else {
            m_text.Numbers(position, time);
        }
    }

private:
    const PointsFileOptions& m_options;
    PointsFile& m_file;
    EditorTextMaker& m_text;
    double m_elapsed = 0;
    bool m_hasRaw = false;
    double m_raw = 0;
    double m_offset = 0;
};

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string CellReason(Cell kind, std::string_view cell, int column, char separator) {
    const std::string where = "column " + std::to_string(column + 1);
    switch (kind) {
        case Cell::Empty:
            return "no number in " + where;
        case Cell::RunTogether:
            return Quoted(cell) + " in " + where + " is two numbers run together (separator " +
                   SeparatorName(separator) + "; see --separator)";
        default:
            return Quoted(cell) + " in " + where + " is not a number";
    }
}

// A run ends where the time falls back near the first row's, after the run rose steadily (no
// single step makes half of it: a stray huge time is no run) and before the next run rises from
// there (a stray small time is no run either).
std::vector<PointsFileRun> RunsOf(const std::vector<PointsRow>& rows) {
    std::vector<PointsFileRun> runs;
    if (rows.empty()) return runs;
    runs.push_back({rows[0].line, rows.back().line});
    const double start = rows[0].time;
    double top = start;
    double largestStep = 0;
    size_t runStart = 0;
    for (size_t i = 1; i < rows.size(); ++i) {
        const double time = rows[i].time;
        const double previous = rows[i - 1].time;
        if (!std::isfinite(time) || !std::isfinite(previous) || !std::isfinite(start)) continue;
        const double span = top - start;
        const bool restarts = i - runStart >= 3 && span > 0 && time < previous &&
                              std::abs(time - start) <= span / 20 && previous - time >= span / 2 &&
                              largestStep <= span / 2 && i + 2 < rows.size() &&
                              rows[i + 1].time > time && rows[i + 2].time > rows[i + 1].time &&
                              rows[i + 2].time < previous;
        if (restarts) {
            runs.back().last = rows[i - 1].line;
            runs.push_back({rows[i].line, rows.back().line});
            runStart = i;
            top = time;
            largestStep = 0;
            continue;
        }
        if (time > previous) largestStep = std::max(largestStep, time - previous);
        top = std::max(top, time);
    }
    return runs;
}

// Only the rows of run `options.run`, shifted by its first with --relative; the editor's text
// written anew, an empty line for every other line of the file.
void TakeRun(const PointsFileOptions& options, int lines, PointsFile& file) {
    const PointsFileRun run = file.runs[static_cast<size_t>(options.run - 1)];
    std::vector<PointsRow> rows;
    for (const PointsRow& row : file.rows) {
        if (row.line >= run.first && row.line <= run.last) rows.push_back(row);
    }
    file.outsideRun = static_cast<int>(file.rows.size() - rows.size());
    file.rows = std::move(rows);
    file.hasFirstRow = false;
    for (const PointsRow& row : file.rows) {
        if (std::isfinite(row.position) && std::isfinite(row.time)) {
            file.hasFirstRow = true;
            file.firstRow = row;
            break;
        }
    }
    if (options.relative && file.hasFirstRow) {
        for (PointsRow& row : file.rows) {
            row.position -= file.firstRow.position;
            row.time -= file.firstRow.time;
        }
    }
    file.editorText.clear();
    size_t next = 0;
    for (int line = 1; line <= lines; ++line) {
        if (next < file.rows.size() && file.rows[next].line == line) {
            AppendNumber(file.editorText, file.rows[next].position);
            file.editorText += ' ';
            AppendNumber(file.editorText, file.rows[next].time);
            ++next;
        }
        file.editorText += '\n';
    }
    file.editorTextOfInput = 0;
}

std::string LineList(const std::vector<int>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) text += (i ? ", " : "") + std::to_string(lines[i]);
    return text;
}

// An encoder count that wraps: a few jumps of nearly 2^k between neighbours, all other steps
// far smaller. The power, or 0.
double WrapOf(const std::vector<PointsRow>& rows, std::vector<int>& jumpLines) {
    double largest = 0;
    for (size_t i = 1; i < rows.size(); ++i) {
        const double step = std::abs(rows[i].position - rows[i - 1].position);
        if (std::isfinite(step)) largest = std::max(largest, step);
    }
    if (largest < 200) return 0;
    const double power = std::exp2(std::round(std::log2(largest)));
    if (power < 256 || power > 0x1p32 || std::abs(largest - power) > power / 20) return 0;
    auto stepAt = [&rows](size_t i) {
        return i >= 1 && i < rows.size() ? rows[i].position - rows[i - 1].position : 0.0;
    };
    size_t jumps = 0;
    for (size_t i = 1; i < rows.size(); ++i) {
        const double step = std::abs(stepAt(i));
        if (!std::isfinite(step)) continue;
        if (step > power * 0.75) {
            if (rows[i].position != std::round(rows[i].position)) return 0;
            // Unwrapped, the jump is a step like its neighbours': a count that goes on, not a
            // table that moves once and holds.
            const double unwrapped = std::abs(step - power);
            const double around = std::max(std::abs(stepAt(i - 1)), std::abs(stepAt(i + 1)));
            if (!(around > 0) || unwrapped > 4 * around + 1) return 0;
            if (jumpLines.size() < 3) jumpLines.push_back(rows[i].line);
            ++jumps;
        } else if (step > power / 8) {
            return 0;
        }
    }
    return jumps * 100 <= rows.size() || jumps <= 2 ? power : 0;
}

// What the rows say of the reading: durations read as times, runs, swapped columns, a wrapping
// count. Each gives a motion that the file does not mean: the import is refused with the option
// that reads it right.
bool CheckMeaning(const PointsFileOptions& options, const PointsFile& file, std::string& error) {
    const std::vector<PointsRow>& rows = file.rows;
    std::vector<int> jumpLines;
    if (options.unwrap == 0) {
        if (const double power = WrapOf(rows, jumpLines); power > 0) {
            error = "the position jumps by nearly " + ShortNumber(power) + " at line" +
                    (jumpLines.size() == 1 ? " " : "s ") + LineList(jumpLines) +
                    ": an encoder count that wraps? --unwrap " + ShortNumber(power) + " unwraps it";
            return false;
        }
    }
    if (rows.size() < 2) return true;
    // Times that do not come after the highest before them: the rows the editor drops.
    size_t dropped = 0;
    size_t falling = 0;
    size_t negative = 0;
    size_t positionRises = 0;
    double top = -INFINITY;
    double smallest = INFINITY;
    double largest = -INFINITY;
    for (size_t i = 0; i < rows.size(); ++i) {
        const double time = rows[i].time;
        if (!(time > top)) ++dropped;
        top = std::max(top, time);
        if (time < 0) ++negative;
        if (std::isfinite(time)) {
            smallest = std::min(smallest, time);
            largest = std::max(largest, time);
        }
        if (i > 0 && time < rows[i - 1].time) ++falling;
        if (i > 0 && rows[i].position > rows[i - 1].position) ++positionRises;
    }
    const std::string timeColumn = std::to_string(file.timeColumn + 1);
    const std::string positionColumn = std::to_string(file.positionColumn + 1);
    const bool mostDropped = dropped * 2 > rows.size();
    const std::string swap = "--columns " + positionColumn + "," + timeColumn;
    // A logger's time, then position: the first column rises at every step, the second does not.
    const bool loggerOrder = options.columns.empty() && file.unnamed && mostDropped &&
                             positionRises * 100 >= (rows.size() - 1) * 99;
    if (!file.durations && rows.size() >= 3 && mostDropped && smallest > 0 &&
        largest - smallest <= largest / 4) {
        error = "the times of column " + timeColumn + " stay between " + ShortNumber(smallest) +
                " and " + ShortNumber(largest) +
                ": these look like durations; --durations adds them up";
        if (loggerOrder) {
            error += "; or the columns are swapped: " + swap + " takes the time from column " +
                     positionColumn;
        }
        return false;
    }
    if (options.run == 0 && file.runs.size() >= 2) {
        error = "the time starts again " + std::to_string(file.runs.size() - 1) +
                (file.runs.size() == 2 ? " time" : " times") + ": the file holds " +
                std::to_string(file.runs.size()) + " runs (lines ";
        for (size_t i = 0; i < file.runs.size(); ++i) {
            error += (i ? ", " : "") + std::to_string(file.runs[i].first) + "-" +
                     std::to_string(file.runs[i].last);
        }
        error += "); --run K takes the K-th";
        return false;
    }
    if (!options.columns.empty()) return true;
    // Two rows falling are one step; three make a direction.
    if (negative == rows.size() || (rows.size() >= 3 && falling + 1 == rows.size())) {
        error = "the columns look swapped: the times of column " + timeColumn + " are " +
                (negative == rows.size() ? "all negative" : "all falling") + "; " + swap +
                " takes the time from column " + positionColumn;
        return false;
    }
    if (loggerOrder) {
        error = "the columns look swapped: column " + positionColumn +
                " rises at every line while the times of column " + timeColumn + " do not (" +
                std::to_string(dropped) + " of " + std::to_string(rows.size()) +
                " rows would be dropped); " + swap + " takes the time from column " +
                positionColumn + ", --columns " + timeColumn + "," + positionColumn +
                " keeps this reading";
        return false;
    }
    return true;
}

}  // namespace

std::string SeparatorName(char separator) {
    if (separator == '\t') return "tab";
    if (separator == ' ') return "blanks";
    return Quoted(std::string(1, separator));
}

bool ReadPointsFile(std::string_view bytes, const PointsFileOptions& options, PointsFile& file,
                    std::string& error) {
    file = PointsFile{};
    file.relative = options.relative;
    std::vector<std::string_view> first;
    for (std::string_view rest = bytes; !rest.empty() && first.size() < kDetectionLines;) {
        first.push_back(WithoutBrackets(NextLine(rest)));
    }
    const Dialect dialect = DetectDialect(first, options);
    file.separator = dialect.separator;
    file.fittingLines = dialect.fitting;
    file.numberLines = dialect.numberLines;
    file.decimalComma = options.decimalComma || file.separator != ',';
    const Layout layout = LayoutOf(first, dialect.firstData, file.separator, file.decimalComma);
    const int dataLine = std::max(dialect.firstData, 0);
    for (int i = dataLine - 1; i >= 0; --i) {
        if (IsBlank(first[i])) continue;
        file.header = HeaderColumns(first[i], file.separator);
        // Between blanks a remark after the numbers adds cells that the header need not name.
        const int named = static_cast<int>(file.header.size());
        const bool fits =
            named == layout.cells || (file.separator == ' ' && named >= 2 && named < layout.cells);
        if (!fits) file.header.clear();
        break;
    }
    if (!ChooseColumns(options, layout, file, error)) return false;
    file.durations = options.durations || file.durationsFromHeader;
    PointsFileOptions effective = options;
    effective.durations = file.durations;
    // Blank- and tab-separated files with the position first go to the editor as they are, read
    // by its own rule: two numbers separated by white space.
    const bool whiteSpace = file.separator == ' ' || file.separator == '\t';
    const bool asTheEditorReads = whiteSpace && file.positionColumn == 0 && file.timeColumn == 1 &&
                                  !options.relative && !file.durations;

    file.rows.reserve(LineFeeds(bytes) + 1);
    EditorTextMaker text(bytes, file);
    RowMaker rows(effective, file, text);
    std::vector<std::string_view> cells;
    int number = 0;
    for (std::string_view rest = bytes; !rest.empty();) {
        const std::string_view fileLine = NextLine(rest);
        const std::string_view line = WithoutBrackets(fileLine);
        ++number;
        if (IsBlank(line)) {
            text.EmptyLine();
            continue;
        }
        if (number <= dataLine) {
            ++file.headerLines;
            if (file.headerLineNumbers.size() < kMaxPointsFileSkips) {
                file.headerLineNumbers.push_back(number);
            }
            text.EmptyLine();
            continue;
        }
        const std::string_view verbatim = line.size() == fileLine.size() ? line : "";
        if (asTheEditorReads) {
            double values[2];
            bool joined = false;
            int read = ScanPlainLikeEditor(line, values, joined);
            if (read < 0) read = ScanLikeEditor(line, values, joined);
            if (read != 2) {
                rows.Skip(number, "no two numbers");
            } else if (joined) {
                rows.Skip(number, "two numbers run together (separator " +
                                      SeparatorName(file.separator) + "; see --separator)");
            } else {
                rows.Add(number, values[0], values[1], verbatim);
            }
            continue;
        }
        SplitCells(line, file.separator, cells);
        double values[2] = {0, 0};
        const int wanted[2] = {file.positionColumn, file.timeColumn};
        std::string reason;
        for (int i = 0; i < 2 && reason.empty(); ++i) {
            const int column = wanted[i];
            const std::string_view cell =
                column < static_cast<int>(cells.size()) ? cells[column] : std::string_view();
            const Cell kind = ReadCell(cell, file.decimalComma, values[i]);
            if (kind != Cell::Number) reason = CellReason(kind, cell, column, file.separator);
        }
        if (reason.empty()) {
            rows.Add(number, values[0], values[1], {});
        } else {
            rows.Skip(number, reason);
        }
    }
    text.Finish();
    file.runs = RunsOf(file.rows);
    if (options.run > 0 && options.run <= static_cast<int>(file.runs.size())) {
        TakeRun(options, number, file);
    }
    if (options.run > static_cast<int>(file.runs.size())) {
        error = "--run " + std::to_string(options.run) + ": the file holds " +
                std::to_string(file.runs.size()) + (file.runs.size() == 1 ? " run" : " runs");
        return false;
    }
    file.run = options.run;
    if (!CheckMeaning(options, file, error)) {
        file.unsure = true;
        return false;
    }
    return true;
}

std::vector<std::string> FileLines(std::string_view bytes, const std::vector<int>& numbers) {
    std::vector<std::string> lines;
    int number = 0;
    for (std::string_view rest = bytes; !rest.empty() && lines.size() < numbers.size();) {
        const std::string_view line = NextLine(rest);
        if (++number == numbers[lines.size()]) lines.emplace_back(line);
    }
    return lines;
}
