// The host's check of a motion's keys on any text: the lines that it names exist, in order, the
// key that it suggests is one, and what it keeps of a line is short and the line's start.
#include <algorithm>

#include "FuzzCheck.h"
#include "pt/PtKeyCheck.h"

namespace {

// A key that the check knows: a line of it alone is no unknown key.
bool IsKey(const std::string& word) { return FindUnknownMotionKeys(word + "=1").empty(); }

// Line `number` (from 1) of the text, without its line end.
std::string_view Line(std::string_view text, int number) {
    for (int i = 1; i < number; ++i) text.remove_prefix(text.find('\n') + 1);
    std::string_view line = text.substr(0, text.find('\n'));
    if (line.ends_with('\r')) line.remove_suffix(1);
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = InputText(data, size);
    const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    const std::vector<UnknownMotionKey> found = FindUnknownMotionKeys(text);
    int previous = 0;
    bool anyNoEntry = false;
    for (const UnknownMotionKey& unknown : found) {
        FUZZ_CHECK(unknown.line > previous && unknown.line <= lines, "a line out of order");
        previous = unknown.line;
        FUZZ_CHECK(unknown.key.size() <= 43, "a line kept whole");
        FUZZ_CHECK(unknown.nearest.empty() || IsKey(unknown.nearest),
                   "a suggestion that is no key");
        FUZZ_CHECK(unknown.isEntry || unknown.nearest.empty(), "a suggestion for no entry");
        const std::string_view line = Line(text, unknown.line);
        FUZZ_CHECK(
            line.starts_with(unknown.key.substr(0, std::min<size_t>(40, unknown.key.size()))),
            "a key that is not where its line starts");
        anyNoEntry |= !unknown.isEntry;
    }
    const std::string why = WhyNotAMotion(text);
    FUZZ_CHECK(!anyNoEntry || !why.empty(), "a line that is no entry, yet a motion");
    return 0;
}
