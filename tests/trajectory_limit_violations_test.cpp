// The segments of a preview that exceed the drive's limits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LimitViolations.h"
#include "TrajectoryPreview.h"

namespace {

// Points (0,0), then steps of 100 time IU; two steps move faster than the rest.
TEST(LimitViolations, TableExceedingTheSpeedInExactlyTwoSegments) {
    const std::vector<double> moves = {100, 100, 100, 400, 100, 100, 100, 400, 100, 100};
    std::vector<double> times = {0}, positions = {0};
    for (double move : moves) {
        times.push_back(times.back() + 100);
        positions.push_back(positions.back() + move);
    }
    TrajectoryPreview preview;
    std::string error;
    ASSERT_TRUE(preview.Build(times, positions, error));
    const MotionFigures figures = MotionFigures::Of(preview);
    // Average 4 in the fast ones; their neighbours run up to 2.5 at their ends and peak just
    // below 3. A limit of 3.5 catches the fast ones only, by their peak inside.
    MotionLimits limits;
    limits.maxSpeed = 3.5;
    const std::vector<LimitViolation> violations = FindLimitViolations(figures, limits);
    ASSERT_EQ(violations.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const int segment = i == 0 ? 3 : 7;
        EXPECT_EQ(violations[i].quantity, MotionQuantity::Speed);
        EXPECT_EQ(violations[i].segment, segment);
        EXPECT_EQ(violations[i].value, figures.segments[static_cast<size_t>(segment)].peakSpeed);
        EXPECT_EQ(violations[i].limit, 3.5);
    }
    // An acceleration limit adds its own entries, in segment order after the speed's.
    limits.maxAcceleration = figures.peakAcceleration.value * 0.999;
    const std::vector<LimitViolation> both = FindLimitViolations(figures, limits);
    ASSERT_GE(both.size(), 3u);
    int accelerations = 0;
    for (size_t i = 1; i < both.size(); ++i) EXPECT_LE(both[i - 1].segment, both[i].segment);
    for (const LimitViolation& v : both) {
        accelerations += v.quantity == MotionQuantity::Acceleration;
    }
    EXPECT_GE(accelerations, 1);
    EXPECT_TRUE(FindLimitViolations(figures, {}).empty());
}

}  // namespace
