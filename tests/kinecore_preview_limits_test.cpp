// The drive's limits: as a setup states them and as a person types them.
#include <DataArrayText.h>
#include <DriveSetup.h>
#include <RateText.h>
#include <StepRules.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr const char* kUnits =
    "[Setup]\nName=Test\n[PositionUnits]\nrot=2000\nIU=1\n[TimeUnits]\ns=1250\nIU=1\nms=1.25\n";

TEST(DriveLimits, SetupSectionInAnyUnitsOfTheSetup) {
    struct Case {
        const char* limits;
        double speed;         // IU per time IU; 0 for none
        double acceleration;  // IU per time IU²; 0 for none
    };
    const Case cases[] = {
        {"", 0, 0},
        // A bare number is in the setup's first units: rot/s.
        {"[Limits]\nMaxSpeed=50\n", 50 * 2000 / 1250.0, 0},
        {"[Limits]\nMaxSpeed = 3 rot/ms\n", 3 * 2000 / 1.25, 0},
        {"[Limits]\nMaxAcceleration=1000 rot/s^2\n", 0, 1000 * 2000 / (1250.0 * 1250)},
        {"[Limits]\nMaxAcceleration=8 IU/IU\u00B2\nMaxSpeed=2 IU/IU\n", 2, 8},
        // Unit names match regardless of case, as on the command line.
        {"[Limits]\nMaxSpeed=50 ROT/S\n", 50 * 2000 / 1250.0, 0},
        // Revolutions per minute, from rot and s.
        {"[Limits]\nMaxSpeed=3000 rpm\n", 3000 * 2000 / (60 * 1250.0), 0},
    };
    for (const Case& c : cases) {
        CString error;
        auto setup = CDriveSetup::LoadFromText(std::string(kUnits) + c.limits, "setup.ini", error);
        ASSERT_TRUE(setup) << error.GetString();
        const MotionLimits& limits = setup->GetLimits();
        EXPECT_EQ(limits.maxSpeed.has_value(), c.speed != 0) << c.limits;
        EXPECT_EQ(limits.maxAcceleration.has_value(), c.acceleration != 0) << c.limits;
        EXPECT_DOUBLE_EQ(limits.maxSpeed.value_or(0), c.speed) << c.limits;
        EXPECT_DOUBLE_EQ(limits.maxAcceleration.value_or(0), c.acceleration) << c.limits;
        EXPECT_FALSE(limits.maxJerk) << c.limits;
    }
    CString error;
    for (const char* jerk : {"MaxJerk=2e5 rot/s^3", "MaxJerk=2e5 rot/s\u00B3", "MaxJerk=2e5"}) {
        auto setup = CDriveSetup::LoadFromText(std::string(kUnits) + "[Limits]\n" + jerk + "\n",
                                               "setup.ini", error);
        ASSERT_TRUE(setup) << error.GetString();
        EXPECT_DOUBLE_EQ(setup->GetLimits().maxJerk.value_or(0), 2e5 * 2000 / std::pow(1250.0, 3))
            << jerk;
    }
}

TEST(DriveLimits, LimitsMayNameUnitsListedLater) {
    CString error;
    auto setup = CDriveSetup::LoadFromText(
        "[Limits]\nMaxSpeed=250 mm/s\n[PositionUnits]\nmm=800\n[TimeUnits]\ns=1000\n", "setup.ini",
        error);
    ASSERT_TRUE(setup) << error.GetString();
    EXPECT_DOUBLE_EQ(*setup->GetLimits().maxSpeed, 250 * 800 / 1000.0);
}

TEST(DriveLimits, SetupFaultsNameTheLine) {
    struct Case {
        const char* limits;
        const char* message;
    };
    const Case cases[] = {
        {"MaxTorque=5", "setup.ini:11: unknown key \"MaxTorque\" in [Limits]."},
        {"MaxJerk=5 rot/s^2",
         "setup.ini:11: \"5 rot/s^2\" for MaxJerk does not end in units written as "
         "POSITION/TIME^3."},
        {"MaxSpeed=5\nMaxSpeed=6", "setup.ini:12: duplicate key \"MaxSpeed\" in [Limits]."},
        {"MaxSpeed=fast", "setup.ini:11: \"fast\" for MaxSpeed is not a positive number."},
        {"MaxSpeed=0", "setup.ini:11: \"0\" for MaxSpeed is not a positive number."},
        {"MaxSpeed=-5 rot/s",
         "setup.ini:11: \"-5 rot/s\" for MaxSpeed is not a positive number "
         "and units."},
        {"MaxSpeed=5 rot/s^2",
         "setup.ini:11: \"5 rot/s^2\" for MaxSpeed does not end in units "
         "written as POSITION/TIME."},
        {"MaxAcceleration=5 rot/s",
         "setup.ini:11: \"5 rot/s\" for MaxAcceleration does not end "
         "in units written as POSITION/TIME^2."},
        {"MaxSpeed=5 mm/s",
         "setup.ini:11: \"5 mm/s\" for MaxSpeed names the position unit "
         "\"mm\", which the setup lacks (it has rot, IU)."},
        {"MaxSpeed=5 rot/min",
         "setup.ini:11: \"5 rot/min\" for MaxSpeed names the time unit "
         "\"min\", which the setup lacks (it has s, IU, ms)."},
        // A finite number whose value in IU is not.
        {"MaxAcceleration=1e306 rot/IU^2",
         "setup.ini:11: \"1e306 rot/IU^2\" for "
         "MaxAcceleration is out of range."},
    };
    for (const Case& c : cases) {
        CString error;
        auto setup = CDriveSetup::LoadFromText(std::string(kUnits) + "[Limits]\n" + c.limits + "\n",
                                               "setup.ini", error);
        EXPECT_FALSE(setup) << c.limits;
        EXPECT_STREQ(error.GetString(), c.message);
    }
}

TEST(DriveLimits, TypedRateInTheCallersUnits) {
    CString error;
    auto setup = CDriveSetup::LoadFromText(kUnits, "setup.ini", error);
    ASSERT_TRUE(setup);
    const PreviewUnits shown{{"rot", 2000}, {"ms", 1.25}};
    double value = 0;
    std::string message;
    ASSERT_TRUE(ParseRate("0.04", MotionQuantity::Speed, *setup, shown, value, message));
    EXPECT_DOUBLE_EQ(value, 0.04 * 2000 / 1.25);
    ASSERT_TRUE(ParseRate("50 rot/s", MotionQuantity::Speed, *setup, shown, value, message));
    EXPECT_DOUBLE_EQ(value, 50 * 2000 / 1250.0);
    EXPECT_FALSE(ParseRate("50 rot/", MotionQuantity::Speed, *setup, shown, value, message));
    EXPECT_FALSE(ParseRate("", MotionQuantity::Speed, *setup, shown, value, message));
    EXPECT_FALSE(ParseRate("nan", MotionQuantity::Speed, *setup, shown, value, message));
    ASSERT_TRUE(ParseRate("60 RPM", MotionQuantity::Speed, *setup, shown, value, message));
    EXPECT_DOUBLE_EQ(value, 2000 / 1250.0);
    EXPECT_FALSE(ParseRate("60 rpm", MotionQuantity::Acceleration, *setup, shown, value, message));
    ASSERT_TRUE(ParseRate("1 IU/IU^3", MotionQuantity::Jerk, *setup, shown, value, message));
    EXPECT_EQ(value, 1);
    // rpm needs revolutions.
    auto linear = CDriveSetup::LoadFromText("[PositionUnits]\nmm=800\n[TimeUnits]\ns=1000\n",
                                            "linear.ini", error);
    ASSERT_TRUE(linear);
    EXPECT_FALSE(ParseRate("60 rpm", MotionQuantity::Speed, *linear, shown, value, message));
    EXPECT_EQ(message,
              "is in rpm, which needs the setup's position unit rot and a time unit s, ms or min");
}

TEST(StepRules, StepsFromNineTenthsOfTheirBound) {
    TrajectoryPreview preview;
    std::string error;
    ASSERT_TRUE(preview.Build({0, 58981, 58982, 65535 + 58982},
                              {0, 1, -1932735283 + 1, 2147483647 - 1932735282}, error));
    const std::vector<StepNearBound> near = FindStepsNearBounds(MotionFigures::Of(preview));
    // Time step 58981 is just under 0.9·65535 = 58981.5; 65535 is at the bound. Position step
    // -1932735283 is just over 0.9·2147483647 in magnitude, 2147483647 at the bound.
    ASSERT_EQ(near.size(), 3u);
    EXPECT_EQ(near[0].step, StepNearBound::Step::Position);
    EXPECT_EQ(near[0].segment, 1);
    EXPECT_EQ(near[0].value, 1932735283);
    EXPECT_EQ(near[1].step, StepNearBound::Step::Time);
    EXPECT_EQ(near[1].segment, 2);
    EXPECT_EQ(near[2].step, StepNearBound::Step::Position);
    EXPECT_EQ(near[2].segment, 2);
}

TEST(DataArrayText, ReadsAnArrayWithItsUnitAndReplacesItInPlace) {
    auto setup = CDriveSetup::CreateDefault();
    const std::string text = "ATIME[ms]=3: 0 100 300\r\nTPOS[deg]=3: 0 2000 5000\r\nX=1\n";
    std::vector<double> times, positions;
    CMC_Unit timeUnit, positionUnit;
    EXPECT_STREQ(ReadDataArray(text, "ATIME", *setup, times, timeUnit).GetString(), "");
    EXPECT_STREQ(ReadDataArray(text, "TPOS", *setup, positions, positionUnit).GetString(), "");
    EXPECT_EQ(times, (std::vector<double>{0, 100, 300}));
    EXPECT_EQ(positions, (std::vector<double>{0, 2000, 5000}));
    EXPECT_EQ(timeUnit.name, "ms");
    EXPECT_EQ(positionUnit.name, "deg");
    EXPECT_STREQ(
        ReadDataArray("ATIME[ms]=1: 0\n", "TPOS", *setup, positions, positionUnit).GetString(),
        "Parameter \"TPOS\" is missing.");

    // The values go in under the entry's unit; the other lines and the line ends stay.
    const std::string replaced = WithDataArray(text, "TPOS", {0, 4000});
    EXPECT_EQ(replaced.substr(0, 24), text.substr(0, 24));
    EXPECT_EQ(replaced.substr(replaced.size() - 6), "\r\nX=1\n");
    EXPECT_STREQ(ReadDataArray(replaced, "TPOS", *setup, positions, positionUnit).GetString(), "");
    EXPECT_EQ(positions, (std::vector<double>{0, 4000}));
    EXPECT_EQ(positionUnit.name, "deg");
}

}  // namespace
