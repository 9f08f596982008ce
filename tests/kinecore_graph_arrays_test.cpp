// The graph's data: the palette, value arrays, and the containers that delete their curves.
#include <GraphPalette.h>
#include <GraphWindow.h>
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <stdexcept>
#include <vector>

namespace {

std::vector<double> Values(const CFloatArray& array) {
    std::vector<double> values;
    for (int i = 0; i < array.GetSize(); ++i) values.push_back(array.GetAt(i));
    return values;
}

TEST(GraphPalette, SixteenDistinctColoursAndACurveThatStandsOut) {
    std::set<COLORREF> colours;
    for (int i = 0; i < 16; ++i) colours.insert(RGB16(static_cast<tagColorRef16>(i)));
    EXPECT_EQ(colours.size(), 16u);
    EXPECT_EQ(RGB16(CR16_RED), RGB(255, 0, 0));
    EXPECT_EQ(RGB16(CR16_WHITE), RGB(255, 255, 255));
    EXPECT_NE(RGB16(CR16_CURVE), RGB16(CR16_GRID));
    EXPECT_NE(RGB16(CR16_CURVE), RGB16(CR16_BACKGROUND));
}

TEST(FloatArray, GrowsShrinksInsertsRemovesAndRefusesBadIndexes) {
    CFloatArray array;
    array.SetSize(3, -1);
    array.SetAt(0, 1.5);
    array.SetAt(2, -2);
    array.InsertAt(1, 7, 2);
    EXPECT_EQ(Values(array), (std::vector<double>{1.5, 7, 7, 0, -2}));
    array.RemoveAt(1, 2);
    array.SetSize(2, 16);
    array.InsertAt(4, 3);  // past the end: zeros up to it
    EXPECT_EQ(Values(array), (std::vector<double>{1.5, 0, 0, 0, 3}));
    EXPECT_THROW(array.GetAt(5), std::out_of_range);
    EXPECT_THROW(array.SetAt(-1, 1), std::out_of_range);
    EXPECT_THROW(array.RemoveAt(4, 2), std::out_of_range);
    EXPECT_EQ(array.GetSize(), 5);
}

struct CountedCurve : CCurve {
    explicit CountedCurve(int& deleted) : m_deleted(deleted) {}
    ~CountedCurve() override { ++m_deleted; }
    int& m_deleted;
};

struct CountedXYCurve : CXYCurve {
    explicit CountedXYCurve(int& deleted) : m_deleted(deleted) {}
    ~CountedXYCurve() override { ++m_deleted; }
    int& m_deleted;
};

// The extent is kept up as values change; it must always be what a pass from the first value
// gives, bit for bit (a tie between 0 and -0 keeps the one that came first).
TEST(FloatArray, KeptExtentIsAlwaysWhatAPassGives) {
    std::mt19937 random(5);
    auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    // Few distinct values, so that ties with the bounds are frequent; in every other step only
    // zeros of both signs and one, so that the bounds are often zeros.
    const double values[] = {-0.0, 0, 1, -3, -1, 0.5, 2, 1e300};
    int step = 0;
    auto value = [&] { return values[pick(0, step % 2000 < 1000 ? 2 : 7)]; };
    CFloatArray array;
    double low = 0, high = 0;
    EXPECT_FALSE(array.GetExtent(low, high));
    for (; step < 20000; ++step) {
        const int size = array.GetSize();
        switch (pick(0, 4)) {
            case 0:
                array.InsertAt(pick(0, size), value());
                break;
            case 1:
                if (size > 0) array.RemoveAt(pick(0, size - 1));
                break;
            case 2:
                if (size > 0) array.SetAt(pick(0, size - 1), value());
                break;
            case 3:
                if (pick(0, 50) == 0) array.SetSize(pick(0, size + 3));
                break;
            default:
                array.InsertAt(pick(0, size), value(), pick(0, 2));
                break;
        }
        if (array.GetSize() == 0) {
            EXPECT_FALSE(array.GetExtent(low, high));
            continue;
        }
        double passLow = array.GetAt(0), passHigh = passLow;
        for (int i = 0; i < array.GetSize(); ++i) {
            passLow = std::min(passLow, array.GetAt(i));
            passHigh = std::max(passHigh, array.GetAt(i));
        }
        ASSERT_TRUE(array.GetExtent(low, high));
        ASSERT_EQ(std::memcmp(&low, &passLow, sizeof low), 0) << "step " << step;
        ASSERT_EQ(std::memcmp(&high, &passHigh, sizeof high), 0) << "step " << step;
    }
}

TEST(CurveContainers, EachDeletesWhatItHoldsAndNothingElse) {
    int deletedCurves = 0, deletedXY = 0;
    {
        CCurveArray curves;
        EXPECT_EQ(curves.Add(new CountedCurve(deletedCurves)), 0);
        EXPECT_EQ(curves.Add(new CountedCurve(deletedCurves)), 1);
        {
            CGraphFilter filter;
            filter.m_pCurves = &curves;
            EXPECT_EQ(filter.Add(new CountedXYCurve(deletedXY)), 0);
            EXPECT_EQ(filter.Add(new CountedXYCurve(deletedXY)), 1);
        }
        EXPECT_EQ(deletedXY, 2);
        EXPECT_EQ(deletedCurves, 0);  // the filter only refers to the curve array
    }
    EXPECT_EQ(deletedCurves, 2);
}

}  // namespace
