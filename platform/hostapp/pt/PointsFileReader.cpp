#include "pt/PointsFileReader.h"

#include <CLocaleNumber.h>
#include <strings.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// Lines looked at to find the separator and the header, and rows of them that must agree.
constexpr int kDetectionLines = 64;
constexpr int kAgreeingRows = 16;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsBlank(std::string_view line) { return std::all_of(line.begin(), line.end(), IsSpace); }

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
        const auto result = std::from_chars(cursor, end, values[read]);
        if (result.ec != std::errc{} || (result.ptr != end && *result.ptr == ',')) return -1;
        joined = read == 1 && cursor == start;
        cursor = result.ptr;
    }
    return read;
}

enum class Cell { Number, Empty, NotANumber, RunTogether };

// A cell is a number when all of it is one, as strtod reads it.
Cell ReadCell(std::string_view cell, bool decimalComma, double& value) {
    if (cell.empty()) return Cell::Empty;
    const auto fast = std::from_chars(cell.data(), cell.data() + cell.size(), value);
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

// Two numbers or more, and nothing else but empty cells.
bool AllNumbers(const std::vector<std::string_view>& cells, bool decimalComma) {
    int numbers = 0;
    for (std::string_view cell : cells) {
        double value = 0;
        const Cell kind = ReadCell(cell, decimalComma, value);
        if (kind == Cell::Number) {
            ++numbers;
        } else if (kind != Cell::Empty) {
            return false;
        }
    }
    return numbers >= 2;
}

struct Dialect {
    char separator = ' ';
    int firstData = -1;  // index among the lines looked at; -1: none
    int cells = 0;
    int agreeing = 0;
};

// The separator under which the first lines of numbers agree best in their number of columns;
// on a tie the earlier of tab, ';', ',' and blanks.
Dialect DetectDialect(const std::vector<std::string_view>& lines,
                      const PointsFileOptions& options) {
    Dialect best;
    std::vector<std::string_view> cells;
    for (const char separator : {'\t', ';', ',', ' '}) {
        if (options.separator != 0 && separator != options.separator) continue;
        if (options.decimalComma && separator == ',') continue;
        const bool decimalComma = separator != ',';
        Dialect dialect{separator};
        for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
            if (IsBlank(lines[i])) continue;
            SplitCells(lines[i], separator, cells);
            const bool numbers = AllNumbers(cells, decimalComma);
            if (dialect.firstData < 0) {
                if (!numbers) continue;
                dialect.firstData = i;
                dialect.cells = static_cast<int>(cells.size());
            }
            if (numbers && static_cast<int>(cells.size()) == dialect.cells) ++dialect.agreeing;
            if (dialect.agreeing == kAgreeingRows) break;
        }
        const bool better =
            dialect.firstData >= 0 &&
            (best.firstData < 0 || dialect.agreeing > best.agreeing ||
             (dialect.agreeing == best.agreeing && dialect.firstData < best.firstData));
        if (better) best = dialect;
    }
    if (best.firstData < 0) best.separator = options.separator != 0 ? options.separator : ' ';
    return best;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return lower;
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

bool NamesTime(const std::string& name) {
    const std::string lower = Lower(name);
    return lower == "t" || lower.starts_with("time") || lower == "zeit";
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

bool ChooseColumns(const PointsFileOptions& options, int columns, PointsFile& file,
                   std::string& error) {
    if (!options.columns.empty()) {
        const size_t comma = options.columns.find(',');
        if (comma == std::string::npos ||
            options.columns.find(',', comma + 1) != std::string::npos) {
            error = "--columns takes TIME,POSITION, not \"" + options.columns + "\"";
            return false;
        }
        const std::string_view both = options.columns;
        return FindColumn(both.substr(0, comma), file, columns, file.timeColumn, error) &&
               FindColumn(both.substr(comma + 1), file, columns, file.positionColumn, error);
    }
    const auto time = std::find_if(file.header.begin(), file.header.end(),
                                   [](const PointsFileColumn& c) { return NamesTime(c.name); });
    if (time != file.header.end()) {
        file.timeColumn = static_cast<int>(time - file.header.begin());
        file.positionColumn = file.timeColumn == 0 ? 1 : 0;
    }
    return true;
}

void AppendNumber(std::string& text, double value) {
    char buffer[32];
    text.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// The editor's text, a line at a time. While each line is the file's own, ended by a line feed
// as the file ends it, nothing is copied: the file's length so far is the text.
class CEditorTextMaker {
public:
    CEditorTextMaker(std::string_view input, PointsFile& file) : m_input(input), m_file(file) {}
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

class CRowMaker {
public:
    CRowMaker(const PointsFileOptions& options, PointsFile& file, CEditorTextMaker& text)
        : m_options(options), m_file(file), m_text(text) {}

    void Skip(int line, std::string reason) {
        ++m_file.skipped;
        if (m_file.skips.size() < kMaxPointsFileSkips)
            m_file.skips.push_back({line, std::move(reason)});
        m_text.EmptyLine();
    }

    // The row as the editor will read it, after --durations and --relative. `verbatim`: the
    // line itself, for the editor reads the row's numbers from it.
    void Add(int line, double position, double time, std::string_view verbatim) {
        if (m_options.durations) {
            m_elapsed += time;
            time = m_elapsed;
        }
        if (!m_file.hasFirstRow && std::isfinite(position) && std::isfinite(time)) {
            m_file.hasFirstRow = true;
            m_file.firstRow = {line, position, time};
        }
        if (m_options.relative && m_file.hasFirstRow) {
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
    CEditorTextMaker& m_text;
    double m_elapsed = 0;
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
        first.push_back(NextLine(rest));
    }
    const Dialect dialect = DetectDialect(first, options);
    file.separator = dialect.separator;
    file.decimalComma = options.decimalComma || file.separator != ',';
    const int dataLine = std::max(dialect.firstData, 0);
    for (int i = dataLine - 1; i >= 0; --i) {
        if (IsBlank(first[i])) continue;
        file.header = HeaderColumns(first[i], file.separator);
        if (static_cast<int>(file.header.size()) != dialect.cells) file.header.clear();
        break;
    }
    if (!ChooseColumns(options, dialect.cells, file, error)) return false;
    // Blank- and tab-separated files with the position first go to the editor as they are, read
    // by its own rule: two numbers separated by white space.
    const bool asTheEditorReads = (file.separator == ' ' || file.separator == '\t') &&
                                  file.positionColumn == 0 && file.timeColumn == 1 &&
                                  !options.relative && !options.durations;

    file.rows.reserve(static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    CEditorTextMaker text(bytes, file);
    CRowMaker rows(options, file, text);
    std::vector<std::string_view> cells;
    int number = 0;
    for (std::string_view rest = bytes; !rest.empty();) {
        const std::string_view line = NextLine(rest);
        ++number;
        if (IsBlank(line)) {
            text.EmptyLine();
            continue;
        }
        if (number <= dataLine) {
            ++file.headerLines;
            text.EmptyLine();
            continue;
        }
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
                rows.Add(number, values[0], values[1], line);
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
