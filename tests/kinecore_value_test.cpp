#include <MC_Value.h>
#include <VarType.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

double Reduced(tagVarType type, double value) {
    CMC_Value holder;
    holder.SetValue(type, value);
    return holder.GetValue(type);
}

// A value stored in a drive variable of each type: rounded (ties away from zero), fixed-point
// with sixteen fraction bits, then clamped to the type's range.
TEST(CMC_Value, RoundsThenClampsToEachType) {
    const double step = 1.0 / 65536;
    struct Case {
        tagVarType type;
        double value;
        double stored;
    };
    const Case cases[] = {
        {VAR_INT, 2.5, 3.0},
        {VAR_INT, -2.5, -3.0},
        {VAR_INT, 2.4999, 2.0},
        // Just below a half is no tie: adding 0.5 and cutting off would round these up.
        {VAR_LONG, 0.49999999999999994, 0.0},
        {VAR_LONG, -0.49999999999999994, 0.0},
        {VAR_LONG, 1.4999999999999998, 1.0},
        {VAR_LONG, 2.5000000000000004, 3.0},
        {VAR_LONG, 2147483646.5, 2147483647.0},
        {VAR_LONG, -2147483647.5, -2147483648.0},
        {VAR_FIXED, 32767.0 + 1.5 * step, 32767.0 + 2 * step},
        {VAR_LONG, 0.5, 1.0},
        {VAR_LONG, -0.5, -1.0},
        {VAR_UINT, 7.5, 8.0},
        {VAR_FIXED, 1.25, 1.25},
        {VAR_FIXED, step * 0.5, step},
        {VAR_FIXED, -step * 0.5, -step},
        {VAR_FIXED, step * 0.49, 0.0},
        {VAR_FIXED, 0.1, std::round(0.1 * 65536) / 65536},
        {VAR_INT, 40000, 32767.0},
        {VAR_INT, -40000, -32768.0},
        {VAR_UINT, -1, 0.0},
        {VAR_UINT, 70000, 65535.0},
        {VAR_LONG, 3e9, 2147483647.0},
        {VAR_LONG, -3e9, -2147483648.0},
        {VAR_FIXED, 40000, 32767.0 + 65535.0 / 65536},
        {VAR_FIXED, -40000, -32768.0},
        // Rounding comes first: 32767.4 rounds down inside the range, 32767.6 rounds out of it.
        {VAR_INT, 32767.4, 32767.0},
        {VAR_INT, 32767.6, 32767.0},
        {VAR_LONG, 1e300, 2147483647.0},
        {VAR_FIXED, std::numeric_limits<double>::max(), VarTypeMax(VAR_FIXED)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Reduced(c.type, c.value), c.stored) << VarTypeName(c.type) << " " << c.value;
}

TEST(CMC_Value, NanBecomesZeroAndInfinityClamps) {
    for (tagVarType type : {VAR_INT, VAR_UINT, VAR_LONG, VAR_FIXED}) {
        EXPECT_EQ(Reduced(type, std::nan("")), 0.0) << VarTypeName(type);
        EXPECT_EQ(Reduced(type, INFINITY), VarTypeMax(type)) << VarTypeName(type);
        EXPECT_EQ(Reduced(type, -INFINITY), VarTypeMin(type)) << VarTypeName(type);
    }
    EXPECT_FALSE(std::signbit(Reduced(VAR_INT, -0.2)));
}

TEST(CMC_Value, TypeNamesReadBack) {
    for (tagVarType type : {VAR_INT, VAR_UINT, VAR_LONG, VAR_FIXED}) {
        tagVarType parsed = VAR_INT;
        ASSERT_TRUE(ParseVarType(VarTypeName(type), parsed));
        EXPECT_EQ(parsed, type);
    }
    tagVarType untouched = VAR_UINT;
    EXPECT_FALSE(ParseVarType("float", untouched));
    EXPECT_FALSE(ParseVarType("Long", untouched));
    EXPECT_FALSE(ParseVarType(nullptr, untouched));
    EXPECT_EQ(untouched, VAR_UINT);
}

}  // namespace
