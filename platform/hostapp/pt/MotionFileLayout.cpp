#include "pt/MotionFileLayout.h"

#include <algorithm>
#include <map>
#include <vector>

#include "pt/PtKeyCheck.h"

namespace {

struct Line {
    std::string_view body;  // without its line end
    std::string_view end;   // "\r\n", "\n", or empty for an unended last line
    std::string_view key;   // empty for comments, blank lines and lines that are no entry
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    while (!text.empty()) {
        const size_t newline = text.find('\n');
        const size_t length = newline == std::string_view::npos ? text.size() : newline + 1;
        std::string_view body = text.substr(0, length);
        std::string_view end;
        if (body.ends_with("\r\n")) {
            end = body.substr(body.size() - 2);
        } else if (body.ends_with('\n')) {
            end = body.substr(body.size() - 1);
        }
        body.remove_suffix(end.size());
        lines.push_back({body, end, EntryKey(body)});
        text.remove_prefix(length);
    }
    return lines;
}

std::string_view FirstLineEnd(const std::vector<Line>& lines) {
    for (const Line& line : lines) {
        if (!line.end.empty()) return line.end;
    }
    return {};
}

}  // namespace

std::string KeepMotionFileLayout(std::string_view original, std::string_view written) {
    const std::vector<Line> before = SplitLines(original);
    const std::vector<Line> after = SplitLines(written);
    std::string_view lineEnd = FirstLineEnd(before);
    if (lineEnd.empty()) lineEnd = FirstLineEnd(after);
    if (lineEnd.empty()) lineEnd = "\r\n";

    // The kernel reads the last entry of a key, so that is the one whose place counts.
    std::map<std::string_view, const Line*> newEntries;
    for (const Line& line : after) {
        if (!line.key.empty()) newEntries[line.key] = &line;
    }
    std::map<std::string_view, size_t> lastOfKey;
    for (size_t i = 0; i < before.size(); ++i) {
        if (!before[i].key.empty()) lastOfKey[before[i].key] = i;
    }

    std::vector<Line> merged;
    for (size_t i = 0; i < before.size(); ++i) {
        const Line& line = before[i];
        if (line.key.empty()) {
            merged.push_back(line);
            continue;
        }
        const auto found = newEntries.find(line.key);
        if (found != newEntries.end()) {
            // An earlier entry of the key is dead text; left in, it would come alive if the
            // key were ever dropped.
            if (lastOfKey[line.key] == i)
                merged.push_back({found->second->body, line.end, line.key});
        } else if (!IsPtMotionKey(line.key)) {
            merged.push_back(line);
        }
    }

    const auto placed = [&merged](std::string_view key) {
        return std::find_if(merged.begin(), merged.end(),
                            [key](const Line& line) { return line.key == key; });
    };
    for (size_t j = 0; j < after.size(); ++j) {
        if (after[j].key.empty() || placed(after[j].key) != merged.end()) continue;
        // After the nearest key before it in the new text; with none, just above the first
        // entry, so that a comment heading the file stays at its head.
        auto at = std::find_if(merged.begin(), merged.end(),
                               [](const Line& line) { return !line.key.empty(); });
        for (size_t k = j; k-- > 0;) {
            if (after[k].key.empty()) continue;
            if (const auto previous = placed(after[k].key); previous != merged.end()) {
                at = previous + 1;
                break;
            }
        }
        merged.insert(at, {after[j].body, lineEnd, after[j].key});
    }

    std::string text;
    for (const Line& line : merged) {
        text.append(line.body);
        text.append(line.end.empty() ? lineEnd : line.end);
    }
    return text;
}
