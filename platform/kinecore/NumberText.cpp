#include "NumberText.h"

#include <charconv>
#include <cmath>
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

std::string FormatReadable(double value) {
    if (value == 0.0) value = 0.0;  // no "-0" for people
    char buffer[kNumberTextSize];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return {buffer, result.ptr};
}

bool ParseFiniteNumber(std::string_view text, double& value) {
    const char* end = text.data() + text.size();
    double parsed = 0.0;
    const auto [ptr, ec] = std::from_chars(text.data(), end, parsed);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}
