// The point list's validation: first fault only, its message and the index of the point.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "TestHost.h"

namespace {

const char* kCount = "Invalid number of points. You should have at least 2 points.";
const char* kFirst = "Invalid values for first point. It should be (P, t)(0) = (0, 0).";
const char* kTimeBounds = "Time value is out of bounds.";
const char* kSameTime1 = "Time value of point 1 is identical with previous point.";
const char* kSameTime2 = "Time value of point 2 is identical with previous point.";
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

struct Case {
    const char* what;
    std::vector<Point> points;
    const char* message;  // "" for a valid list
    int point;            // the index reported; -7, the caller's, when the list is valid
};

// Every comparison with NaN is false, so a naive test lets NaN through to the drive.
const Case kCases[] = {
    {"one point", {{0, 0}}, kCount, 0},
    {"no point", {}, kCount, 0},
    {"first point off the origin", {{3, 0}, {5, 10}, {0, 0}}, kFirst, 0},
    {"first time not 0", {{0, 2.5}, {1, 10}}, kFirst, 0},
    {"first position NaN", {{kNaN, 0}, {1, 10}}, kFirst, 0},
    {"largest values in reach", {{0, 0}, {2147483647.0, 1}, {0, 65536}}, "", -7},
    {"negative time", {{0, 0}, {0, -1}}, kTimeBounds, 1},
    {"time beyond the maximum",
     {{0, 0}, {0, 60000}, {0, 120000}, {0, 2147483647.0}},
     kTimeBounds,
     3},
    {"the maximum time, reached in one step",
     {{0, 0}, {0, 2147483646.0}},
     "Time value of point 1 is too distant from the previous point",
     1},
    {"same time twice", {{0, 0}, {0, 10}, {0, 10}}, kSameTime2, 2},
    {"time going back", {{0, 0}, {0, 10}, {0, 5}}, kSameTime2, 2},
    // The program truncates times to whole IU: times that differ only below one IU would give a
    // segment of no time. Pairs that truncate apart still pass.
    {"0.5 truncates to the start", {{0, 0}, {0, 0.5}}, kSameTime1, 1},
    {"0.5 before 1.5", {{0, 0}, {0, 0.5}, {0, 1.5}}, kSameTime1, 1},
    {"1.99 after 1", {{0, 0}, {0, 1}, {0, 1.99}}, kSameTime2, 2},
    {"3.25 after 3", {{0, 0}, {0, 3}, {0, 3.25}, {0, 7}}, kSameTime2, 2},
    {"0.999 truncates to the start", {{0, 0}, {0, 0.999}, {0, 1}}, kSameTime1, 1},
    {"1.5 then 2", {{0, 0}, {0, 1.5}, {0, 2}}, "", -7},
    {"2.5 then 3", {{0, 0}, {0, 1}, {0, 2.5}, {0, 3}}, "", -7},
    {"65536.4 after 1.5", {{0, 0}, {0, 1.5}, {0, 65536.4}}, "", -7},
    {"longest time step", {{0, 0}, {0, 65535}}, "", -7},
    {"time step one too long",
     {{0, 0}, {0, 65536}},
     "Time value of point 1 is too distant from the previous point",
     1},
    {"largest negative position step", {{0, 0}, {-2147483647.0, 1}}, "", -7},
    {"position step one too long",
     {{0, 0}, {-2147483648.0, 1}},
     "Position value of point 1 is too far away from the previous point",
     1},
    {"far from the origin in small steps", {{0, 0}, {2e9, 1}, {4e9, 2}, {6e9, 3}}, "", -7},
    {"both steps too long: the time is reported",
     {{0, 0}, {0, 1}, {5e9, 70000}},
     "Time value of point 2 is too distant from the previous point",
     2},
    {"time NaN", {{0, 0}, {0, 10}, {0, kNaN}}, kTimeBounds, 2},
    {"position NaN",
     {{0, 0}, {5, 10}, {kNaN, 20}},
     "Position value of point 2 is too far away from the previous point",
     2},
    {"position infinite",
     {{0, 0}, {kInf, 10}},
     "Position value of point 1 is too far away from the previous point",
     1},
};

TEST(PointValidation, FirstFaultAndItsPoint) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        TestHost host;
        CInternalData data(*host.setup, host.motion);
        SetPoints(data, c.points);
        SetReadLimits(data, host);
        int index = -7;
        EXPECT_STREQ(data.ValidatePoints(index), c.message);
        EXPECT_EQ(index, c.point);
    }
}

// Arrays of unequal length are reported as a bad count even with two points or more.
TEST(PointValidation, ArraysOfUnequalLength) {
    TestHost host;
    CInternalData data(*host.setup, host.motion);
    SetPoints(data, {{0, 0}, {1, 1}, {2, 2}});
    data.m_Position.RemoveValueAt(2, 1);
    int index = 5;
    EXPECT_STREQ(data.ValidatePoints(index), kCount);
    EXPECT_EQ(index, 0);
}

}  // namespace
