#include "editor/NumberScan.h"

#include <CLocaleNumber.h>
#include <DecimalText.h>
#include <stdlib.h>

#include <charconv>
#include <climits>
#include <cstring>

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// A plain decimal read with from_chars, which reads it as ReadCLocaleNumber does at a fraction
// of the cost; nullptr for what only the full read takes (a sign '+', hex, inf, nan, out of range).
const char* ReadPlain(const char* cursor, const char* textEnd, double& value) {
    while (IsSpace(*cursor)) ++cursor;
    const char* digits = *cursor == '-' ? cursor + 1 : cursor;
    const bool plain = (*digits >= '0' && *digits <= '9') || *digits == '.';
    if (!plain || (digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))) return nullptr;
    // A number is short; from_chars needs to know where the text ends. A NUL before `textEnd`
    // stops from_chars all the same.
    const char* end = textEnd ? textEnd : static_cast<const char*>(std::memchr(cursor, '\0', 400));
    if (!end) return nullptr;
    const auto result = ReadDecimalText(cursor, end, value);
    return result.ec == std::errc{} ? result.ptr : nullptr;
}

}  // namespace

int ScanDoubles(const char* text, double* values, int count, const char* end) {
    int read = 0;
    const char* cursor = text;
    while (read < count) {
        if (const char* after = ReadPlain(cursor, end, values[read])) {
            ++read;
            cursor = after;
            continue;
        }
        const char* after = ReadCLocaleNumber(cursor, values[read]);
        if (after == cursor) break;
        ++read;
        cursor = after;
    }
    return read;
}

bool ScanInt(const char* text, int& value) {
    char* end = nullptr;
    const long long number = strtoll(text, &end, 10);
    if (end == text) return false;
    if (number > INT_MAX) {
        value = INT_MAX;
    } else if (number < INT_MIN) {
        value = INT_MIN;
    } else {
        value = static_cast<int>(number);
    }
    return true;
}
