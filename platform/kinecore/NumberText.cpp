#include "NumberText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>

std::string_view FormatShortest(double value, char* buffer) {
    // People read 0.0005 more easily than 5e-04: plain digits whenever they stay short, the
    // exponent form only for the very large and the very small.
    constexpr size_t kLongestPlain = 20;
    // Whole numbers, most of a table in IU, print as the integer they are, several times faster.
    if (std::fabs(value) < 1e15) {
        const auto whole = static_cast<long long>(value);
        if (static_cast<double>(whole) == value && !(whole == 0 && std::signbit(value))) {
            return {buffer, static_cast<size_t>(
                                std::to_chars(buffer, buffer + kLongestPlain, whole).ptr - buffer)};
        }
    }
    const auto plain =
        std::to_chars(buffer, buffer + kLongestPlain, value, std::chars_format::fixed);
    if (plain.ec == std::errc()) return {buffer, static_cast<size_t>(plain.ptr - buffer)};
    const auto result = std::to_chars(buffer, buffer + kNumberTextSize, value);
    return {buffer, static_cast<size_t>(result.ptr - buffer)};
}

namespace number_text_detail {
namespace {

// Powers of ten that a double holds exactly.
constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kPowerCount = static_cast<int>(std::size(kPowers));

}  // namespace

bool MayShorten(std::string_view shortest, double stored, int& decimals) {
    // The decimals that the text stands for: its own, or those of its plain form
    // (1.25e-05 has 7), and its significant digits.
    const size_t exponentAt = shortest.find('e');
    const std::string_view mantissa = shortest.substr(0, exponentAt);
    const size_t point = mantissa.find('.');
    int exponent = 0;
    if (exponentAt != std::string_view::npos) {
        const char* at = shortest.data() + exponentAt + 1;
        std::from_chars(at + (*at == '+'), shortest.data() + shortest.size(), exponent);
    }
    decimals =
        (point == std::string_view::npos ? 0 : static_cast<int>(mantissa.size() - point - 1)) -
        exponent;
    if (decimals <= 0) return false;
    size_t lead = mantissa.front() == '-' ? 1 : 0;
    while (lead < mantissa.size() && (mantissa[lead] == '0' || mantissa[lead] == '.')) ++lead;
    const int significant = static_cast<int>(mantissa.size() - lead) -
                            (point != std::string_view::npos && point > lead);
    // A shorter decimal lies at least one unit of the last digit away, which is more than a
    // millionth of an IU unless the text holds about six digits more than the count has.
    const double magnitude = std::fabs(stored);
    int countDigits = 0;
    while (countDigits < kPowerCount && magnitude >= kPowers[countDigits]) ++countDigits;
    return significant >= countDigits + 3;
}

bool RoundToDecimals(double shown, int decimals, long long& digits, double& value) {
    if (decimals < 0 || decimals > 22) return false;
    const double power = kPowers[decimals];
    const double scaled = NearestWhole(shown * power);
    if (!(std::fabs(scaled) < 9007199254740992.0)) return false;
    digits = static_cast<long long>(scaled);
    // Both operands are exact, so the quotient is the double nearest the decimal, which is
    // what reading its text gives.
    value = scaled / power;
    return true;
}

std::string_view WriteDecimal(long long digits, int decimals, char* buffer) {
    if (digits == 0) {  // "0", never "-0"
        buffer[0] = '0';
        return {buffer, 1};
    }
    char* out = buffer;
    if (digits < 0) *out++ = '-';
    const unsigned long long magnitude = digits < 0 ? 0ULL - static_cast<unsigned long long>(digits)
                                                    : static_cast<unsigned long long>(digits);
    char plain[24];
    const auto length =
        static_cast<int>(std::to_chars(plain, plain + sizeof plain, magnitude).ptr - plain);
    const int whole = length > decimals ? length - decimals : 0;
    if (whole == 0) *out++ = '0';
    for (int i = 0; i < whole; ++i) *out++ = plain[i];
    int fraction = decimals;
    while (fraction > 0) {  // trailing zeros say nothing
        const int at = length - decimals + fraction - 1;
        if (at >= 0 && plain[at] != '0') break;
        --fraction;
    }
    if (fraction > 0) {
        *out++ = '.';
        for (int i = 0; i < fraction; ++i) {
            const int at = length - decimals + i;
            *out++ = at >= 0 ? plain[at] : '0';
        }
    }
    return {buffer, static_cast<size_t>(out - buffer)};
}

}  // namespace number_text_detail

namespace {

// The decimal exponents that the fast route below takes: scaling any of them to six digits
// takes a factor of 10^-22 to 10^22, which is exact or the double nearest it.
constexpr int kLowestExponent = -17, kHighestExponent = 27;
constexpr auto kSixDigitScales = [] {
    std::array<double, kHighestExponent - kLowestExponent + 1> scales{};
    for (int exponent = kLowestExponent; exponent <= kHighestExponent; ++exponent) {
        const int scale = 5 - exponent;
        scales[exponent - kLowestExponent] = scale >= 0 ? number_text_detail::kPowers[scale]
                                                        : 1.0 / number_text_detail::kPowers[-scale];
    }
    return scales;
}();

// The six significant digits that "%.6g" rounds `magnitude` (finite, above 0) to, as a whole
// number in [100000, 999999], and the decimal exponent of the first. The library's exact
// printing costs several times this; false where a product of doubles cannot be sure to agree
// with it: within a hair of a half (an exact half rounds to even), at a power of ten, or beyond
// the exponents above (which also keeps the exponent to two digits).
bool SixSignificantDigits(double magnitude, int& digits, int& exponent) {
    // The binary exponent times log10(2) (78913 / 2^18): the decimal one, or one below it,
    // which one comparison settles.
    const int binary =
        static_cast<int>((std::bit_cast<std::uint64_t>(magnitude) >> 52) & 0x7FF) - 1023;
    exponent = (binary * 78913) >> 18;
    if (exponent < kLowestExponent || exponent >= kHighestExponent) return false;
    exponent += magnitude * kSixDigitScales[exponent + 1 - kLowestExponent] >= 1e5;
    // Two roundings at most, the scale's and the product's: off by 2.3e-10 at most below 10^6.
    const double scaled = magnitude * kSixDigitScales[exponent - kLowestExponent];
    if (!(scaled >= 1e5 && scaled < 1e6)) return false;
    const int whole = static_cast<int>(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) < 1e-9) return false;
    digits = whole + (fraction > 0.5);
    if (digits == 1000000) {
        digits = 100000;
        ++exponent;
    }
    return true;
}

// "00" to "99", two digits at a time.
constexpr auto kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

}  // namespace

std::string_view FormatReadable(double value, char* buffer) {
    if (value == 0.0) {  // no "-0" for people
        buffer[0] = '0';
        return {buffer, 1};
    }
    int digits = 0;
    int exponent = 0;
    if (!std::isfinite(value) || !SixSignificantDigits(std::fabs(value), digits, exponent)) {
        const auto result =
            std::to_chars(buffer, buffer + kNumberTextSize, value, std::chars_format::general, 6);
        return {buffer, static_cast<size_t>(result.ptr - buffer)};
    }
    char significant[6];
    std::memcpy(significant, &kDigitPairs[2 * (digits / 10000)], 2);
    std::memcpy(significant + 2, &kDigitPairs[2 * (digits / 100 % 100)], 2);
    std::memcpy(significant + 4, &kDigitPairs[2 * (digits % 100)], 2);
    int count = 6;
    while (significant[count - 1] == '0') --count;  // trailing zeros say nothing
    char* out = buffer;
    if (value < 0) *out++ = '-';
    // As "%.6g": plain digits for decimal exponents from -4 to 5, the exponent form beyond.
    if (exponent < -4 || exponent > 5) {
        *out++ = significant[0];
        if (count > 1) {
            *out++ = '.';
            out = std::copy(significant + 1, significant + count, out);
        }
        *out++ = 'e';
        *out++ = exponent < 0 ? '-' : '+';
        std::memcpy(out, &kDigitPairs[2 * std::abs(exponent)], 2);
        out += 2;
    } else if (exponent >= 0) {
        const int whole = exponent + 1;
        out = std::copy(significant, significant + whole, out);
        if (count > whole) {
            *out++ = '.';
            out = std::copy(significant + whole, significant + count, out);
        }
    } else {
        *out++ = '0';
        *out++ = '.';
        out = std::fill_n(out, -exponent - 1, '0');
        out = std::copy(significant, significant + count, out);
    }
    return {buffer, static_cast<size_t>(out - buffer)};
}

std::string FormatReadable(double value) {
    char buffer[kNumberTextSize];
    return std::string(FormatReadable(value, buffer));
}

bool ParseFiniteNumber(std::string_view text, double& value) {
    const char* end = text.data() + text.size();
    double parsed = 0.0;
    const auto [ptr, ec] = std::from_chars(text.data(), end, parsed);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}
