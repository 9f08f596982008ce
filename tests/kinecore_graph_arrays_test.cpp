// The graph's data: the palette, value arrays, the curve array and the filter that own curves.
#include <GraphWindow.h>
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <vector>

namespace {

std::vector<double> Values(const CFloatArray& array) {
    std::vector<double> values;
    for (int i = 0; i < array.GetSize(); ++i) values.push_back(array.GetAt(i));
    return values;
}

TEST(GraphPalette, SixteenDistinctColoursAndTheGraphsOwn) {
    std::set<COLORREF> colours;
    for (int i = 0; i < 16; ++i) colours.insert(RGB16(static_cast<tagColorRef16>(i)));
    EXPECT_EQ(colours.size(), 16u);
    EXPECT_EQ(RGB16(CR16_BLACK), RGB(0, 0, 0));
    EXPECT_EQ(RGB16(CR16_RED), RGB(255, 0, 0));
    EXPECT_EQ(RGB16(CR16_DARKBLUE), RGB(0, 0, 128));
    EXPECT_EQ(RGB16(CR16_WHITE), RGB(255, 255, 255));
    // A curve must stand out from the grid and the background it is drawn on.
    const COLORREF curve = RGB16(CR16_CURVE);
    const COLORREF grid = RGB16(CR16_GRID);
    const COLORREF background = RGB16(CR16_BACKGROUND);
    EXPECT_NE(curve, grid);
    EXPECT_NE(curve, background);
    EXPECT_NE(grid, background);
}

TEST(FloatArray, GrowsShrinksInsertsAndRemoves) {
    CFloatArray array;
    array.SetSize(3, -1);
    EXPECT_EQ(Values(array), (std::vector<double>{0, 0, 0}));
    array.SetAt(0, 1.5);
    array[2] = -2;
    array.InsertAt(1, 7, 2);
    EXPECT_EQ(Values(array), (std::vector<double>{1.5, 7, 7, 0, -2}));
    array.InsertAt(5, 9);  // the end appends
    array.RemoveAt(1, 2);
    EXPECT_EQ(Values(array), (std::vector<double>{1.5, 0, -2, 9}));
    array.SetSize(2, 16);
    EXPECT_EQ(Values(array), (std::vector<double>{1.5, 0}));
    array.InsertAt(4, 3);  // past the end: zeros up to it
    EXPECT_EQ(Values(array), (std::vector<double>{1.5, 0, 0, 0, 3}));
    const CFloatArray& constant = array;
    EXPECT_EQ(constant[4], 3);
    array.SetSize(-1);
    EXPECT_EQ(array.GetSize(), 0);
}

TEST(FloatArray, IndexesOutsideTheArrayThrow) {
    CFloatArray array;
    array.SetSize(2);
    EXPECT_THROW(array.GetAt(2), std::out_of_range);
    EXPECT_THROW(array.SetAt(-1, 0), std::out_of_range);
    EXPECT_THROW(array[2] = 1, std::out_of_range);
    EXPECT_THROW(array.InsertAt(-1, 0), std::out_of_range);
    EXPECT_THROW(array.RemoveAt(1, 2), std::out_of_range);
    EXPECT_THROW(array.RemoveAt(-1, 1), std::out_of_range);
    EXPECT_EQ(Values(array), (std::vector<double>{0, 0}));
}

// Curves that count their deletions, to see who deletes them.
struct CountedCurve : CCurve {
    explicit CountedCurve(int& deleted) : CCurve(0, -1), m_deleted(deleted) {}
    ~CountedCurve() override { ++m_deleted; }
    int& m_deleted;
};

struct CountedXYCurve : CXYCurve {
    explicit CountedXYCurve(int& deleted) : m_deleted(deleted) {}
    ~CountedXYCurve() override { ++m_deleted; }
    int& m_deleted;
};

TEST(CurveArray, HoldsItsCurvesInOrderAndDeletesThem) {
    int deleted = 0;
    {
        CCurveArray curves;
        auto* times = new CountedCurve(deleted);
        auto* positions = new CountedCurve(deleted);
        EXPECT_EQ(curves.Add(times), 0);
        EXPECT_EQ(curves.Add(positions), 1);
        EXPECT_EQ(curves.GetSize(), 2);
        EXPECT_EQ(curves.GetAt(1), positions);
        EXPECT_EQ(curves.GetAt(0)->m_nKind, 0);
        EXPECT_EQ(curves.GetAt(0)->m_nSource, -1);
        EXPECT_THROW(curves.GetAt(2), std::out_of_range);
        EXPECT_EQ(deleted, 0);
    }
    EXPECT_EQ(deleted, 2);
}

TEST(GraphFilter, TakesItsTextsAndDeletesItsXYCurvesButNotTheCurveArray) {
    int deletedXY = 0;
    int deletedCurves = 0;
    CCurveArray curves;
    curves.Add(new CountedCurve(deletedCurves));
    {
        CGraphFilter filter(nullptr, "trajectory", "Time", "Position");
        EXPECT_EQ(filter.m_strName, "trajectory");
        EXPECT_EQ(filter.m_strXTitle, "Time");
        EXPECT_EQ(filter.m_strTitle, "Position");
        filter.m_pCurves = &curves;
        EXPECT_EQ(filter.Add(new CountedXYCurve(deletedXY)), 0);
        EXPECT_EQ(filter.Add(new CountedXYCurve(deletedXY)), 1);
        EXPECT_EQ(filter.GetCount(), 2);
    }
    EXPECT_EQ(deletedXY, 2);
    EXPECT_EQ(deletedCurves, 0);

    CGraphFilter unnamed(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(unnamed.m_strName, "");
    EXPECT_EQ(unnamed.m_strTitle, "");
    EXPECT_EQ(unnamed.GetCount(), 0);
    EXPECT_EQ(unnamed.m_pCurves, nullptr);
}

}  // namespace
