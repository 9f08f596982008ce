// The PT program: order and conditions of the lines, operands as steps of truncated values.
#include <ArrayParameterHost.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <random>

#include "TestHost.h"
#include "codegen/ProgramLength.h"
#include "worked_example.h"

namespace {

class ProgramGenerator : public ::testing::Test {
protected:
    TestHost host;
    CInternalData data{*host.setup, host.motion};

    void Points(const std::vector<Point>& points) {
        SetPoints(data, points);
        SetReadLimits(data, host);
        CArrayParameterHost::SelectUnit(data.m_Position, "IU");
        CArrayParameterHost::SelectUnit(data.m_Time, "IU");
    }
    std::string Code() { return data.GenerateCode().str(); }
};

TEST_F(ProgramGenerator, WorkedExample) {
    Points({{0, 0}, {2000, 100}, {5000, 300}});
    data.m_nExecute = 0;
    data.m_nWaitForCompletion = 1;
    data.m_bSetHostAddress = 1;
    data.m_nHostAddress = 3;
    data.m_nClearBuffer = 1;
    data.m_nStartPoint = 0;
    EXPECT_EQ(Code(), kWorkedExampleProgram);
}

TEST_F(ProgramGenerator, ExecuteOnEventPutsTheEventFirstAndNeverWaits) {
    Points({{0, 0}, {2000, 100}, {5000, 300}});
    data.m_nExecute = 1;
    data.m_nWaitForCompletion = 1;
    const std::string head = "  //Define event: " + data.m_Event.GetDescription(0).str() + "\r\n" +
                             data.m_Event.GenerateMLCode().str();
    const std::string code = Code();
    ASSERT_EQ(code.substr(0, head.size()), head);
    EXPECT_NE(code.find("  PTP 2000L, 100U, 0; //PT(2000[IU], 100[IU])\r\n"
                        "  UPD!; //Execute on event\r\n"
                        "  PTP 3000L, 200U, 0; //PT(5000[IU],300[IU])\r\n"),
              std::string::npos);
    EXPECT_TRUE(code.ends_with("  PTP 3000L, 200U, 0; //PT(5000[IU],300[IU])\r\n"));
    EXPECT_EQ(code.find("WAIT"), std::string::npos);
}

TEST_F(ProgramGenerator, OptionLines) {
    Points({{0, 0}, {10, 10}});
    data.m_bSetHostAddress = 0;
    data.m_nHostAddress = 3;
    data.m_nClearBuffer = 0;
    data.m_nStartPoint = 1;
    data.m_nWaitForCompletion = 0;
    EXPECT_EQ(Code(),
              "  SETPT 0x4F00; //Leave PT buffer intact\r\n"
              "  MODE PT; // Set PT Mode\r\n"
              "  TUM0;//Start from actual value of position\r\n"
              "  CPR;\r\n"
              "  PTP 10L, 10U, 0; //PT(10[IU], 10[IU])\r\n"
              "  UPD; //Execute immediate\r\n");

    data.m_bSetHostAddress = 1;
    data.m_nHostAddress = 255;
    EXPECT_TRUE(Code().starts_with("  MASTERID = 4081; // Set host address to 255\r\n"));
}

TEST_F(ProgramGenerator, StepsAreDifferencesOfTruncatedValues) {
    Points({{0, 0}, {0.9, 0.7}, {2.1, 1.2}, {20.7, 5}, {-5.2, 9}});
    const std::string code = Code();
    EXPECT_NE(code.find("  PTP 0L, 0U, 0; //PT(0.9[IU], 0.7[IU])\r\n"), std::string::npos);
    EXPECT_NE(code.find("  PTP 2L, 1U, 0; //PT(2.1[IU],1.2[IU])\r\n"), std::string::npos);
    EXPECT_NE(code.find("  PTP 18L, 4U, 0; //PT(20.7[IU],5[IU])\r\n"), std::string::npos);
    EXPECT_NE(code.find("  PTP -25L, 4U, 0; //PT(-5.2[IU],9[IU])\r\n"), std::string::npos);
}

// Positions beyond 32 bits are fine as long as every step fits: the operands stay exact.
TEST_F(ProgramGenerator, PositionsBeyond32Bits) {
    Points({{0, 0}, {2147483647.0, 1}, {4294967294.0, 2}, {2147483647.5, 3}});
    const std::string code = Code();
    EXPECT_NE(code.find("  PTP 2147483647L, 1U, 0;"), std::string::npos);
    EXPECT_NE(code.find("  PTP 2147483647L, 1U, 0; //PT(4294967294[IU],2[IU])"), std::string::npos);
    EXPECT_NE(code.find("  PTP -2147483647L, 1U, 0; //PT(2147483647.5[IU],3[IU])"),
              std::string::npos);
}

TEST_F(ProgramGenerator, CommentsUseTheSelectedUnits) {
    Points({{0, 0}, {2000, 1250}, {3000, 1875}});
    CArrayParameterHost::SelectUnit(data.m_Position, "rot");
    CArrayParameterHost::SelectUnit(data.m_Time, "s");
    const std::string code = Code();
    EXPECT_NE(code.find("  PTP 2000L, 1250U, 0; //PT(1[rot], 1[s])\r\n"), std::string::npos);
    EXPECT_NE(code.find("  PTP 1000L, 625U, 0; //PT(1.5[rot],1.5[s])\r\n"), std::string::npos);
}

TEST_F(ProgramGenerator, FewerThanTwoPointsWriteNoPointOrStartLine) {
    data.m_nWaitForCompletion = 1;
    for (const auto& points : {std::vector<Point>{}, std::vector<Point>{{0, 0}}}) {
        Points(points);
        EXPECT_EQ(Code(),
                  "  SETPT 0x4F00; //Leave PT buffer intact\r\n"
                  "  MODE PT; // Set PT Mode\r\n"
                  "  TUM1;//Start from actual value of position reference\r\n"
                  "  CPR;\r\n"
                  "  !MC; WAIT!; //wait for completion\r\n");
    }
    // Unequal arrays: likewise no point lines.
    Points({{0, 0}, {1, 1}, {2, 2}});
    data.m_Position.RemoveValueAt(2, 1);
    EXPECT_EQ(Code().find("PTP"), std::string::npos);
}

// The point lines are put together piece by piece for speed; they must read exactly as the
// printf-style format that describes them, whatever the units and values.
TEST_F(ProgramGenerator, PointLinesReadAsTheirPrintfFormat) {
    std::mt19937_64 random(7);
    const char* positionUnits[] = {"IU", "rot", "deg", "rad"};
    const char* timeUnits[] = {"IU", "s", "ms"};
    for (int motion = 0; motion < 60; ++motion) {
        std::vector<Point> points{{0, 0}};
        double time = 0;
        for (int i = 0; i < 40; ++i) {
            time += std::uniform_real_distribution<double>(0.01, 65535)(random);
            const double scale = motion % 3 == 0 ? 1e-9 : motion % 3 == 1 ? 1e3 : 1e12;
            points.emplace_back(std::uniform_real_distribution<double>(-scale, scale)(random),
                                motion % 2 ? time : std::floor(time));
        }
        Points(points);
        data.m_nExecute = motion % 2;
        CArrayParameterHost::SelectUnit(data.m_Position, positionUnits[motion % 4]);
        CArrayParameterHost::SelectUnit(data.m_Time, timeUnits[motion % 3]);

        std::string expected;
        char line[512];
        long long previousPosition = 0, previousTime = 0;
        for (size_t i = 1; i < points.size(); ++i) {
            const auto position = static_cast<long long>(points[i].first);
            const auto time = static_cast<long long>(points[i].second);
            std::snprintf(line, sizeof line,
                          i == 1 ? "  PTP %lldL, %lldU, 0; //PT(%s[%s], %s[%s])\r\n"
                                 : "  PTP %lldL, %lldU, 0; //PT(%s[%s],%s[%s])\r\n",
                          position - previousPosition, time - previousTime,
                          data.m_Position.PrintValue(static_cast<int>(i)).GetString(),
                          data.m_Position.GetSelectedUnit(),
                          data.m_Time.PrintValue(static_cast<int>(i)).GetString(),
                          data.m_Time.GetSelectedUnit());
            expected += line;
            if (i == 1)
                expected += data.m_nExecute ? "  UPD!; //Execute on event\r\n"
                                            : "  UPD; //Execute immediate\r\n";
            previousPosition = position;
            previousTime = time;
        }
        const std::string code = Code();
        const size_t first = code.find("  PTP ");
        ASSERT_NE(first, std::string::npos);
        EXPECT_EQ(code.substr(first, expected.size()), expected) << "motion " << motion;
    }
}

// A long motion's points leave the record in parts while its program is written: every line
// still reads as its point's values, in order, across the parts.
TEST_F(ProgramGenerator, ALongMotionReadsAsItsPointsWhileThePointsAreReleased) {
    std::mt19937_64 random(11);
    std::vector<Point> points{{0, 0}};
    double position = 0, time = 0;
    for (int i = 1; i < 300000; ++i) {
        position += std::floor(std::uniform_real_distribution<double>(-5000, 5000)(random));
        time += std::floor(std::uniform_real_distribution<double>(1, 65535)(random));
        points.emplace_back(position, time);
    }
    Points(points);
    CArrayParameterHost::SelectUnit(data.m_Time, "s");
    data.m_nExecute = 0;
    std::string expected;
    char line[512];
    for (size_t i = 1; i < points.size(); ++i) {
        std::snprintf(line, sizeof line,
                      i == 1 ? "  PTP %lldL, %lldU, 0; //PT(%s[IU], %s[s])\r\n"
                             : "  PTP %lldL, %lldU, 0; //PT(%s[IU],%s[s])\r\n",
                      static_cast<long long>(points[i].first - points[i - 1].first),
                      static_cast<long long>(points[i].second - points[i - 1].second),
                      data.m_Position.PrintValue(static_cast<int>(i)).GetString(),
                      data.m_Time.PrintValue(static_cast<int>(i)).GetString());
        expected += line;
        if (i == 1) expected += "  UPD; //Execute immediate\r\n";
    }
    const std::string code = Code();
    const size_t first = code.find("  PTP ");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(code.substr(first, expected.size()), expected);
    EXPECT_LT(data.m_Position.GetValuesCount(), static_cast<int>(points.size()) / 2);
}

// What a long program reserves is reckoned in 64 bits: 30 million points once overflowed an int.
TEST(ProgramLength, EstimatedWithoutOverflowAndCappedAtACStringsLength) {
    struct Case {
        int head;
        int points;
        size_t unitNames;
        int expected;
    };
    const Case cases[] = {
        {120, 0, 4, 120},
        {120, 1, 4, 120},
        {120, 2, 4, 120 + 76},
        {0, 1000001, 4, 76000000},
        {0, 28256364, 4, INT_MAX - 59},  // the last count whose estimate fits
        {0, 28256365, 4, INT_MAX},
        {0, 30000000, 4, INT_MAX},
        {0, INT_MAX, 4, INT_MAX},
        {100, 2, SIZE_MAX, INT_MAX},
        {INT_MAX, 2, 0, INT_MAX},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProgramLengthEstimate(c.head, c.points, c.unitNames), c.expected)
            << c.head << " " << c.points << " " << c.unitNames;
    }
}

}  // namespace
