// The point list's validation: first fault only, its message and the index of the point.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "TestHost.h"

namespace {

struct Verdict {
    CString message;
    int point;
};

Verdict Validate(const std::vector<Point>& points, int startIndex = -7) {
    TestHost host;
    CInternalData data(*host.setup, host.motion);
    SetPoints(data, points);
    SetReadLimits(data);
    int index = startIndex;
    CString message = data.ValidatePoints(index);
    return {message, index};
}

const char* kCount = "Invalid number of points. You should have at least 2 points.";
const char* kFirst = "Invalid values for first point. It should be (P, t)(0) = (0, 0).";
const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(PointValidation, ListAsAWhole) {
    Verdict v = Validate({{0, 0}});
    EXPECT_STREQ(v.message, kCount);
    EXPECT_EQ(v.point, 0);

    EXPECT_STREQ(Validate({}).message, kCount);

    // Arrays of unequal length are reported as a bad count even with two points or more.
    TestHost host;
    CInternalData data(*host.setup, host.motion);
    SetPoints(data, {{0, 0}, {1, 1}, {2, 2}});
    data.m_Position.RemoveValueAt(2, 1);
    int index = 5;
    EXPECT_STREQ(data.ValidatePoints(index), kCount);
    EXPECT_EQ(index, 0);

    v = Validate({{3, 0}, {5, 10}, {0, 0}});
    EXPECT_STREQ(v.message, kFirst);
    EXPECT_EQ(v.point, 0);
    EXPECT_STREQ(Validate({{0, 2.5}, {1, 10}}).message, kFirst);
    EXPECT_STREQ(Validate({{kNaN, 0}, {1, 10}}).message, kFirst);
}

TEST(PointValidation, ValidListLeavesIndexAlone) {
    Verdict v = Validate({{0, 0}, {2147483647.0, 1}, {0, 65536}}, 42);
    EXPECT_STREQ(v.message, "");
    EXPECT_EQ(v.point, 42);
}

TEST(PointValidation, TimeBoundsAndOrder) {
    Verdict v = Validate({{0, 0}, {0, -1}});
    EXPECT_STREQ(v.message, "Time value is out of bounds.");
    EXPECT_EQ(v.point, 1);

    v = Validate({{0, 0}, {0, 60000}, {0, 120000}, {0, 2147483647.0}});
    EXPECT_STREQ(v.message, "Time value is out of bounds.");
    EXPECT_EQ(v.point, 3);

    // The maximum itself is allowed; the step to it is what fails next.
    v = Validate({{0, 0}, {0, 2147483646.0}});
    EXPECT_STREQ(v.message, "Time value of point 1 is too distant from the previous point");

    v = Validate({{0, 0}, {0, 10}, {0, 10}});
    EXPECT_STREQ(v.message, "Time value of point 2 is identical with previous point.");
    EXPECT_EQ(v.point, 2);
    EXPECT_EQ(Validate({{0, 0}, {0, 10}, {0, 5}}).point, 2);

    EXPECT_STREQ(Validate({{0, 0}, {0, 65535}}).message, "");
    v = Validate({{0, 0}, {0, 65536}});
    EXPECT_STREQ(v.message, "Time value of point 1 is too distant from the previous point");
    EXPECT_EQ(v.point, 1);
}

// The program truncates times to whole IU: times that differ only below one IU would give a
// segment of no time. Pairs that truncate apart still pass.
TEST(PointValidation, TimesThatTruncateTogether) {
    struct Case {
        std::vector<Point> points;
        int badPoint;  // -7: valid
    };
    const Case cases[] = {
        {{{0, 0}, {0, 0.5}}, 1},
        {{{0, 0}, {0, 0.5}, {0, 1.5}}, 1},
        {{{0, 0}, {0, 1}, {0, 1.99}}, 2},
        {{{0, 0}, {0, 3}, {0, 3.25}, {0, 7}}, 2},
        {{{0, 0}, {0, 1.5}, {0, 2}}, -7},
        {{{0, 0}, {0, 0.999}, {0, 1}}, 1},
        {{{0, 0}, {0, 1}, {0, 2.5}, {0, 3}}, -7},
        {{{0, 0}, {0, 1.5}, {0, 65536.4}}, -7},
    };
    for (const Case& c : cases) {
        const Verdict v = Validate(c.points);
        SCOPED_TRACE(c.points.back().second);
        EXPECT_EQ(v.point, c.badPoint);
        if (c.badPoint > 0) {
            CString expected;
            expected.Format("Time value of point %d is identical with previous point.", c.badPoint);
            EXPECT_STREQ(v.message, expected);
        }
    }
}

TEST(PointValidation, PositionSteps) {
    EXPECT_STREQ(Validate({{0, 0}, {-2147483647.0, 1}}).message, "");
    Verdict v = Validate({{0, 0}, {-2147483648.0, 1}});
    EXPECT_STREQ(v.message, "Position value of point 1 is too far away from the previous point");
    EXPECT_EQ(v.point, 1);

    // Steps count, not absolute values: far from the origin is fine in small steps.
    EXPECT_STREQ(Validate({{0, 0}, {2e9, 1}, {4e9, 2}, {6e9, 3}}).message, "");

    // Both steps too large: the time is reported.
    v = Validate({{0, 0}, {0, 1}, {5e9, 70000}});
    EXPECT_STREQ(v.message, "Time value of point 2 is too distant from the previous point");
}

// Every comparison with NaN is false, so a naive test lets NaN through to the drive.
TEST(PointValidation, NaNNeverPasses) {
    Verdict v = Validate({{0, 0}, {0, 10}, {0, kNaN}});
    EXPECT_STREQ(v.message, "Time value is out of bounds.");
    EXPECT_EQ(v.point, 2);

    v = Validate({{0, 0}, {5, 10}, {kNaN, 20}});
    EXPECT_STREQ(v.message, "Position value of point 2 is too far away from the previous point");
    EXPECT_EQ(v.point, 2);

    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Validate({{0, 0}, {inf, 10}}).point, 1);
}

}  // namespace
