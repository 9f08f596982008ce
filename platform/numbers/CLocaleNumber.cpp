#include "CLocaleNumber.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// `word` in either case at `text`: the end of it, or null.
const char* Word(const char* text, const char* word) {
    for (; *word; ++text, ++word) {
        if (Lower(*text) != *word) return nullptr;
    }
    return text;
}

// A digit string with an optional point, then an exponent introduced by `marker` ('e' or 'p'),
// which counts only when digits follow it; `end` is null when there is no digit. `power`: where
// the first non-zero digit stands, in powers of two for hexadecimal and of ten otherwise, which
// tells an overflow from an underflow.
struct Mantissa {
    const char* end = nullptr;
    bool zero = true;
    long power = 0;
};

Mantissa ScanMantissa(const char* text, bool hex, char marker) {
    Mantissa m;
    const char* cursor = text;
    bool anyDigit = false;
    bool seenPoint = false;
    long place = 0;  // of the first non-zero digit, in digits
    for (;; ++cursor) {
        if (*cursor == '.' && !seenPoint) {
            seenPoint = true;
            continue;
        }
        if (!(hex ? IsHexDigit(*cursor) : IsDigit(*cursor))) break;
        anyDigit = true;
        if (seenPoint) {
            if (m.zero) --place;
        } else if (!m.zero) {
            ++place;
        }
        if (m.zero && *cursor != '0') m.zero = false;
    }
    if (!anyDigit) return m;
    m.power = place * (hex ? 4 : 1);
    m.end = cursor;
    if (Lower(*cursor) == marker) {
        const char* exponent = cursor + 1;
        bool negative = false;
        if (*exponent == '+' || *exponent == '-') negative = *exponent++ == '-';
        if (IsDigit(*exponent)) {
            long value = 0;
            for (; IsDigit(*exponent); ++exponent) {
                if (value < 100000000) value = value * 10 + (*exponent - '0');
            }
            m.power += negative ? -value : value;
            m.end = exponent;
        }
    }
    return m;
}

}  // namespace

const char* ReadCLocaleNumber(const char* text, double& value) {
    const char* cursor = text;
    while (IsSpace(*cursor)) ++cursor;
    bool negative = false;
    if (*cursor == '+' || *cursor == '-') negative = *cursor++ == '-';
    const double sign = negative ? -1.0 : 1.0;

    if (const char* end = Word(cursor, "inf")) {
        if (const char* longer = Word(end, "inity")) end = longer;
        value = sign * std::numeric_limits<double>::infinity();
        return end;
    }
    if (const char* end = Word(cursor, "nan")) {
        if (*end == '(') {
            const char* close = end + 1;
            while (IsDigit(*close) || (Lower(*close) >= 'a' && Lower(*close) <= 'z') ||
                   *close == '_') {
                ++close;
            }
            if (*close == ')') end = close + 1;
        }
        value = std::copysign(std::numeric_limits<double>::quiet_NaN(), sign);
        return end;
    }

    const bool hex = cursor[0] == '0' && Lower(cursor[1]) == 'x';
    const char* digits = hex ? cursor + 2 : cursor;
    const Mantissa m = ScanMantissa(digits, hex, hex ? 'p' : 'e');
    if (!m.end) {
        // "0x" with no hexadecimal digit after it is the number 0 and a letter.
        if (!hex) return text;
        value = sign * 0.0;
        return cursor + 1;
    }
    double magnitude = 0;
    const auto result = std::from_chars(digits, m.end, magnitude,
                                        hex ? std::chars_format::hex : std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        magnitude = !m.zero && m.power > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (result.ec != std::errc{} || result.ptr != m.end) {
        return text;
    }
    value = sign * magnitude;
    return m.end;
}
