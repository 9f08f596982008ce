// The readable form of a value is what "%.6g" prints, the C library's own formatting: a table of
// millions of values is formatted by a faster route of its own, which must agree with it to the
// byte, at every magnitude and at the roundings where a faster route goes wrong.
#include <NumberText.h>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace {

std::string Printf(double value) {
    if (value == 0.0) value = 0.0;  // no "-0" for people
    char text[64];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

void ExpectReadable(double value) {
    char buffer[kNumberTextSize];
    ASSERT_EQ(FormatReadable(value, buffer), Printf(value)) << std::hexfloat << value;
    // A table's column that is headed wider than this takes no measuring.
    ASSERT_LE(Printf(value).size(), kReadableMaxSize) << std::hexfloat << value;
    ASSERT_EQ(FormatReadable(value), Printf(value)) << std::hexfloat << value;
}

// Both signs and the neighbours of each value, one step of a double away.
void ExpectReadableAround(double value) {
    for (const double v : {value, -value}) {
        ExpectReadable(v);
        ExpectReadable(std::nextafter(v, 0.0));
        ExpectReadable(std::nextafter(v, 2 * v));
    }
}

TEST(ReadableNumber, RoundingAtHalvesPowersOfTenAndTheFormsBorders) {
    const double cases[] = {
        0.0, 1.0, 180.0, 1.0 / 3.0, 2.0 / 3.0, 0.1, 0.5, 1.5,
        // Exact halves beyond the sixth digit round to even, in either form.
        1234565.0, 1234575.0, 123456.5, 123457.5, 999999.5, 999998.5, 0.0078125,
        1.00000050000000000, 2.5e-6, 0.30517578125,
        // Rounding up across a power of ten, which moves the exponent and may change the form.
        9.999995, 9.9999949999, 99999.95, 999999.4999, 0.000099999949, 0.0000999999500001,
        9.99999e-5, 1e-4, 1e-5, 1e5, 1e6, 999999.0, 100000.0,
        // The powers of ten that the fast route scales by, and beyond them.
        1e-17, 1e-18, 1e22, 1e23, 1e27, 1e28, 1e100, 1e-100, 123456789012345678901234.0,
        std::numeric_limits<double>::max(), std::numeric_limits<double>::min(),
        std::numeric_limits<double>::denorm_min(), 4.9406564584124654e-320,
        std::numeric_limits<double>::infinity()};
    for (const double value : cases) ExpectReadableAround(value);
    ExpectReadable(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(FormatReadable(-1.234567e-100).size(), kReadableMaxSize);
    for (int exponent = -30; exponent <= 30; ++exponent) {
        ExpectReadableAround(std::pow(10.0, exponent));
        ExpectReadableAround(9.999995 * std::pow(10.0, exponent));
        ExpectReadableAround(1.234565 * std::pow(10.0, exponent));
    }
}

TEST(ReadableNumber, AgreesWithPrintfOnRandomValuesAndTableFigures) {
    std::mt19937_64 random(18);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-25, 30);
    for (int i = 0; i < 200000; ++i) {
        ExpectReadable(mantissa(random) * std::pow(10.0, exponent(random)));
        ExpectReadable(-mantissa(random) * std::pow(10.0, exponent(random)));
    }
    // Whole bit patterns: any double at all, subnormals and huge ones included.
    for (int i = 0; i < 100000; ++i) {
        const double value = std::bit_cast<double>(random());
        if (!std::isnan(value)) ExpectReadable(value);
    }
    // What a table shows: IU counts in units of short decimal factors, and their quotients,
    // where six-digit values and exact halves are common.
    for (long iu = -200000; iu <= 200000; iu += 7) {
        ExpectReadable(static_cast<double>(iu));
        ExpectReadable(iu * 0.8e-3);
        ExpectReadable(iu / 4000.0);
        ExpectReadable(iu * 0.09);
        ExpectReadable(iu / 4000.0 / (0.8e-3 * 13));
    }
}

}  // namespace
