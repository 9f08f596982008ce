// The PT program: order and conditions of the lines, operands as steps of truncated values.
#include <gtest/gtest.h>

#include "TestHost.h"
#include "worked_example.h"

namespace {

class ProgramGenerator : public ::testing::Test {
protected:
    TestHost host;
    CInternalData data{*host.setup, host.motion};

    void Points(const std::vector<Point>& points) {
        SetPoints(data, points);
        SetReadLimits(data);
        data.m_Position.SelectUnit("IU");
        data.m_Time.SelectUnit("IU");
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
    data.m_Position.SelectUnit("rot");
    data.m_Time.SelectUnit("s");
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

}  // namespace
