#include "pt/PtKeyCheck.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "pt/PtKeys.h"

namespace {

constexpr auto& kKnownKeys = host_pt_keys::kAll;

struct Entry {
    int line;
    std::string_view key;  // the whole line when it is no entry
    bool isEntry;          // `Key=...` or `Key[unit]=...`, the key a word
};

bool IsWord(std::string_view key) {
    if (key.empty() || std::isdigit(static_cast<unsigned char>(key.front()))) return false;
    return std::all_of(key.begin(), key.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    });
}

// Entries as the kernel's reader sees them: `Key=...` or `Key[unit]=...` at a line's start.
std::vector<Entry> Entries(std::string_view text) {
    std::vector<Entry> entries;
    int number = 0;
    while (!text.empty()) {
        ++number;
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == ';' ||
            line.find_first_not_of(" \t") == std::string_view::npos) {
            continue;
        }
        const std::string_view key = EntryKey(line);
        if (!key.empty()) {
            entries.push_back({number, key, true});
        } else {
            entries.push_back({number, line, false});
        }
    }
    return entries;
}

std::string Cut(std::string_view text) {
    return text.size() > 40 ? std::string(text.substr(0, 40)) + "..." : std::string(text);
}

// Edits (insert, delete, change of a letter, case ignored) that turn one word into the other.
size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

constexpr size_t kLongestKey =
    std::max_element(std::begin(kKnownKeys), std::end(kKnownKeys),
                     [](auto a, auto b) { return a.size() < b.size(); }) -> size();

std::string Nearest(std::string_view key) {
    // Twice as long as any key is more than a third away from each: no slip, and no cost that
    // grows with a long line.
    if (key.size() > 2 * kLongestKey) return {};
    std::string_view best;
    size_t bestDistance = 0;
    for (std::string_view known : kKnownKeys) {
        const size_t distance = EditDistance(key, known);
        if (best.empty() || distance < bestDistance) {
            best = known;
            bestDistance = distance;
        }
    }
    // Beyond a third of the word it is another word, not a slip.
    const size_t allowed = std::max<size_t>(1, std::max(key.size(), best.size()) / 3);
    return bestDistance <= allowed ? std::string(best) : std::string();
}

}  // namespace

std::string_view EntryKey(std::string_view line) {
    if (line.empty() || line.front() == ';') return {};
    const size_t keyEnd = line.find_first_of("=[");
    const std::string_view key = line.substr(0, keyEnd);
    return keyEnd != std::string_view::npos && IsWord(key) ? key : std::string_view();
}

bool IsPtMotionKey(std::string_view key) {
    return std::find(std::begin(kKnownKeys), std::end(kKnownKeys), key) != std::end(kKnownKeys);
}

std::vector<UnknownMotionKey> FindUnknownMotionKeys(std::string_view text) {
    std::vector<UnknownMotionKey> unknown;
    for (const Entry& entry : Entries(text)) {
        if (entry.isEntry && IsPtMotionKey(entry.key)) continue;
        unknown.push_back(
            {entry.line, Cut(entry.key), entry.isEntry ? Nearest(entry.key) : "", entry.isEntry});
    }
    return unknown;
}

std::string WhyNotAMotion(std::string_view text) {
    const std::vector<Entry> entries = Entries(text);
    if (entries.empty()) return {};
    for (const Entry& entry : entries) {
        if (!entry.isEntry) {
            return "line " + std::to_string(entry.line) + " is no entry: \"" + Cut(entry.key) +
                   "\"";
        }
    }
    if (std::none_of(entries.begin(), entries.end(),
                     [](const Entry& e) { return IsPtMotionKey(e.key); })) {
        return "it has none of a motion's entries";
    }
    return {};
}

void WarnOfUnknownMotionKeys(std::string_view text, const std::string& name) {
    constexpr size_t kShown = 10;
    const std::vector<UnknownMotionKey> found = FindUnknownMotionKeys(text);
    if (found.size() > kShown) {
        std::fprintf(stderr,
                     "travex-host: warning: %s: %zu lines are no entries of a PT motion; "
                     "the first %zu:\n",
                     name.c_str(), found.size(), kShown);
    }
    for (size_t i = 0; i < found.size() && i < kShown; ++i) {
        const UnknownMotionKey& unknown = found[i];
        if (!unknown.isEntry) {
            std::fprintf(stderr,
                         "travex-host: warning: %s:%d: \"%s\" is no entry (Key=value); it is "
                         "ignored\n",
                         name.c_str(), unknown.line, unknown.key.c_str());
            continue;
        }
        std::fprintf(stderr, "travex-host: warning: %s:%d: \"%s\" is no key of a PT motion%s%s%s\n",
                     name.c_str(), unknown.line, unknown.key.c_str(),
                     unknown.nearest.empty() ? "" : "; did you mean \"", unknown.nearest.c_str(),
                     unknown.nearest.empty() ? "" : "\"?");
    }
}

bool CheckMotionToEdit(const std::string& path, std::string& text, std::string& error) {
    if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
    // Whatever else the file holds would be replaced by a motion's few lines.
    const std::string notAMotion = WhyNotAMotion(text);
    if (!notAMotion.empty()) {
        error = path + " is no motion (" + notAMotion +
                "); edit would replace it, so it leaves it alone. A new motion: travex-host "
                "defaults -o FILE";
        return false;
    }
    WarnOfUnknownMotionKeys(text, path);
    return true;
}
