// The deviation measure against motions whose gap is known in closed form, and against a brute
// sampling at tiny steps.
#include <Deviation.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

// A cycloidal move of `distance` IU in `duration` time IU, with an optional sine bump added.
class Cycloid : public ReferenceMotion {
public:
    Cycloid(double distance, double duration, double bump = 0)
        : m_distance(distance), m_duration(duration), m_bump(bump) {}
    double Duration() const override { return m_duration; }
    double PositionAt(double t) const override {
        const double u = t / m_duration;
        return m_distance * (u - std::sin(2 * kPi * u) / (2 * kPi)) + m_bump * std::sin(kPi * u);
    }
    double VelocityAt(double t) const override {
        const double u = t / m_duration;
        return (m_distance * (1 - std::cos(2 * kPi * u)) + m_bump * kPi * std::cos(kPi * u)) /
               m_duration;
    }
    double AccelerationAt(double t) const override {
        const double u = t / m_duration;
        return (m_distance * 2 * kPi * std::sin(2 * kPi * u) -
                m_bump * kPi * kPi * std::sin(kPi * u)) /
               (m_duration * m_duration);
    }
    std::vector<double> Breaks() const override { return {0, m_duration}; }

private:
    double m_distance;
    double m_duration;
    double m_bump;
};

// The preview itself plus a bell of height `height` and width `width` centred at `centre`: the
// gap is the bell, exactly.
class PreviewWithBell : public ReferenceMotion {
public:
    PreviewWithBell(const TrajectoryPreview& preview, double height, double centre, double width)
        : m_preview(preview), m_height(height), m_centre(centre), m_width(width) {}
    double Duration() const override { return m_preview.GetEndTime(); }
    double PositionAt(double t) const override { return m_preview.PositionAt(t) + Bell(t); }
    double VelocityAt(double t) const override {
        return m_preview.VelocityAt(t) - 2 * X(t) / m_width * Bell(t);
    }
    double AccelerationAt(double t) const override {
        const double x = X(t);
        return m_preview.AccelerationAt(t) + (4 * x * x - 2) / (m_width * m_width) * Bell(t);
    }
    std::vector<double> Breaks() const override { return {0, Duration()}; }

private:
    double X(double t) const { return (t - m_centre) / m_width; }
    double Bell(double t) const { return m_height * std::exp(-X(t) * X(t)); }

    const TrajectoryPreview& m_preview;
    double m_height;
    double m_centre;
    double m_width;
};

// The preview itself plus bells (height, centre, width): a gap of several humps, as narrow and
// as close to one another as wanted.
class PreviewWithBells : public ReferenceMotion {
public:
    struct Bell {
        double height, centre, width;
    };
    PreviewWithBells(const TrajectoryPreview& preview, std::vector<Bell> bells)
        : m_preview(preview), m_bells(std::move(bells)) {}
    double Duration() const override { return m_preview.GetEndTime(); }
    double PositionAt(double t) const override { return m_preview.PositionAt(t) + Sum(t, 0); }
    double VelocityAt(double t) const override { return m_preview.VelocityAt(t) + Sum(t, 1); }
    double AccelerationAt(double t) const override {
        return m_preview.AccelerationAt(t) + Sum(t, 2);
    }
    std::vector<double> Breaks() const override { return {0, Duration()}; }

private:
    double Sum(double t, int derivative) const {
        double sum = 0;
        for (const Bell& bell : m_bells) {
            const double x = (t - bell.centre) / bell.width;
            const double value = bell.height * std::exp(-x * x);
            if (derivative == 0) sum += value;
            if (derivative == 1) sum += -2 * x / bell.width * value;
            if (derivative == 2) sum += (4 * x * x - 2) / (bell.width * bell.width) * value;
        }
        return sum;
    }
    const TrajectoryPreview& m_preview;
    std::vector<Bell> m_bells;
};

TrajectoryPreview Preview(const std::vector<double>& times, const std::vector<double>& positions) {
    TrajectoryPreview preview;
    std::string error;
    EXPECT_TRUE(preview.Build(times, positions, error)) << error;
    return preview;
}

// The table a uniform step makes of a reference: whole IU of time, positions rounded.
TrajectoryPreview UniformTable(const ReferenceMotion& reference, int step) {
    std::vector<double> times;
    std::vector<double> positions;
    const int duration = static_cast<int>(reference.Duration());
    for (int t = 0;; t = std::min(t + step, duration)) {
        times.push_back(t);
        positions.push_back(std::round(reference.PositionAt(t)));
        if (t == duration) break;
    }
    return Preview(times, positions);
}

// The largest gap on [from, to] sampled every `step` time IU, and where.
DeviationPeak Sampled(const TrajectoryPreview& preview, const ReferenceMotion& reference,
                      double from, double to, double step) {
    DeviationPeak peak;
    const long count = std::lround((to - from) / step);
    for (long k = 0; k <= count; ++k) {
        const double t = std::min(from + k * step, to);
        const double gap = std::abs(preview.PositionAt(t) - reference.PositionAt(t));
        if (gap > peak.value) peak = {gap, t, 0};
    }
    return peak;
}

TEST(Deviation, FindsAGapThatPeaksBetweenWholeIUOrNextToAnEnd) {
    // 7 time IU from rest to rest, the bell's top at 3.5.
    const TrajectoryPreview shortMove = Preview({0, 7}, {0, 40});
    const PreviewWithBell middle(shortMove, 0.3, 3.5, 1.5);
    DeviationPeak peak = LargestDeviation(shortMove, middle);
    EXPECT_NEAR(peak.value, 0.3, 1e-12);
    EXPECT_NEAR(peak.time, 3.5, 1e-6);
    EXPECT_EQ(peak.segment, 0);
    // Whole IU alone would miss part of it.
    EXPECT_LT(Sampled(shortMove, middle, 0, 7, 1).value, 0.3 - 1e-2);

    // A narrow bell just after the start of a long piece, between its first samples, higher
    // than the gap at the start itself; and one just before the end of the second of two.
    const TrajectoryPreview longMove = Preview({0, 40, 80}, {0, 100, 150});
    const PreviewWithBell nearStart(longMove, 0.7, 0.6, 1);
    peak = LargestDeviation(longMove, nearStart);
    EXPECT_NEAR(peak.value, 0.7, 1e-12);
    EXPECT_NEAR(peak.time, 0.6, 1e-6);
    const PreviewWithBell nearEnd(longMove, -0.4, 79.3, 0.8);
    peak = LargestDeviation(longMove, nearEnd);
    EXPECT_NEAR(peak.value, 0.4, 1e-12);
    EXPECT_NEAR(peak.time, 79.3, 1e-6);
    EXPECT_EQ(peak.segment, 1);
}

TEST(Deviation, FindsEveryHumpThatASampleOrAChangeOfSignBrackets) {
    // One piece of 40 IU, sampled once an IU.
    const TrajectoryPreview piece = Preview({0, 40}, {0, 300});
    struct Case {
        const char* what;
        std::vector<PreviewWithBells::Bell> bells;
    };
    const Case cases[] = {
        // A broad low hump and a narrow high one between two samples.
        {"narrow and high beside broad", {{0.6, 12, 6}, {1.4, 27.5, 0.3}}},
        // The gap changes sign between two samples, and its larger hump is on the side of the
        // smaller sample.
        {"sign change", {{0.35, 20.1, 0.5}, {-1.2, 20.75, 0.25}}},
        // |gap| still bends upward at the low end of the bracket around the top.
        {"bends upward", {{1.4, 8.6, 0.5}, {0.9, 9.9, 0.4}}},
        // Negative humps, one narrow between the samples next to the end.
        {"negative near the end", {{-0.8, 30, 4}, {-1.1, 39.45, 0.3}}},
    };
    for (const Case& c : cases) {
        const PreviewWithBells reference(piece, c.bells);
        const DeviationPeak peak = LargestDeviation(piece, reference);
        const DeviationPeak sampled = Sampled(piece, reference, 0, 40, 1e-4);
        EXPECT_NEAR(peak.value, sampled.value, 1e-6) << c.what;
        EXPECT_GE(peak.value, sampled.value - 1e-9) << c.what;
        EXPECT_NEAR(peak.time, sampled.time, 1e-3) << c.what;
    }
    // Bells at random centres, 0.3 to 3 IU wide, of either sign: the measure matches a sampling
    // a thousand times as dense.
    std::mt19937 random(31);
    std::uniform_real_distribution<double> centre(0.5, 39.5), width(0.3, 3), height(0.2, 1.5);
    for (int round = 0; round < 60; ++round) {
        std::vector<PreviewWithBells::Bell> bells;
        for (int k = 0; k < 4; ++k) {
            bells.push_back(
                {(random() % 2 ? 1 : -1) * height(random), centre(random), width(random)});
        }
        const PreviewWithBells reference(piece, bells);
        const DeviationPeak peak = LargestDeviation(piece, reference);
        const DeviationPeak sampled = Sampled(piece, reference, 0, 40, 1e-3);
        EXPECT_GE(peak.value, sampled.value - 1e-9) << "round " << round;
        EXPECT_LE(peak.value, sampled.value + 2e-5) << "round " << round;
    }
}

TEST(Deviation, MatchesABruteSamplingOfUniformTables) {
    // The cycloidal move of 20000 IU in 625 time IU at the steps whose deviations are known
    // (0.57, 0.52, 0.60, 0.89 and 15.5 IU), plus a bumped one whose gap has two humps a segment.
    const Cycloid cycloid(20000, 625);
    const Cycloid bumped(300, 90, 2.5);
    struct Case {
        const ReferenceMotion* reference;
        int step;
    };
    for (const Case& c : {Case{&cycloid, 1}, Case{&cycloid, 3}, Case{&cycloid, 13},
                          Case{&cycloid, 22}, Case{&cycloid, 63}, Case{&bumped, 45}}) {
        const TrajectoryPreview preview = UniformTable(*c.reference, c.step);
        const DeviationPeak peak = LargestDeviation(preview, *c.reference);
        const DeviationPeak sampled =
            Sampled(preview, *c.reference, 0, c.reference->Duration(), 1e-3);
        EXPECT_GE(peak.value, sampled.value - 1e-9) << c.step;
        EXPECT_LE(peak.value, sampled.value + 1e-6) << c.step;
        EXPECT_NEAR(std::abs(preview.PositionAt(peak.time) - c.reference->PositionAt(peak.time)),
                    peak.value, 1e-12);
        const CubicSegment& holder = preview.GetSegments()[peak.segment];
        EXPECT_GE(peak.time, holder.startTime) << c.step;
        EXPECT_LE(peak.time, holder.startTime + holder.duration) << c.step;
    }
    EXPECT_NEAR(LargestDeviation(UniformTable(cycloid, 63), cycloid).value, 15.5, 0.05);
    EXPECT_NEAR(LargestDeviation(UniformTable(cycloid, 22), cycloid).value, 0.89, 0.005);
}

TEST(Deviation, InAPartLooksOnlyThere) {
    const Cycloid cycloid(20000, 625);
    const TrajectoryPreview preview = UniformTable(cycloid, 63);
    const DeviationPeak whole = LargestDeviation(preview, cycloid);
    for (const auto& [from, to] : std::vector<std::pair<double, double>>{
             {0, 100}, {100.5, 200.25}, {300, 301}, {600, 625}, {63, 126}, {250, 250}}) {
        const DeviationPeak part = LargestDeviationIn(preview, cycloid, from, to);
        const DeviationPeak sampled = Sampled(preview, cycloid, from, to, 1e-3);
        EXPECT_GE(part.value, sampled.value - 1e-9) << from;
        EXPECT_LE(part.value, sampled.value + 1e-6) << from;
        EXPECT_LE(part.value, whole.value) << from;
        EXPECT_GE(part.time, from) << from;
        EXPECT_LE(part.time, to) << from;
    }
    // A part that ends on a point looks no further than the segment before it.
    EXPECT_EQ(LargestDeviationIn(preview, cycloid, 0, 63).segment, 0);
}

}  // namespace
