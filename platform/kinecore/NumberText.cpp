#include "NumberText.h"

#include <charconv>
#include <cmath>

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
