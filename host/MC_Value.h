// The drive's variable types, and a value as such a variable holds it. The rule that reduces a
// value to its type is inline: an import reduces every value of a table of a million points
// several times, and the array parameters' conversions below use it.
#pragma once

#include <cmath>

enum tagVarType {
    VAR_INT,    // 16-bit signed
    VAR_UINT,   // 16-bit unsigned
    VAR_LONG,   // 32-bit signed
    VAR_FIXED,  // 16.16 fixed point, signed
};

// x rounded to the nearest whole number, halves away from zero. std::round is a library call:
// below 2^52 the fraction x - trunc(x) is exact, and above it every double is whole already.
// Without branches, for the fractions of measured values fall either way at random.
inline double NearestWhole(double x) {
    if (!(std::fabs(x) < 4503599627370496.0)) return x;
    const double whole = static_cast<double>(static_cast<long long>(x));
    const double fraction = x - whole;
    return whole + static_cast<double>(fraction >= 0.5) - static_cast<double>(fraction <= -0.5);
}

// A display value within this many IU of a whole count stands for that count.
inline constexpr double kWholeCountTolerance = 1e-6;

constexpr double VarTypeMin(tagVarType type) {
    switch (type) {
        case VAR_INT:
        case VAR_FIXED:
            return -32768.0;
        case VAR_UINT:
            return 0.0;
        case VAR_LONG:
            return -2147483648.0;
    }
    return 0.0;
}

constexpr double VarTypeMax(tagVarType type) {
    switch (type) {
        case VAR_INT:
            return 32767.0;
        case VAR_UINT:
            return 65535.0;
        case VAR_LONG:
            return 2147483647.0;
        case VAR_FIXED:
            return 2147483647.0 / 65536.0;
    }
    return 0.0;
}

namespace var_type_detail {
// What ReduceToVarType looks up of a type: a table instead of the switches above, for the
// conversions of a long table reduce every value; the last entry stands for any other number.
struct Reduction {
    double steps;     // a step is 1 / steps
    double stepSize;  // 1 / steps, exact: a power of two
    double min;
    double max;
};
inline constexpr Reduction kReductions[] = {
    {1.0, 1.0, VarTypeMin(VAR_INT), VarTypeMax(VAR_INT)},
    {1.0, 1.0, VarTypeMin(VAR_UINT), VarTypeMax(VAR_UINT)},
    {1.0, 1.0, VarTypeMin(VAR_LONG), VarTypeMax(VAR_LONG)},
    {65536.0, 1.0 / 65536.0, VarTypeMin(VAR_FIXED), VarTypeMax(VAR_FIXED)},  // 16 bits
    {1.0, 1.0, 0.0, 0.0}};
}  // namespace var_type_detail

// Rounded to the type's step (ties away from zero), then clamped to its range; NaN becomes 0.
inline double ReduceToVarType(tagVarType type, double value) {
    if (std::isnan(value)) return 0.0;
    const unsigned index = static_cast<unsigned>(type);
    const var_type_detail::Reduction& reduction =
        var_type_detail::kReductions[index < 4 ? index : 4];
    // Scaling by a power of two is exact, so only the rounding rounds; multiplying by the inverse
    // power of two is as exact as dividing, and much quicker.
    double reduced = NearestWhole(value * reduction.steps) * reduction.stepSize;
    if (reduced < reduction.min) reduced = reduction.min;
    if (reduced > reduction.max) reduced = reduction.max;
    return reduced == 0.0 ? 0.0 : reduced;  // no negative zero
}

// A number as a drive variable of a given type holds it (ReduceToVarType).
class CMC_Value {
public:
    CMC_Value() = default;
    void SetValue(tagVarType type, double value) { m_value = ReduceToVarType(type, value); }
    double GetValue(tagVarType type) const { return ReduceToVarType(type, m_value); }

private:
    double m_value = 0.0;
};
