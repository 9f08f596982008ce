// The reader in front of the editor's import, on any bytes and options (the first byte picks
// them): a line of the editor's text for each line of the file, and every row the reader
// reports is what the editor's own scan reads on that row's line.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "editor/NumberScan.h"
#include "pt/PointsFileReader.h"

namespace {

// Lines as a person counts them: each LF, CR LF or lone CR ends one; a last line may lack it.
size_t CountLines(std::string_view bytes) {
    size_t lines = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        if (bytes[i] == '\r' || bytes[i] == '\n') ++lines;
    }
    const char last = bytes.empty() ? '\n' : bytes.back();
    return lines + (last == '\r' || last == '\n' ? 0 : 1);
}

bool Same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const unsigned choice = data[0];
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const char separators[] = {0, '\t', ';', ',', ' '};
    const char* columns[] = {"", "", "2,1", "time,x", "3,1", "1,2"};
    PointsFileOptions options;
    options.separator = separators[choice % 5];
    options.decimalComma = choice & 0x08;
    options.relative = choice & 0x10;
    options.durations = choice & 0x20;
    options.columns = columns[(choice >> 6) % 6];

    PointsFile file;
    std::string error;
    if (!ReadPointsFile(bytes, options, file, error)) {
        FUZZ_CHECK(!error.empty() && !options.columns.empty(), "refused without a reason");
        return 0;
    }
    const std::string_view text = file.EditorText(bytes);
    const size_t lines = CountLines(bytes);
    FUZZ_CHECK(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) == lines,
               "the editor's text has another number of lines than the file");
    FUZZ_CHECK(text.empty() || text.back() == '\n', "the editor's text ends inside a line");
    FUZZ_CHECK(file.rows.size() + static_cast<size_t>(file.skipped + file.headerLines) <= lines,
               "more rows, skipped and header lines than lines");
    FUZZ_CHECK(file.skips.size() <= kMaxPointsFileSkips, "too many skips kept");

    // The editor's lines, and the editor's scan of each row's line.
    std::vector<std::string_view> editorLines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find('\n', at);
        editorLines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    int previous = 0;
    size_t row = 0;
    for (size_t i = 0; i < editorLines.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        if (row < file.rows.size() && file.rows[row].line == number) {
            FUZZ_CHECK(number > previous, "rows out of order");
            previous = number;
            std::string line(editorLines[i]);
            std::replace(line.begin(), line.end(), ',', '.');
            double values[2];
            FUZZ_CHECK(ScanDoubles(line.c_str(), values, 2) == 2,
                       "the editor cannot read a row's line");
            FUZZ_CHECK(
                Same(values[0], file.rows[row].position) && Same(values[1], file.rows[row].time),
                "the editor reads other numbers than the row's");
            ++row;
        } else {
            double values[2];
            std::string line(editorLines[i]);
            std::replace(line.begin(), line.end(), ',', '.');
            FUZZ_CHECK(ScanDoubles(line.c_str(), values, 2) < 2,
                       "the editor reads a point where the reader has none");
        }
    }
    FUZZ_CHECK(row == file.rows.size(), "a row beyond the file's lines");
    return 0;
}
