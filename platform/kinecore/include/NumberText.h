// Numbers as text, independent of the locale.
#pragma once

#include <MC_Value.h>

#include <cmath>
#include <string>
#include <string_view>

// The shortest text that reads back to the same double, bit for bit ("2000", "1.5", "-0",
// "0.0005"), in plain digits up to 20 characters and in the exponent form beyond ("1e+21").
// `buffer` must hold kNumberTextSize characters; the result points into it.
inline constexpr size_t kNumberTextSize = 32;
std::string_view FormatShortest(double value, char* buffer);

namespace number_text_detail {
// Whether a decimal shorter than `shortest` might map to the same stored value: only when
// `shortest` carries digits far below what a millionth of an IU can tell; then `decimals` is
// its number of decimals.
bool MayShorten(std::string_view shortest, double stored, int& decimals);
// `shown` rounded to `decimals` decimals: its digits as a whole number and the double that
// their text reads as. False when the digits would not fit a double exactly.
bool RoundToDecimals(double shown, int decimals, long long& digits, double& value);
// digits / 10^decimals in plain digits, without trailing zeros.
std::string_view WriteDecimal(long long digits, int decimals, char* buffer);
}  // namespace number_text_detail

// The display text of a stored value (in IU) that shows as `shown` in a display unit: the
// shortest decimal that `toStored` (display value -> stored value) maps back to `stored`
// ("399.96" for 2222 IU in deg, where FormatShortest gives "399.96000000000004"); else
// FormatShortest(shown). Same buffer rules as FormatShortest.
template <class ToStored>
std::string_view FormatDisplayValue(double stored, double shown, ToStored toStored, char* buffer) {
    if (shown == 0.0) shown = 0.0;  // "0", not "-0"
    const std::string_view shortest = FormatShortest(shown, buffer);
    int decimals = 0;
    if (!number_text_detail::MayShorten(shortest, stored, decimals)) return shortest;
    // A decimal that reads back stays one with more decimals, so the fewest decimals are found
    // by halving, and none at all when one decimal fewer than the shortest form does not do.
    long long digits = 0;
    const auto readsBack = [&](int k) {
        double value = 0.0;
        return number_text_detail::RoundToDecimals(shown, k, digits, value) &&
               toStored(value) == stored;
    };
    int low = 0, high = decimals - 1;
    if (!readsBack(high)) return shortest;
    while (low < high) {
        const int middle = (low + high) / 2;
        if (readsBack(middle))
            high = middle;
        else
            low = middle + 1;
    }
    readsBack(high);
    return number_text_detail::WriteDecimal(digits, high, buffer);
}

// A readable form for people: six significant digits, no trailing zeros ("180", "0.333333").
std::string FormatReadable(double value);
// The same into `buffer`, by the rules of FormatShortest's: no allocation, for tables of
// millions of values.
std::string_view FormatReadable(double value, char* buffer);
// The longest text that FormatReadable gives: "-1.23457e-100".
inline constexpr size_t kReadableMaxSize = 13;

// True when all of `text` is one finite decimal number.
bool ParseFiniteNumber(std::string_view text, double& value);
