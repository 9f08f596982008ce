// Numbers as text, independent of the locale.
#pragma once

#include <string>
#include <string_view>

// The shortest text that reads back to the same double, bit for bit ("2000", "1.5", "-0",
// "0.0005"), in plain digits up to 20 characters and in the exponent form beyond ("1e+21").
// `buffer` must hold kNumberTextSize characters; the result points into it.
inline constexpr size_t kNumberTextSize = 32;
std::string_view FormatShortest(double value, char* buffer);

// A readable form for people: six significant digits, no trailing zeros ("180", "0.333333").
std::string FormatReadable(double value);

// True when all of `text` is one finite decimal number.
bool ParseFiniteNumber(std::string_view text, double& value);
