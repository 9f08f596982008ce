// The preview model on motions whose answers are known, and its exact peaks against a fine
// sampling of the same polynomials.
#include <MotionFigures.h>
#include <PreviewEnvelope.h>
#include <TrajectoryPreview.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

TrajectoryPreview Preview(const std::vector<double>& times, const std::vector<double>& positions) {
    TrajectoryPreview preview;
    std::string error;
    EXPECT_TRUE(preview.Build(times, positions, error)) << error;
    return preview;
}

// A random walk: steps of 1 to 100 time IU, moves of up to `reach` IU either way.
struct RandomTable {
    std::vector<double> times = {0}, positions = {0};
};
RandomTable RandomWalk(int points, std::uint64_t seed, double reach) {
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> step(1, 100);
    std::uniform_real_distribution<double> move(-reach, reach);
    RandomTable table;
    for (int i = 1; i < points; ++i) {
        table.times.push_back(table.times.back() + step(random));
        table.positions.push_back(table.positions.back() + move(random));
    }
    return table;
}

TEST(TrajectoryPreview, OneSegmentFromRestToRest) {
    // 300 IU in 120 time IU: average 2.5.
    const MotionFigures figures = MotionFigures::Of(Preview({0, 120}, {0, 300}));
    ASSERT_EQ(figures.segments.size(), 1u);
    const SegmentFigures& segment = figures.segments[0];
    EXPECT_DOUBLE_EQ(segment.averageSpeed, 2.5);
    EXPECT_DOUBLE_EQ(segment.peakSpeed, 1.5 * 2.5);
    EXPECT_DOUBLE_EQ(segment.peakSpeedTime, 60);
    EXPECT_DOUBLE_EQ(segment.peakAcceleration, 6 * 300.0 / (120 * 120));
    EXPECT_DOUBLE_EQ(segment.totalTravel, 300);
    EXPECT_EQ(figures.points, 2);
    EXPECT_DOUBLE_EQ(figures.duration, 120);
    EXPECT_DOUBLE_EQ(figures.peakSpeed.value, 3.75);
    EXPECT_EQ(figures.peakSpeed.segment, 0);
}

TEST(TrajectoryPreview, ConstantSpeedInsideHasNoAcceleration) {
    // Speed 4 with uneven time steps; the first and last segments start and end at rest.
    const std::vector<double> times = {0, 10, 25, 30, 50, 60};
    std::vector<double> positions;
    for (double t : times) positions.push_back(4 * t);
    const TrajectoryPreview preview = Preview(times, positions);
    const std::vector<double>& velocities = preview.GetPointVelocities();
    EXPECT_EQ(velocities.front(), 0);
    EXPECT_EQ(velocities.back(), 0);
    for (size_t i = 1; i + 1 < velocities.size(); ++i) EXPECT_DOUBLE_EQ(velocities[i], 4) << i;
    const MotionFigures figures = MotionFigures::Of(preview);
    for (size_t i = 1; i + 2 < times.size(); ++i) {
        EXPECT_NEAR(figures.segments[i].peakAcceleration, 0, 1e-12) << i;
        EXPECT_DOUBLE_EQ(figures.segments[i].peakSpeed, 4) << i;
    }
}

TEST(TrajectoryPreview, QuadraticTableGivesExactVelocities) {
    // p = 0.5·t², so v = t, at uneven times.
    const std::vector<double> times = {0, 3, 4, 9, 11, 20};
    std::vector<double> positions;
    for (double t : times) positions.push_back(0.5 * t * t);
    const TrajectoryPreview preview = Preview(times, positions);
    for (size_t i = 1; i + 1 < times.size(); ++i) {
        EXPECT_NEAR(preview.GetPointVelocities()[i], times[i], 1e-12) << i;
    }
    // Between two inner points with exact velocities the cubic is the parabola itself.
    for (double t : {5.0, 7.5, 10.0}) {
        EXPECT_NEAR(preview.VelocityAt(t), t, 1e-12) << t;
        EXPECT_NEAR(preview.AccelerationAt(t), 1, 1e-12) << t;
    }
}

TEST(TrajectoryPreview, ReversalCountsBothDirectionsInTheTravel) {
    // Out to 100 and back to 0 in two equal segments: the middle point is at rest, so each
    // half is a rest-to-rest segment.
    const TrajectoryPreview preview = Preview({0, 50, 100}, {0, 100, 0});
    EXPECT_EQ(preview.GetPointVelocities()[1], 0);
    const MotionFigures figures = MotionFigures::Of(preview);
    EXPECT_DOUBLE_EQ(figures.netTravel, 0);
    EXPECT_DOUBLE_EQ(figures.totalTravel, 200);
    EXPECT_DOUBLE_EQ(figures.peakSpeed.value, 1.5 * 2);
    EXPECT_DOUBLE_EQ(figures.segments[1].averageSpeed, -2);
    EXPECT_DOUBLE_EQ(figures.segments[1].peakSpeed, 3);

    // An uneven reversal turns inside a segment: the travel counts the overshoot there.
    const TrajectoryPreview overshoot = Preview({0, 10, 100}, {0, 100, 90});
    const MotionFigures overshootFigures = MotionFigures::Of(overshoot);
    const SegmentFigures& second = overshootFigures.segments[1];
    const CubicSegment& cubic = overshoot.GetSegments()[1];
    const double turn = [&] {  // where v = 0, found by bisection
        double low = 0, high = cubic.duration;
        while (cubic.VelocityAt(low) > 0 && high - low > 1e-12) {
            const double mid = (low + high) / 2;
            (cubic.VelocityAt(mid) > 0 ? low : high) = mid;
        }
        return low;
    }();
    const double farthest = cubic.PositionAt(turn);
    EXPECT_GT(farthest, 100);
    EXPECT_NEAR(second.totalTravel, (farthest - 100) + (farthest - 90), 1e-9);
}

TEST(TrajectoryPreview, SmallestStepAndPeaksNameTheirSegment) {
    const MotionFigures figures = MotionFigures::Of(Preview({0, 100, 105, 200}, {0, 10, 60, 70}));
    EXPECT_DOUBLE_EQ(figures.smallestTimeStep, 5);
    EXPECT_EQ(figures.smallestTimeStepSegment, 1);
    EXPECT_EQ(figures.peakSpeed.segment, 1);
    EXPECT_GE(figures.peakSpeed.time, 100);
    EXPECT_LE(figures.peakSpeed.time, 105);
}

TEST(TrajectoryPreview, RefusesWhatIsNoTable) {
    struct Case {
        std::vector<double> times, positions;
        const char* message;
    };
    const Case cases[] = {
        {{0}, {0}, "at least two points"},
        {{0, 1}, {0}, "at least two points"},
        {{0, 1, 1}, {0, 1, 2}, "point 2 does not come after point 1"},
        {{0, 2, 1}, {0, 1, 2}, "point 2 does not come after point 1"},
        {{0, NAN}, {0, 1}, "point 1 is not"},
        {{0, 1}, {0, INFINITY}, "point 1 is not"},
        // Finite times whose difference is not.
        {{-1.5e308, 1.5e308}, {0, 1}, "point 1 does not come after"},
    };
    for (const Case& c : cases) {
        TrajectoryPreview preview;
        std::string error;
        EXPECT_FALSE(preview.Build(c.times, c.positions, error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_TRUE(preview.GetSegments().empty());
    }
}

// The jerk is the third derivative of the position: a third difference of positions sampled
// inside each segment of the worked example gives it, with its sign, and the largest names the
// peak.
TEST(TrajectoryPreview, JerkIsTheThirdDifferenceOfThePosition) {
    const TrajectoryPreview preview = Preview({0, 100, 300, 350}, {0, 2000, 5000, 5200});
    const MotionFigures figures = MotionFigures::Of(preview);
    double largest = 0;
    int largestSegment = -1;
    for (size_t i = 0; i < figures.segments.size(); ++i) {
        const double start = preview.GetTimes()[i], h = 1.0;
        const double t = start + 10;
        const double difference =
            (preview.PositionAt(t + 3 * h) - 3 * preview.PositionAt(t + 2 * h) +
             3 * preview.PositionAt(t + h) - preview.PositionAt(t)) /
            (h * h * h);
        EXPECT_NEAR(figures.segments[i].jerk, difference, 1e-6 * std::abs(difference) + 1e-9) << i;
        if (std::abs(difference) > largest) {
            largest = std::abs(difference);
            largestSegment = static_cast<int>(i);
        }
    }
    EXPECT_NEAR(figures.peakJerk.value, largest, 1e-6 * largest);
    EXPECT_EQ(figures.peakJerk.segment, largestSegment);
    EXPECT_EQ(figures.peakJerk.time, preview.GetTimes()[static_cast<size_t>(largestSegment)]);
}

// 10^5 random points; every segment sampled finely. The sampled maxima may fall short of the
// exact peaks but never beyond them, and come close.
TEST(TrajectoryPreview, ExactPeaksBoundAFineSampling) {
    constexpr int kPoints = 100000;
    std::mt19937_64 random(12);
    std::uniform_real_distribution<double> step(0.8, 800);
    std::uniform_real_distribution<double> move(-5000, 5000);
    std::vector<double> times = {0}, positions = {0};
    for (int i = 1; i < kPoints; ++i) {
        times.push_back(times.back() + step(random));
        positions.push_back(positions.back() + move(random));
    }
    const TrajectoryPreview preview = Preview(times, positions);
    const MotionFigures figures = MotionFigures::Of(preview);
    ASSERT_EQ(figures.segments.size(), static_cast<size_t>(kPoints - 1));

    constexpr int kSamples = 64;
    double sampledPeakSpeed = 0;
    for (size_t i = 0; i < figures.segments.size(); ++i) {
        const CubicSegment& cubic = preview.GetSegments()[i];
        const SegmentFigures& exact = figures.segments[i];
        double speed = 0, acceleration = 0, travel = 0;
        double previous = cubic.PositionAt(0);
        for (int k = 0; k <= kSamples; ++k) {
            // Through the preview's own lookup, so that it is checked on the way.
            const double t = cubic.startTime + cubic.duration * k / kSamples;
            const double at = std::min(t, cubic.startTime + cubic.duration);
            speed = std::max(speed, std::abs(cubic.VelocityAt(at - cubic.startTime)));
            acceleration =
                std::max(acceleration, std::abs(cubic.AccelerationAt(at - cubic.startTime)));
            const double position = cubic.PositionAt(at - cubic.startTime);
            travel += std::abs(position - previous);
            previous = position;
            if (k > 0 && k < kSamples) {
                ASSERT_NEAR(preview.PositionAt(t), position, 1e-6);
            }
        }
        const double tolerance = 1e-9 * std::max(1.0, exact.peakSpeed);
        ASSERT_LE(speed, exact.peakSpeed + tolerance) << "segment " << i;
        // A parabola sampled every 1/64 of its span misses its top by at most 1/4096 of its
        // rise over half a sample; 1e-3 of the peak is well clear of that.
        ASSERT_GE(speed, exact.peakSpeed * (1 - 1e-3)) << "segment " << i;
        // The acceleration is linear: its ends are samples.
        ASSERT_NEAR(acceleration, exact.peakAcceleration, 1e-9 * exact.peakAcceleration + 1e-15);
        ASSERT_LE(travel, exact.totalTravel * (1 + 1e-9) + 1e-9) << "segment " << i;
        // Samples miss at most what lies between two of them at each of the (at most two) turns.
        const double missed = 2 * 2 * exact.peakSpeed * cubic.duration / kSamples;
        ASSERT_GE(travel, exact.totalTravel - missed) << "segment " << i;
        // The polynomial ends on the next point.
        ASSERT_NEAR(cubic.PositionAt(cubic.duration), positions[i + 1], 1e-6);
        sampledPeakSpeed = std::max(sampledPeakSpeed, speed);
    }
    EXPECT_LE(sampledPeakSpeed, figures.peakSpeed.value * (1 + 1e-12));
    EXPECT_GE(sampledPeakSpeed, figures.peakSpeed.value * (1 - 1e-3));
}

// A table longer than the windows the peak is taken in: the same peak as the whole preview's,
// and as second differences of its positions next to each segment's ends.
TEST(TrajectoryPreview, PeakAccelerationOfALongTableTakenInWindows) {
    constexpr int kPoints = 150000;
    auto [times, positions] = RandomWalk(kPoints, 5, 50);
    // The largest acceleration in the second window, where neither window's end lies.
    positions[70000] += 400;
    const TrajectoryPreview preview = Preview(times, positions);
    const double peak = MotionFigures::PeakAccelerationOf(times, positions);
    EXPECT_EQ(peak, MotionFigures::Of(preview).peakAcceleration.value);

    double differenced = 0;
    for (const CubicSegment& segment : preview.GetSegments()) {
        const double h = segment.duration * 1e-3;
        for (const double t :
             {segment.startTime + 2 * h, segment.startTime + segment.duration - 2 * h}) {
            const double second = (preview.PositionAt(t + h) - 2 * preview.PositionAt(t) +
                                   preview.PositionAt(t - h)) /
                                  (h * h);
            differenced = std::max(differenced, std::abs(second));
        }
    }
    EXPECT_NEAR(differenced, peak, 1e-2 * peak);
    EXPECT_EQ(MotionFigures::PeakAccelerationOf({0, 1}, {0}), 0);
}

// The peak speed of a table taken without holding its preview: the whole preview's, and what
// central differences of its positions, sampled densely in every segment, come to.
TEST(TrajectoryPreview, PeakSpeedOfATableWithoutItsPreview) {
    constexpr int kPoints = 20000;
    auto [times, positions] = RandomWalk(kPoints, 11, 50);
    // A spike: the fastest segments peak between their points, not at one.
    positions[12345] += 900;
    const double peak = MotionFigures::PeakSpeedOf(times, positions);
    const TrajectoryPreview preview = Preview(times, positions);
    EXPECT_EQ(peak, MotionFigures::Of(preview, false).peakSpeed.value);

    double sampled = 0;
    for (const CubicSegment& segment : preview.GetSegments()) {
        const double h = segment.duration * 1e-4;
        for (int k = 1; k < 64; ++k) {
            const double t = segment.startTime + segment.duration * k / 64;
            sampled = std::max(
                sampled, std::abs(preview.PositionAt(t + h) - preview.PositionAt(t - h)) / (2 * h));
        }
    }
    EXPECT_LE(sampled, peak * (1 + 1e-6));
    EXPECT_NEAR(sampled, peak, 1e-3 * peak);
    EXPECT_EQ(MotionFigures::PeakSpeedOf({0, 1}, {0}), 0);
}

// A drawing of 10^4 random points in 300 columns keeps every sample inside its column's
// envelope and the motion's exact peaks on the envelope.
TEST(PreviewEnvelope, HoldsEverySampleAndThePeaks) {
    auto [times, positions] = RandomWalk(10000, 3, 500);
    const TrajectoryPreview preview = Preview(times, positions);
    const MotionFigures figures = MotionFigures::Of(preview);
    constexpr int kColumns = 300;
    const double from = -20, to = times.back() + 20;  // a margin either side, as a plot has
    const double width = (to - from) / kColumns;
    for (MotionQuantity quantity :
         {MotionQuantity::Position, MotionQuantity::Speed, MotionQuantity::Acceleration}) {
        const auto envelope = PreviewEnvelope(preview, quantity, from, to, kColumns);
        ASSERT_EQ(envelope.size(), static_cast<size_t>(kColumns));
        double highest = 0;
        for (int c = 0; c < kColumns; ++c) {
            const EnvelopeColumn& column = envelope[static_cast<size_t>(c)];
            highest = std::max({highest, std::abs(column.low), std::abs(column.high)});
            for (int k = 0; k <= 50; ++k) {
                const double t = from + (c + k / 50.0) * width;
                const double value = PreviewValueAt(preview, quantity, t);
                const double slack = 1e-9 * (1 + std::abs(value));
                ASSERT_GE(value, column.low - slack) << c << " " << k;
                ASSERT_LE(value, column.high + slack) << c << " " << k;
            }
        }
        if (quantity == MotionQuantity::Speed) {
            EXPECT_DOUBLE_EQ(highest, figures.peakSpeed.value);
        }
        if (quantity == MotionQuantity::Acceleration) {
            EXPECT_DOUBLE_EQ(highest, figures.peakAcceleration.value);
        }
    }
    // Before the start and after the end the motion rests where it is.
    const auto envelope = PreviewEnvelope(preview, MotionQuantity::Position, from, to, kColumns);
    EXPECT_EQ(envelope.front().first, 0);
    EXPECT_EQ(envelope.back().last, positions.back());
}

}  // namespace
