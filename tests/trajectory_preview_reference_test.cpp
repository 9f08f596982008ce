#include <PreviewReference.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// The reference remembers the last segment it found; asked in any order, it must answer as the
// preview does, at points and between them, before the start and after the end.
TEST(PreviewReference, AnswersAsThePreviewInAnyOrder) {
    const std::vector<double> times = {0, 3, 10, 10.5, 40, 41};
    const std::vector<double> positions = {0, 5, 90, 91, 400, 401};
    TrajectoryPreview preview;
    std::string error;
    ASSERT_TRUE(preview.Build(times, positions, error)) << error;
    const PreviewReference reference(preview);
    EXPECT_EQ(reference.Duration(), 41);
    EXPECT_EQ(reference.Breaks(), (std::vector<double>{0, 41}));

    std::vector<double> asked = {-1, 0, 41, 42};
    std::mt19937 random(7);
    std::uniform_real_distribution<double> anywhere(0, 41);
    for (int i = 0; i < 200; ++i) asked.push_back(anywhere(random));
    for (const double t : times) asked.insert(asked.end(), {t, t, t + 1e-9});
    for (const double t : asked) {
        EXPECT_EQ(reference.PositionAt(t), preview.PositionAt(t)) << t;
        EXPECT_EQ(reference.VelocityAt(t), preview.VelocityAt(t)) << t;
        EXPECT_EQ(reference.AccelerationAt(t), preview.AccelerationAt(t)) << t;
    }

    double peak = 0;
    for (const CubicSegment& segment : preview.GetSegments()) {
        for (const double tau : {0.0, segment.duration}) {
            peak = std::max(peak, std::abs(segment.AccelerationAt(tau)));
        }
    }
    EXPECT_EQ(reference.PeakAcceleration(), peak);
}

}  // namespace
