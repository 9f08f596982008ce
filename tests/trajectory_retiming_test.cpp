// Retiming on motions whose answers are known, and its results checked against the limits by
// sampling the preview's position with finite differences, not by the figures it steered by.
#include <MotionFigures.h>
#include <Retiming.h>
#include <TrajectoryPreview.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

struct Sampled {
    double speed = 0, acceleration = 0, jerk = 0;
};

// The largest |v|, |a| and |j| from differences of positions a small step apart inside each
// segment (never across a point, where the acceleration and the jerk jump).
Sampled SampledPeaks(const std::vector<double>& times, const std::vector<double>& positions) {
    CTrajectoryPreview preview;
    std::string error;
    EXPECT_TRUE(preview.Build(times, positions, error)) << error;
    Sampled peaks;
    for (const CubicSegment& segment : preview.GetSegments()) {
        const double h = segment.duration / 400;
        for (int k = 0; k <= 400; ++k) {
            // The centre of a four-point stencil, kept inside the segment.
            const double tau = std::clamp(k * h, 1.5 * h, segment.duration - 1.5 * h);
            const double p[4] = {
                segment.PositionAt(tau - 1.5 * h), segment.PositionAt(tau - 0.5 * h),
                segment.PositionAt(tau + 0.5 * h), segment.PositionAt(tau + 1.5 * h)};
            const double v = (p[2] - p[1]) / h;
            const double a = (p[3] - p[2] - p[1] + p[0]) / (2 * h * h);
            const double j = (p[3] - 3 * p[2] + 3 * p[1] - p[0]) / (h * h * h);
            peaks.speed = std::max(peaks.speed, std::abs(v));
            peaks.acceleration = std::max(peaks.acceleration, std::abs(a));
            peaks.jerk = std::max(peaks.jerk, std::abs(j));
        }
    }
    return peaks;
}

void ExpectHolds(const std::vector<double>& times, const std::vector<double>& positions,
                 const RetimeLimits& limits, const std::string& where) {
    const Sampled peaks = SampledPeaks(times, positions);
    if (limits.maxSpeed) {
        EXPECT_LE(peaks.speed, *limits.maxSpeed * (1 + 1e-6)) << where;
    }
    if (limits.maxAcceleration) {
        EXPECT_LE(peaks.acceleration, *limits.maxAcceleration * (1 + 1e-3)) << where;
    }
    if (limits.maxJerk) {
        EXPECT_LE(peaks.jerk, *limits.maxJerk * (1 + 1e-3)) << where;
    }
}

double Duration(const Retiming& retiming) { return retiming.times.back(); }

TEST(Retiming, SingleSegmentOneAndAHalfTimesTooFast) {
    // From rest to rest the speed peaks at 1.5 times the average: 22.5 IU per time IU, 1.5 times
    // the limit of 15; 150 time IU bring it down to 15 exactly.
    const std::vector<double> times = {0, 100}, positions = {0, 1500};
    const RetimeLimits limits{15.0, {}, {}};
    for (const bool uniform : {false, true}) {
        Retiming result;
        std::string error;
        ASSERT_TRUE(uniform ? RetimeUniformly(times, positions, limits, false, result, error)
                            : RetimeBySegment(times, positions, limits, result, error))
            << error;
        EXPECT_EQ(result.times, (std::vector<double>{0, 150})) << uniform;
        EXPECT_EQ(result.segmentsChanged, std::vector<int>{0});
        ExpectHolds(result.times, positions, limits, "single segment");
    }
    // The least: one IU less breaks the limit.
    Retiming shorter;
    std::string error;
    ASSERT_TRUE(ScaleToDuration(times, 149, shorter, error));
    EXPECT_GT(SampledPeaks(shorter.times, positions).speed, 15);
}

TEST(Retiming, MotionWithinItsLimitsIsLeftAsItIs) {
    // Fractional times stay as they are: nothing needs to change.
    const std::vector<double> times = {0, 12.5, 25, 37.5, 50}, positions = {0, 10, 40, 70, 80};
    const RetimeLimits limits{10.0, 1.0, 1.0};
    Retiming perSegment, uniform;
    std::string error;
    ASSERT_TRUE(RetimeBySegment(times, positions, limits, perSegment, error));
    ASSERT_TRUE(RetimeUniformly(times, positions, limits, false, uniform, error));
    for (const Retiming* result : {&perSegment, &uniform}) {
        EXPECT_FALSE(result->changed);
        EXPECT_EQ(result->times, times);
        EXPECT_TRUE(result->segmentsChanged.empty());
    }
}

// Every segment moves too fast: no segment can be left alone, and the per-segment retiming is
// no longer than the uniform one. The acceleration limit, which held before, holds after.
TEST(Retiming, LimitThatEverySegmentExceedsTakesNoLongerThanUniform) {
    std::vector<double> times = {0}, positions = {0};
    for (int i = 1; i <= 20; ++i) {
        times.push_back(100.0 * i);
        positions.push_back(300.0 * i);
    }
    const RetimeLimits limits{2.0, 0.2, {}};
    Retiming perSegment, uniform;
    std::string error;
    ASSERT_TRUE(RetimeBySegment(times, positions, limits, perSegment, error)) << error;
    ASSERT_TRUE(RetimeUniformly(times, positions, limits, false, uniform, error)) << error;
    EXPECT_EQ(perSegment.segmentsChanged.size(), 20u);
    EXPECT_LE(Duration(perSegment), Duration(uniform));
    ExpectHolds(perSegment.times, positions, limits, "per segment");
    ExpectHolds(uniform.times, positions, limits, "uniform");
    // Uniform: one factor for all, rounded to whole IU.
    const double factor = uniform.times.back() / times.back();
    for (size_t i = 0; i < times.size(); ++i) {
        EXPECT_EQ(uniform.times[i], std::round(factor * times[i])) << i;
    }
}

// The target: of 100 segments two exceed the speed limit by half; stretching only where needed
// adds at most a fifth of what one factor for all adds.
TEST(Retiming, TwoFastSegmentsOfAHundredCostAFractionOfUniform) {
    // A cycloidal move of 100 steps of 100 time IU; its peak speed is the limit.
    std::vector<double> times = {0}, positions = {0};
    const double pi = std::acos(-1.0);
    for (int i = 1; i <= 100; ++i) {
        const double x = i / 100.0;
        times.push_back(100.0 * i);
        positions.push_back(std::round(100000 * (x - std::sin(2 * pi * x) / (2 * pi))));
    }
    const double limit = MotionFigures::Of([&] {
                             CTrajectoryPreview preview;
                             std::string error;
                             preview.Build(times, positions, error);
                             return preview;
                         }())
                             .peakSpeed.value;
    // Two segments in the fast part made shorter, so that they move 1.5 times as fast as the
    // limit allows.
    for (const int fast : {35, 65}) {
        const double move = positions[fast + 1] - positions[fast];
        const double shorter = std::round(move / (1.5 * limit));
        for (size_t i = static_cast<size_t>(fast) + 1; i < times.size(); ++i) {
            times[i] -= 100 - shorter;
        }
    }
    const RetimeLimits limits{limit, {}, {}};
    CTrajectoryPreview preview;
    std::string error;
    ASSERT_TRUE(preview.Build(times, positions, error));
    const MotionFigures before = MotionFigures::Of(preview);
    int exceeding = 0;
    for (size_t i = 0; i < before.segments.size(); ++i) {
        const SegmentFigures& segment = before.segments[i];
        exceeding += segment.peakSpeed > limit;
        if (i == 35 || i == 65) {
            EXPECT_NEAR(segment.averageSpeed / limit, 1.5, 0.01) << i;
        } else {
            EXPECT_LE(segment.averageSpeed, limit) << i;
        }
    }

    Retiming perSegment, uniform;
    ASSERT_TRUE(RetimeBySegment(times, positions, limits, perSegment, error)) << error;
    ASSERT_TRUE(RetimeUniformly(times, positions, limits, false, uniform, error)) << error;
    const double addedPerSegment = Duration(perSegment) - times.back();
    const double addedUniformly = Duration(uniform) - times.back();
    EXPECT_GT(addedPerSegment, 0);
    EXPECT_LE(addedPerSegment, addedUniformly / 5)
        << addedPerSegment << " IU per segment, " << addedUniformly << " IU uniformly";
    ExpectHolds(perSegment.times, positions, limits, "per segment");
    std::printf("two fast of 100 segments (%d exceeding): per segment adds %g IU, uniform %g IU\n",
                exceeding, addedPerSegment, addedUniformly);
}

// Random tables and limits: every result holds its limits by sampling, keeps its positions'
// count, moves times by whole IU, leaves the segments it names alone, and is never longer than
// the uniform result.
TEST(Retiming, RandomMotionsHoldTheirLimitsAfterwards) {
    std::mt19937_64 random(18);
    std::uniform_int_distribution<int> step(5, 300);
    std::uniform_real_distribution<double> move(-400, 400);
    for (int motion = 0; motion < 40; ++motion) {
        std::vector<double> times = {0}, positions = {0};
        for (int i = 0; i < 30; ++i) {
            times.push_back(times.back() + step(random));
            positions.push_back(positions.back() + std::round(move(random)));
        }
        RetimeLimits limits;
        const int which = motion % 4;
        if (which != 1) limits.maxSpeed = 2.0;
        if (which != 2) limits.maxAcceleration = 0.05;
        if (which == 3 || which == 1) limits.maxJerk = 0.001;
        const std::string where = "motion " + std::to_string(motion);
        Retiming perSegment, uniform;
        std::string error;
        ASSERT_TRUE(RetimeBySegment(times, positions, limits, perSegment, error)) << error;
        ASSERT_TRUE(RetimeUniformly(times, positions, limits, false, uniform, error)) << error;
        ExpectHolds(perSegment.times, positions, limits, where + " per segment");
        ExpectHolds(uniform.times, positions, limits, where + " uniform");
        EXPECT_LE(Duration(perSegment), Duration(uniform)) << where;
        ASSERT_EQ(perSegment.times.size(), times.size());
        for (size_t i = 0; i + 1 < times.size(); ++i) {
            const double before = times[i + 1] - times[i];
            const double after = perSegment.times[i + 1] - perSegment.times[i];
            EXPECT_EQ(after, std::round(after)) << where;
            EXPECT_GE(after, before) << where;
            const bool named =
                std::binary_search(perSegment.segmentsChanged.begin(),
                                   perSegment.segmentsChanged.end(), static_cast<int>(i));
            EXPECT_EQ(named, after != before) << where << " segment " << i;
        }
    }
}

TEST(Retiming, DurationScalesAndRounds) {
    const std::vector<double> times = {0, 12.5, 25, 50};
    Retiming result;
    std::string error;
    ASSERT_TRUE(ScaleToDuration(times, 100, result, error)) << error;
    EXPECT_EQ(result.times, (std::vector<double>{0, 25, 50, 100}));
    // More points than whole IU: refused, not squeezed.
    EXPECT_FALSE(ScaleToDuration(times, 2, result, error));
    // A step beyond what a PT step holds.
    EXPECT_FALSE(ScaleToDuration({0, 10, 20}, 200000, result, error));
    EXPECT_NE(error.find("65535"), std::string::npos) << error;
}

}  // namespace
