// Numbers as the module's scans and the host's points reader take them, on every platform: what
// glibc's strtod reads in the "C" locale, whatever the C run-time underneath.
#include <CLocaleNumber.h>
#include <DecimalText.h>
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "editor/NumberScan.h"

#ifdef __GLIBC__
#include <locale.h>
#include <stdlib.h>
#endif

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kTiny = std::numeric_limits<double>::denorm_min();

struct Reading {
    const char* text;
    size_t length;  // 0: no number
    double value;
};

// Expected values are the compiler's reading of the literal (hexadecimal where it is exact).
TEST(NumberReading, EveryFormOfTheCLocale) {
    const Reading readings[] = {
        {"0x10", 4, 16},
        {"0x1.8p3", 7, 0x1.8p3},
        {"0X.8P1", 6, 1},
        {"-0xAbCp-4z", 9, -0xabcp-4},
        {"0x", 1, 0},  // "0" and a letter
        {"0xg", 1, 0},
        {"0x1p", 3, 1},  // a dangling binary exponent is not read
        {"inf", 3, kInf},
        {"-INFINITY", 9, -kInf},
        {"+Infinit", 4, kInf},  // "inf" and letters
        {"1e", 1, 1},
        {"1e+", 1, 1},
        {"1E+5x", 4, 1e5},
        {"+.5", 3, 0.5},
        {"5.", 2, 5},
        {" \t\n\v\f\r-7", 8, -7},
        {"+-5", 0, 0},
        {"-", 0, 0},
        {".", 0, 0},
        {"e5", 0, 0},
        {"infx", 3, kInf},
        {"1e309", 5, kInf},
        {"-1e99999999999", 14, -kInf},
        {"0x1.fffffffffffff8p1023", 23, kInf},  // rounds beyond the largest double
        {"0x1.fffffffffffffp1023", 22, std::numeric_limits<double>::max()},
        {"1e-320", 6, 2024 * kTiny},
        {"0x1p-1074", 9, kTiny},
        {"0.1000000000000000055511151231257827021181583404541015625", 57, 0.1},
        {"0e999999", 8, 0},
    };
    for (const Reading& r : readings) {
        double value = -12345;
        const size_t length = ReadCLocaleNumber(r.text, value) - r.text;
        EXPECT_EQ(length, r.length) << r.text;
        if (r.length == 0) {
            EXPECT_EQ(value, -12345) << r.text;
        } else {
            EXPECT_EQ(value, r.value) << r.text;
        }
    }
}

TEST(NumberReading, NanAndTheSignsOfZero) {
    for (const auto& [text, length] : {std::pair{"nan", 3},
                                       {"-NaN", 4},
                                       {"nan(abc_12)", 11},
                                       {"nan(", 3},
                                       {"nan(a b)", 3},
                                       {"NAN()x", 5}}) {
        double value = 0;
        EXPECT_EQ(ReadCLocaleNumber(text, value) - text, length) << text;
        EXPECT_TRUE(std::isnan(value)) << text;
    }
    double value = 1;
    ReadCLocaleNumber("1e-400", value);
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(std::signbit(value));
    ReadCLocaleNumber("-1e-400", value);
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(std::signbit(value));
    ReadCLocaleNumber("-0x", value);
    EXPECT_TRUE(std::signbit(value));
}

// The editor's "%lf %lf" scan reads the same forms.
TEST(NumberReading, TheEditorsScanTakesThemAll) {
    double values[2] = {};
    EXPECT_EQ(ScanDoubles("0x10 inf", values, 2), 2);
    EXPECT_EQ(values[0], 16);
    EXPECT_EQ(values[1], kInf);
    EXPECT_EQ(ScanDoubles("+1.5e1\t-0x.8", values, 2), 2);
    EXPECT_EQ(values[0], 15);
    EXPECT_EQ(values[1], -0.5);
    EXPECT_EQ(ScanDoubles("nan 5", values, 2), 2);
    EXPECT_TRUE(std::isnan(values[0]));
    EXPECT_EQ(ScanDoubles("1..2 3", values, 2), 2);  // "1." then ".2"
    EXPECT_EQ(values[1], 0.2);
    EXPECT_EQ(ScanDoubles("- 5", values, 2), 0);
}

// The quick decimal reading against from_chars: the same end, error and bits, on texts of digits,
// points and signs, on every way printf writes a double, and where the quick way must give up
// (20 digits, 23 decimals, a count above 2^53, an exponent).
TEST(NumberReading, DecimalTextReadsAsFromChars) {
    const auto same = [](const std::string& text) {
        double expected = 7;
        double value = 7;
        const char* first = text.data();
        const auto wanted = std::from_chars(first, first + text.size(), expected);
        const auto got = ReadDecimalText(first, first + text.size(), value);
        return wanted.ptr == got.ptr && wanted.ec == got.ec &&
               std::memcmp(&value, &expected, sizeof value) == 0;
    };
    for (const char* text : {"0",
                             "-0",
                             "-0.000",
                             "5.",
                             ".5",
                             "-.5",
                             ".",
                             "-",
                             "",
                             "1.2.3",
                             "0x10",
                             "1e5",
                             "2.5E-3",
                             "9007199254740992",
                             "9007199254740993",
                             "12345678901234567890",
                             "0.1234567890123456789",
                             "0.00000000000000000000001",
                             "1234.5678\t99",
                             "17,5",
                             "3 4"}) {
        EXPECT_TRUE(same(text)) << text;
    }
    std::mt19937_64 random(26);
    const char characters[] = "0123456789.-e";
    for (int i = 0; i < 300000; ++i) {
        std::string text;
        for (int n = 1 + static_cast<int>(random() % 24); n > 0; --n) {
            text += characters[random() % (sizeof characters - 1)];
        }
        ASSERT_TRUE(same(text)) << text;
        char printed[64];
        const double value =
            std::ldexp(static_cast<double>(random() >> 11), -static_cast<int>(random() % 90)) *
            (random() % 2 ? -1 : 1);
        std::snprintf(printed, sizeof printed, "%.*f", static_cast<int>(random() % 20), value);
        ASSERT_TRUE(same(printed)) << printed;
        std::snprintf(printed, sizeof printed, "%.*g", 1 + static_cast<int>(random() % 19), value);
        ASSERT_TRUE(same(printed)) << printed;
    }
}

#ifdef __GLIBC__
// Against glibc itself, on texts made of the pieces that numbers are made of: the same length
// read and the same bits.
TEST(NumberReading, AgreesWithGlibcOnRandomTexts) {
    const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    const char* pieces[] = {"0",   "1",   "9",    "5", ".",  "e",   "E",   "p",
                            "x",   "X",   "+",    "-", " ",  "inf", "INF", "inity",
                            "nan", "(",   "a_1)", ")", "a",  "f",   "0x",  "1e308",
                            "e-",  "999", "0000", ",", "\t", "n",   "i"};
    std::mt19937 random(28);
    for (int i = 0; i < 200000; ++i) {
        std::string text;
        for (int n = 1 + random() % 6; n > 0; --n) text += pieces[random() % std::size(pieces)];
        char* end = nullptr;
        const double expected = strtod_l(text.c_str(), &end, c);
        double value = 0;
        const char* ours = ReadCLocaleNumber(text.c_str(), value);
        ASSERT_EQ(ours - text.c_str(), end - text.c_str()) << text;
        if (ours == text.c_str()) continue;
        if (std::isnan(expected)) {
            ASSERT_TRUE(std::isnan(value)) << text;
        } else {
            ASSERT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << text;
        }
    }
    freelocale(c);
}
#endif

}  // namespace
