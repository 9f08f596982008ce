// Profiles read from text: chaining, poly5's boundaries, continuity checked by finite
// differences of the position, and every fault's message.
#include <MotionProfileText.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The built-in setup's units: 2000 IU a rotation, 0.8 ms a time IU.
ProfileUnits SetupUnits() {
    ProfileUnits units;
    units.iuPerUnit = [](ProfileUnitKind kind, std::string_view name) -> std::optional<double> {
        if (kind == ProfileUnitKind::Position) {
            if (name == "rot") return 2000;
            if (name == "deg") return 2000.0 / 360;
        } else {
            if (name == "s") return 1250;
            if (name == "ms") return 1.25;
        }
        if (name == "IU") return 1;
        return std::nullopt;
    };
    units.positionNames = "rot, deg, IU";
    units.timeNames = "s, ms, IU";
    return units;
}

MotionProfile Parse(const std::string& text) {
    MotionProfile profile;
    std::string error;
    EXPECT_TRUE(ParseMotionProfile(text, "p.txt", SetupUnits(), profile, error)) << error;
    return profile;
}

std::string Fault(const std::string& text) {
    MotionProfile profile = Parse("cubic 1 rot 1 s");
    std::string error;
    EXPECT_FALSE(ParseMotionProfile(text, "p.txt", SetupUnits(), profile, error)) << text;
    // Nothing of the faulty text is kept.
    EXPECT_EQ(profile.GetSegments().size(), 1u) << text;
    return error;
}

// Speed and acceleration from the position alone, by central differences.
double SpeedByDifferences(const ReferenceMotion& m, double t, double h = 1e-3) {
    return (m.PositionAt(t + h) - m.PositionAt(t - h)) / (2 * h);
}
double AccelerationByDifferences(const ReferenceMotion& m, double t, double h = 1e-2) {
    return (m.PositionAt(t + h) - 2 * m.PositionAt(t) + m.PositionAt(t - h)) / (h * h);
}

TEST(MotionProfile, SegmentsChainEndToStartOnWholeTimeIU) {
    const MotionProfile profile = Parse(
        "# a move out, a pause, half way back\n"
        "cycloidal 10 rot 0.5 s\n"
        "\n"
        "  dwell   100 ms   # on the tool\r\n"
        "cubic -5 rot 250 ms\n"
        "harmonic +90 deg 10 IU\n");
    // 312.5 time IU: the end goes to the nearest whole IU, from the exact sum.
    EXPECT_EQ(profile.Breaks(), (std::vector<double>{0, 625, 750, 1063, 1073}));
    ASSERT_EQ(profile.GetSegments().size(), 4u);
    EXPECT_EQ(profile.GetSegments()[2].line, 5);
    EXPECT_DOUBLE_EQ(profile.Duration(), 1073);
    EXPECT_DOUBLE_EQ(profile.PositionAt(625), 20000);
    EXPECT_DOUBLE_EQ(profile.PositionAt(700), 20000);
    EXPECT_DOUBLE_EQ(profile.PositionAt(1063), 10000);
    EXPECT_DOUBLE_EQ(profile.PositionAt(1073), 10500);
    EXPECT_DOUBLE_EQ(profile.PositionAt(312.5), 10000);
    // The cycloid's peak speed, 2·h/T, half way.
    EXPECT_DOUBLE_EQ(profile.VelocityAt(312.5), 2 * 20000 / 625.0);
    // The short harmonic is the fastest: π/2·h/T.
    EXPECT_DOUBLE_EQ(profile.PeakSpeed(), std::acos(-1.0) / 2 * 500 / 10);
    EXPECT_NEAR(profile.PeakAcceleration(), 500 * 4.9348 / 100, 1e-3);
    for (double t : {100.0, 312.5, 700.0, 900.0, 1070.0}) {
        EXPECT_NEAR(profile.VelocityAt(t), SpeedByDifferences(profile, t), 1e-4) << t;
        EXPECT_NEAR(profile.AccelerationAt(t), AccelerationByDifferences(profile, t), 1e-4) << t;
    }
}

TEST(MotionProfile, Poly5TakesItsNeighboursSpeedAndAcceleration) {
    const MotionProfile profile = Parse(
        "poly5 2 rot 0.2 s\n"
        "cruise 10 rot 0.5 s\n"
        "poly5 3 rot 0.3 s\n"
        "harmonic 4 rot 0.2 s\n"
        "poly5 0 rot 0.1 s\n"
        "dwell 10 ms\n");
    const std::vector<double> breaks = profile.Breaks();
    ASSERT_EQ(breaks.size(), 7u);
    EXPECT_EQ(profile.VelocityAt(0), 0);
    EXPECT_EQ(profile.AccelerationAt(0), 0);
    EXPECT_DOUBLE_EQ(profile.VelocityAt(breaks[1]), 20000 / 625.0);
    EXPECT_DOUBLE_EQ(profile.PositionAt(breaks[3]), 30000);
    // Zero travel: it comes back to where it started, at rest, with the harmonic's deceleration.
    EXPECT_DOUBLE_EQ(profile.PositionAt(breaks[5]), 38000);
    EXPECT_NEAR(profile.AccelerationAt(breaks[4]), -8000 * 4.9348 / (250.0 * 250), 1e-4);
    EXPECT_NE(profile.PositionAt((breaks[4] + breaks[5]) / 2), 38000);
    for (size_t i = 1; i + 1 < breaks.size(); ++i) {
        const double b = breaks[i];
        const double h = 1e-6;
        EXPECT_NEAR(profile.PositionAt(b - h), profile.PositionAt(b), 1e-3) << i;
        EXPECT_NEAR(profile.VelocityAt(b - h), profile.VelocityAt(b), 1e-6) << i;
        EXPECT_NEAR(profile.AccelerationAt(b - h), profile.AccelerationAt(b), 1e-6) << i;
        // Inside a poly5, its exact derivatives against its position.
        const double inside = b - 7.25;
        EXPECT_NEAR(profile.VelocityAt(inside), SpeedByDifferences(profile, inside), 1e-5) << i;
        EXPECT_NEAR(profile.AccelerationAt(inside), AccelerationByDifferences(profile, inside),
                    1e-5)
            << i;
    }
}

TEST(MotionProfile, ABoundaryBelongsToTheSegmentThatStartsThere) {
    // Where a dwell meets a cycloid the acceleration is 0 either way, but the jerk is the
    // cycloid's; where a cubic meets a dwell, the acceleration is the dwell's 0, not the cubic's.
    const MotionProfile profile = Parse(
        "dwell 100 IU\n"
        "cycloidal 1000 IU 200 IU\n"
        "cubic 600 IU 100 IU\n"
        "dwell 50 IU\n");
    EXPECT_EQ(profile.SegmentIndexAt(100), 1);
    EXPECT_EQ(profile.SegmentIndexAt(300), 2);
    EXPECT_EQ(profile.SegmentIndexAt(400), 3);
    EXPECT_EQ(profile.SegmentIndexAt(99.999), 0);
    EXPECT_NEAR(profile.JerkAt(100), 1000 * 4 * std::acos(-1.0) * std::acos(-1.0) / 8e6, 1e-12);
    EXPECT_DOUBLE_EQ(profile.AccelerationAt(300), 6 * 600 / 1e4);
    EXPECT_EQ(profile.AccelerationAt(400), 0);
    EXPECT_EQ(profile.VelocityAt(400), 0);
    // Just before it, the cubic's own end.
    EXPECT_NEAR(profile.AccelerationAt(400 - 1e-9), -6 * 600 / 1e4, 1e-9);
}

// The same where a cubic's braking ends at a dwell and a cubic back starts after it.
TEST(MotionProfile, ABrakingCubicEndsWhereTheDwellAfterItBegins) {
    const MotionProfile profile = Parse("cubic 1 rot 1 s\ndwell 1 s\ncubic -1 rot 1 s\n");
    EXPECT_EQ(profile.SegmentIndexAt(1250), 1);
    EXPECT_EQ(profile.SegmentIndexAt(2500), 2);
    EXPECT_EQ(profile.AccelerationAt(1250), 0);
    // The cubic back starts accelerating at 6 h/T², by differences just after the boundary.
    EXPECT_NEAR(profile.AccelerationAt(2500), AccelerationByDifferences(profile, 2500.5, 0.4),
                1e-3 * 6 * 2000 / (1250.0 * 1250.0));
    EXPECT_LT(profile.AccelerationAt(2500), 0);
}

TEST(MotionProfile, PeakAccelerationAndJerkMatchAFineSampling) {
    // The poly5 that slows from the cruise to rest has its largest |acceleration| where the
    // acceleration is negative; the one that starts it, where it is positive.
    const MotionProfile profile = Parse(
        "poly5 2 rot 0.2 s\n"
        "cruise 6 rot 0.3 s\n"
        "poly5 1 rot 0.25 s\n");
    const std::vector<ProfileSegment>& segments = profile.GetSegments();
    double largestOverall = 0;
    for (const ProfileSegment& segment : segments) {
        double largest = 0, lowest = 0;
        for (int k = 0; k <= 100000; ++k) {
            const double t = segment.startTime + segment.duration * k / 100000;
            const double a =
                profile.AccelerationAt(std::min(t, segment.startTime + segment.duration - 1e-9));
            largest = std::max(largest, std::abs(a));
            lowest = std::min(lowest, a);
            // The jerk against the acceleration's differences.
            if (k % 997 == 1 && k < 99990) {
                const double h = 1e-3;
                EXPECT_NEAR(
                    profile.JerkAt(t),
                    (profile.AccelerationAt(t + h) - profile.AccelerationAt(t - h)) / (2 * h),
                    1e-9);
            }
        }
        EXPECT_NEAR(segment.PeakAcceleration(), largest, 1e-6 * largest) << segment.line;
        largestOverall = std::max(largestOverall, largest);
        if (segment.line == 3) {
            EXPECT_NEAR(-lowest, largest, 1e-6 * largest);
        }
    }
    EXPECT_NEAR(profile.PeakAcceleration(), largestOverall, 1e-6 * largestOverall);
}

TEST(MotionProfile, FaultsNameTheFileAndLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"cubic 1 rot 1 s\nsinus 1 rot 1 s\n",
         "p.txt:2: unknown law 'sinus' (laws: cubic, harmonic, cycloidal, poly345, poly4567, "
         "modified-sine, modified-trapezoid, dwell, cruise, poly5)"},
        {"cubic 1 furlong 1 s", "p.txt:1: unknown position unit 'furlong' (units: rot, deg, IU)"},
        {"cubic 1 rot 1 h", "p.txt:1: unknown time unit 'h' (units: s, ms, IU)"},
        {"cubic 1 rot",
         "p.txt:1: missing the duration (LAW DISTANCE POSITION-UNIT DURATION "
         "TIME-UNIT)"},
        {"cubic 1 rot 2",
         "p.txt:1: missing the time unit after 2 (LAW DISTANCE POSITION-UNIT "
         "DURATION TIME-UNIT)"},
        {"cubic", "p.txt:1: missing the distance (LAW DISTANCE POSITION-UNIT DURATION TIME-UNIT)"},
        {"dwell", "p.txt:1: missing the duration (dwell DURATION TIME-UNIT)"},
        {"cubic 1 rot 0 s", "p.txt:1: the duration must be more than zero"},
        {"cubic 1 rot -1 s", "p.txt:1: the duration must be more than zero"},
        {"cubic 1,5 rot 1 s", "p.txt:1: '1,5' is not a number"},
        {"cubic 1 rot 1s s", "p.txt:1: '1s' is not a number"},
        {"cubic nan rot 1 s", "p.txt:1: 'nan' is not a number"},
        {"cubic +-1 rot 1 s", "p.txt:1: '+-1' is not a number"},
        {"cubic 1 rot 1 s 2", "p.txt:1: unexpected '2' after the time unit"},
        {"dwell 5 rot 1 s", "p.txt:1: a dwell has no distance (dwell DURATION TIME-UNIT)"},
        {"cubic 1 rot 1 s\ncubic 1 rot 0.2 ms",
         "p.txt:2: 0.2 ms is too short: a segment spans at least one time IU on the drive's "
         "grid (0.8 ms)"},
        {"# nothing\n\n",
         "p.txt: the profile has no segment (LAW DISTANCE POSITION-UNIT "
         "DURATION TIME-UNIT)"},
        {"poly5 1 rot 1 s\ncruise 1 rot 1 s\ncycloidal 1 rot 1 s\n",
         "p.txt:3: cycloidal starts at rest, but the cruise on line 2 ends moving: join them "
         "with poly5"},
        {"poly5 1 rot 1 s\ncruise 1 rot 1 s\n\nmodified-sine 1 rot 1 s\n",
         "p.txt:4: modified-sine starts at rest, but the cruise on line 2 ends moving: join "
         "them with poly5"},
        {"cubic 1 rot 1 s\ncruise 1 rot 1 s\npoly5 1 rot 1 s\n",
         "p.txt:1: cubic ends at rest, but the cruise on line 2 starts moving: join them with "
         "poly5"},
        {"cruise 1 rot 1 s\npoly5 1 rot 1 s\n",
         "p.txt:1: cruise starts moving, but the profile starts at rest: begin with poly5"},
        {"poly5 1 rot 1 s\ncruise 1 rot 1 s\n",
         "p.txt:2: cruise ends moving, but the profile ends at rest: end with poly5"},
        {"poly5 1 rot 1 s\ncruise 1 rot 1 s\ncruise 3 rot 1 s\npoly5 1 rot 1 s\n",
         "p.txt:3: cruise starts at another speed than the cruise on line 2 ends with: join "
         "them with poly5"},
        // Half a percent apart is a jump, not a rounding.
        {"poly5 1 rot 1 s\ncruise 1 rot 1 s\ncruise 1.005 rot 1 s\npoly5 1 rot 1 s\n",
         "p.txt:3: cruise starts at another speed than the cruise on line 2 ends with: join "
         "them with poly5"},
        {"poly5 1 rot 1 s\ncruise 1 rot 1 s\ndwell 1 s\n",
         "p.txt:3: dwell starts at rest, but the cruise on line 2 ends moving: join them with "
         "poly5"},
        {"poly5 1 rot 1 s\npoly5 1 rot 1 s\n",
         "p.txt:2: poly5 follows the poly5 on line 1: two in a row have no speed to meet at; "
         "put a cruise between them"},
    };
    for (const auto& [text, message] : cases) EXPECT_EQ(Fault(text), message) << text;
}

// A word of 4 MB, where a law, a number or a unit belongs, is quoted a few dozen characters
// long: the message stays a line.
TEST(MotionProfile, FaultsQuoteAtMostAFewDozenCharactersOfAWord) {
    const std::string huge(4 << 20, 'x');
    const std::string digits = "0.0001" + std::string(4 << 20, '0');
    const std::string cut = std::string(40, 'x') + "...";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {huge, "p.txt:1: unknown law '" + cut + "' (laws: "},
        {"cubic " + huge + " rot 1 s", "p.txt:1: '" + cut + "' is not a number"},
        {"cubic 1 " + huge + " 1 s", "p.txt:1: unknown position unit '" + cut + "' (units: "},
        {"cubic 1 rot 1 " + huge, "p.txt:1: unknown time unit '" + cut + "' (units: "},
        {"cubic 1 rot 1 s " + huge, "p.txt:1: unexpected '" + cut + "' after the time unit"},
        {"cubic 1 rot " + huge, "p.txt:1: '" + cut + "' is not a number"},
        {"cubic 1 rot " + digits,
         "p.txt:1: missing the time unit after " + digits.substr(0, 40) + "... ("},
        {"cubic 1 rot " + digits + " s", "p.txt:1: " + digits.substr(0, 40) + "... s is too short"},
        // A character of several bytes is never cut in two.
        {std::string(39, 'x') + "\u00e9\u00e9\u00e9 1 rot 1 s",
         "p.txt:1: unknown law '" + std::string(39, 'x') + "...' (laws: "},
    };
    for (const auto& [text, start] : cases) {
        const std::string error = Fault(text);
        EXPECT_TRUE(error.starts_with(start)) << error.substr(0, 200);
        EXPECT_LT(error.size(), 250u);
    }
}

// What the drive's tables hold: times up to 2147483646 IU, position steps up to 2147483647 IU.
ProfileBounds TableBounds() { return {2147483646, 2147483647}; }

std::string BoundsFault(const std::string& text) {
    MotionProfile profile;
    std::string error;
    EXPECT_FALSE(ParseMotionProfile(text, "p.txt", SetupUnits(), profile, error, TableBounds()))
        << text;
    EXPECT_TRUE(profile.GetSegments().empty());
    return error;
}

bool WithinBounds(const std::string& text) {
    MotionProfile profile;
    std::string error;
    return ParseMotionProfile(text, "p.txt", SetupUnits(), profile, error, TableBounds());
}

// A profile too long for a table's times is refused on the line where it grows too long, with
// the longest a motion can be in that line's unit (2147483646 × 0.8 ms, rounded down), even
// where its time IU overflow a 64-bit integer or a double.
TEST(MotionProfile, AProfileLongerThanAMotionHoldsIsRefusedOnItsLine) {
    struct Case {
        std::string text;
        std::string start;
        std::string end;
    };
    const std::string longer = " here, longer than a motion can hold (at most ";
    const Case cases[] = {
        {"cycloidal 1 rot 1e16 s", "p.txt:1: the profile runs to 1e+16 s", "1717986 s)"},
        {"dwell 1e20 s", "p.txt:1: the profile runs to 1e+20 s", "1717986 s)"},
        {"cycloidal 1 rot 1e300 s\n", "p.txt:1: the profile runs to 1e+300 s", "1717986 s)"},
        {"dwell 1e308 s\n", "p.txt:1: the profile runs to inf s", "1717986 s)"},
        {"dwell 1e9 s", "p.txt:1: the profile runs to 1e+09 s", "1717986 s)"},
        {"cubic 1 rot 1 s\n# two halves\ndwell 1000000 s\ndwell 1000000000 ms\n",
         "p.txt:4: the profile runs to 2e+09 ms", "1717986916 ms)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BoundsFault(c.text), c.start + longer + c.end) << c.text;
    }
    // The limit itself, to the IU.
    EXPECT_TRUE(WithinBounds("dwell 2147483646 IU"));
    EXPECT_TRUE(WithinBounds("dwell 2147483646.4 IU"));
    EXPECT_FALSE(WithinBounds("dwell 2147483647 IU"));
    EXPECT_TRUE(WithinBounds("dwell 1717986 s"));
    EXPECT_FALSE(WithinBounds("dwell 1717987 s"));
}

// The largest change of position over one time IU on the grid, by trying every one: what the
// closest table would have to step at least.
double LargestStepOnTheGrid(const MotionProfile& profile) {
    double largest = 0;
    for (double t = 0; t + 1 <= profile.Duration(); ++t) {
        largest = std::max(largest, std::abs(profile.PositionAt(t + 1) - profile.PositionAt(t)));
    }
    return largest;
}

// A profile that moves farther in one time IU than a table steps is refused; one it can follow
// is not. The refusal is checked against every step on the grid.
TEST(MotionProfile, AProfileFasterThanATableStepsIsRefusedAndNoOtherIs) {
    EXPECT_EQ(BoundsFault("cubic 1 rot 1 s\ncycloidal 291e9 rot 8.5 s\n"),
              "p.txt:2: cycloidal moves more than 109520548638 IU in one time IU, farther than "
              "a table can move from one point to the next (at most 2147483647 IU)");
    // A cruise at the largest step, to the IU, and one IU a step faster.
    const std::string ramp = "poly5 1073741823500 IU 1000 IU\n";
    EXPECT_TRUE(WithinBounds(ramp + "cruise 2147483647000 IU 1000 IU\n" + ramp));
    EXPECT_TRUE(BoundsFault(ramp + "cruise 2147483648000 IU 1000 IU\n" + ramp)
                    .starts_with("p.txt:2: cruise moves more than 2147483648 IU"));
    // Every law, at distances around where it begins to move too far in one IU.
    const char* laws[] = {"cubic",    "harmonic",      "cycloidal",         "poly345",
                          "poly4567", "modified-sine", "modified-trapezoid"};
    int refused = 0;
    for (const char* law : laws) {
        for (double share : {0.5, 0.9, 1.0, 1.1, 1.5, 3.0}) {
            for (const int duration : {3, 40, 1000}) {
                const std::string text = std::string(law) + " " +
                                         std::to_string(share * 2147483647.0 * duration / 2) +
                                         " IU " + std::to_string(duration) + " IU";
                if (WithinBounds(text)) continue;
                ++refused;
                MotionProfile profile;
                std::string error;
                ASSERT_TRUE(ParseMotionProfile(text, "p", SetupUnits(), profile, error)) << error;
                EXPECT_GT(LargestStepOnTheGrid(profile), 2147483647.0) << text;
            }
        }
    }
    EXPECT_GT(refused, 20);
}

TEST(MotionProfile, CruisesAtOneSpeedMeet) {
    // The same speed written two ways, and a dwell between two rest-to-rest laws.
    const MotionProfile profile = Parse(
        "poly5 1 rot 100 ms\ncruise 1 rot 0.1 s\ncruise 3 rot 300 ms\npoly5 1 rot 0.1 s\n"
        "dwell 1 IU\ncubic 1 rot 1 s\n");
    EXPECT_EQ(profile.GetSegments().size(), 6u);
    EXPECT_DOUBLE_EQ(profile.VelocityAt(200), 2000 / 125.0);
    // A long harmonic ends at rest, though sin(π) leaves its end speed a hair off zero.
    MotionProfile far;
    std::string error;
    EXPECT_TRUE(ParseMotionProfile("harmonic 1e6 rot 1 s\ndwell 1 s\nharmonic -1e6 rot 1 s\n",
                                   "p.txt", SetupUnits(), far, error))
        << error;
}

TEST(MotionProfile, ExampleProfilesParseAndTheBrokenOnesAreRefused) {
    // Tests run in the source folder.
    int examples = 0;
    for (const auto& entry : std::filesystem::directory_iterator("examples/profiles")) {
        std::ifstream file(entry.path());
        std::stringstream text;
        text << file.rdbuf();
        MotionProfile profile;
        std::string error;
        const bool broken = entry.path().filename().string().starts_with("broken-");
        EXPECT_EQ(ParseMotionProfile(text.str(), "p", SetupUnits(), profile, error), !broken)
            << entry.path() << ": " << error;
        ++examples;
    }
    EXPECT_GE(examples, 3);
}

}  // namespace
