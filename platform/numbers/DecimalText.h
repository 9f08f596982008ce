// A decimal number read exactly as std::from_chars reads it, with the same result and end, but
// several times faster for the numbers that files of points hold: up to 19 digits and 22
// decimals, without an exponent. Such a number is a whole count below 2^53 divided by a
// power of ten that a double holds exactly, and one IEEE division rounds that quotient as
// from_chars rounds the decimal. Anything else goes to std::from_chars itself.
#pragma once

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace decimal_text_detail {

// Reads the digits from `cursor` on into `count` (times ten for each), eight bytes at a time
// where eight lie before `last`: a file's numbers are mostly runs of several digits, and a
// digit a step costs most of reading them. A count of more than 19 digits wraps; the caller
// then reads the number the long way.
inline void ReadDigits(const char*& cursor, const char* last, std::uint64_t& count) {
    static constexpr std::uint64_t kScales[] = {1,      10,      100,      1000,     10000,
                                                100000, 1000000, 10000000, 100000000};
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kZeros = 0x3030303030303030;
        constexpr std::uint64_t kHighNibbles = 0xF0F0F0F0F0F0F0F0;
        while (last - cursor >= 8) {
            std::uint64_t chunk;
            std::memcpy(&chunk, cursor, 8);
            // A byte is a digit when its high nibble is 3 and adding 6 keeps it so; a carry
            // reaches only the bytes after a byte that is none, which are not read.
            const std::uint64_t nibbles =
                (chunk & kHighNibbles) | (((chunk + 0x0606060606060606) & kHighNibbles) >> 4);
            const std::uint64_t misses = nibbles ^ 0x3333333333333333;
            const int run = misses == 0 ? 8 : std::countr_zero(misses) / 8;
            if (run == 0) return;
            // The run's digits into the top bytes, zeros before them, then joined in pairs,
            // fours and eights.
            std::uint64_t digits = (chunk - kZeros) << (8 * (8 - run));
            digits = (digits * 10 + (digits >> 8)) & 0x00FF00FF00FF00FF;
            digits = (digits * 100 + (digits >> 16)) & 0x0000FFFF0000FFFF;
            digits = (digits * 10000 + (digits >> 32)) & 0xFFFFFFFF;
            count = count * kScales[run] + digits;
            cursor += run;
            if (run < 8) return;
        }
    }
    for (; cursor != last && static_cast<unsigned>(*cursor - '0') < 10; ++cursor) {
        count = count * 10 + static_cast<unsigned>(*cursor - '0');
    }
}

}  // namespace decimal_text_detail

inline std::from_chars_result ReadDecimalText(const char* first, const char* last, double& value) {
    static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr std::uint64_t kExactWholes = std::uint64_t{1} << 53;
    const char* cursor = first;
    const bool negative = cursor != last && *cursor == '-';
    if (negative) ++cursor;
    // Up to 19 digits cannot overflow the count; a longer number goes the long way.
    std::uint64_t count = 0;
    const char* const whole = cursor;
    decimal_text_detail::ReadDigits(cursor, last, count);
    int digits = static_cast<int>(cursor - whole);
    int decimals = 0;
    if (cursor != last && *cursor == '.') {
        const char* const fraction = ++cursor;
        decimal_text_detail::ReadDigits(cursor, last, count);
        decimals = static_cast<int>(cursor - fraction);
        digits += decimals;
    }
    const bool exponent = cursor != last && (*cursor == 'e' || *cursor == 'E');
    if (digits == 0 || digits > 19 || exponent || count > kExactWholes || decimals > 22) {
        return std::from_chars(first, last, value);
    }
    const double magnitude = static_cast<double>(count) / kPowersOfTen[decimals];
    value = negative ? -magnitude : magnitude;
    return {cursor, std::errc{}};
}
