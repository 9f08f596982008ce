// The PT parameter record: reading with every fault collected, writing, defaults, and the
// repair of a point list before editing.
#include <ArrayParameterHost.h>
#include <gtest/gtest.h>

#include <random>

#include "TestHost.h"

namespace {

const char* kCount = "Invalid number of points. You should have at least 2 points.";
const char* kFirst = "Invalid values for first point. It should be (P, t)(0) = (0, 0).";

std::string BadArray(const char* key) {
    return std::string("Parameter \"") + key +
           "\" holds no valid point list: it must hold at least one value, start at 0, and have "
           "as many values as the time list.\r\n";
}

// A text of the given lines, each ended by CR LF.
CString Text(std::initializer_list<const char*> lines) {
    CString text;
    for (const char* line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

class Record : public ::testing::Test {
protected:
    TestHost host;
    CInternalData data{*host.setup, host.motion};
    CString error;

    int Read(const CString& source) {
        CString text = source;
        return data.ReadParameters(text, error);
    }
    std::string Written() {
        CString text;
        data.WriteParameters(text);
        return text.str();
    }
};

TEST_F(Record, ConstructorDefaults) {
    EXPECT_EQ(data.m_bSetHostAddress, 0);
    EXPECT_EQ(data.m_nHostAddress, 255);
    EXPECT_EQ(data.m_nClearBuffer, 0);
    EXPECT_EQ(data.m_nStartPoint, 0);
    EXPECT_EQ(data.m_nExecute, 0);
    EXPECT_EQ(data.m_nWaitForCompletion, 0);
    EXPECT_TRUE(data.m_Event.m_wFlags & CMotionEvent::FLAG_BIT0);
}

TEST_F(Record, MotionControllerClearsOnlyBitZeroOfTheEventFlags) {
    CString message;
    auto setup =
        CDriveSetup::LoadFromText("[Setup]\nName=MC\nMotionController=1\n", "mc.ini", message);
    ASSERT_TRUE(setup) << message.GetString();
    CMC_Motion motion(*setup);
    CMotionEvent plain(*setup, motion);
    CInternalData controller(*setup, motion);
    EXPECT_EQ(controller.m_Event.m_wFlags, plain.m_wFlags & ~CMotionEvent::FLAG_BIT0);
}

TEST_F(Record, FullyValidText) {
    EXPECT_EQ(Read(Text({"MASTERID=17", "ClearBuffer=1", "StartPoint=1", "ATIME[ms]=3: 0 100 300",
                         "TPOS[deg]=3: 0 2000 -5000.5", "Execute=0", "WaitForCompletion=1"})),
              1);
    EXPECT_STREQ(error, "");
    EXPECT_EQ(data.m_bSetHostAddress, 1);
    EXPECT_EQ(data.m_nHostAddress, 17);
    EXPECT_EQ(data.m_nClearBuffer, 1);
    EXPECT_EQ(data.m_nStartPoint, 1);
    EXPECT_EQ(data.m_nWaitForCompletion, 1);
    EXPECT_EQ(data.m_Position.GetValueInInternalUnit(2), -5000.5);
    EXPECT_STREQ(data.m_Time.GetSelectedUnit(), "ms");
    EXPECT_STREQ(data.m_Position.GetSelectedUnit(), "deg");
    EXPECT_EQ(data.m_Time.GetMinInInternalUnit(), 0);
    EXPECT_EQ(data.m_Time.GetMaxInInternalUnit(), 2147483646);
}

TEST_F(Record, HostAddress) {
    const char* rest[] = {"ATIME[IU]=2: 0 1", "TPOS[IU]=2: 0 1", "Execute=0"};
    for (const char* address : {"MASTERID=0", "MASTERID=256", "MASTERID=-3", ""}) {
        CInternalData fresh(*host.setup, host.motion);
        CString text = Text({address, rest[0], rest[1], rest[2]});
        EXPECT_EQ(fresh.ReadParameters(text, error), 1) << error.GetString();
        EXPECT_EQ(fresh.m_bSetHostAddress, 0) << address;
        EXPECT_EQ(fresh.m_nHostAddress, 255) << address;
        CString written;
        fresh.WriteParameters(written);
        EXPECT_EQ(written.str().find("MASTERID"), std::string::npos);
    }
    ASSERT_EQ(Read(Text({"MASTERID=17", rest[0], rest[1], rest[2]})), 1);
    EXPECT_TRUE(Written().starts_with("MASTERID=17\r\n"));
}

// Every fault is collected, in the order of the keys, and the point list is validated last.
TEST_F(Record, FaultsAreCollectedInOrder) {
    const std::pair<std::vector<const char*>, std::string> cases[] = {
        {{"ATIME[IU]=3: 5 10 20", "TPOS[IU]=3: 0 1 2", "Execute=0"}, BadArray("ATIME") + kFirst},
        {{"ATIME[IU]=3: 0 10 20", "TPOS[IU]=2: 0 1", "Execute=0"}, BadArray("TPOS") + kCount},
        {{"ATIME[IU]=2: 0 10", "TPOS[IU]=2: 4 1", "Execute=0"}, BadArray("TPOS") + kFirst},
        {{"ATIME[IU]=0:", "TPOS[IU]=0:", "Execute=0"}, BadArray("ATIME") + kCount},
        {{"ATIME[IU]=2: 0 x", "TPOS[furlong]=2: 0 1"},
         "Parameter \"ATIME\": value 2 (\"x\") is not a number.\r\n"
         "Parameter \"TPOS\" has the unit \"furlong\", which the setup does not offer.\r\n"
         "Parameter \"Execute\" is missing.\r\n" +
             std::string(kCount)},
        {{"ATIME[IU]=2: 0 10", "TPOS[IU]=2: 0 10", "Execute=2"},
         "Parameter \"Execute\" has the value 2; it must lie from 0 to 1.\r\n"},
    };
    for (const auto& [lines, message] : cases) {
        CInternalData fresh(*host.setup, host.motion);
        CString text;
        for (const char* line : lines) text += CString(line) + "\r\n";
        EXPECT_EQ(fresh.ReadParameters(text, error), 0) << message;
        EXPECT_EQ(error.str(), message);
        // The time limits are set whatever the array held.
        EXPECT_EQ(fresh.m_Time.GetMinInInternalUnit(), 0);
        EXPECT_EQ(fresh.m_Time.GetMaxInInternalUnit(), 2147483646);
    }
}

TEST_F(Record, EventIsReadOnlyWhenExecutingOnEvent) {
    const CString points = Text({"ATIME[IU]=2: 0 10", "TPOS[IU]=2: 0 10"});
    EXPECT_EQ(Read(points + Text({"Execute=1"})), 0);
    CString eventError;
    CMotionEvent probe(*host.setup, host.motion);
    CString empty;
    probe.ReadParameters(empty, eventError);
    EXPECT_EQ(error, eventError);
    EXPECT_EQ(Read(points + Text({"Execute=0"})), 1);
}

TEST_F(Record, WritingFollowsTheExecutionMode) {
    SetPoints(data, {{0, 0}, {10, 10}});
    data.m_nWaitForCompletion = 1;
    std::string text = Written();
    EXPECT_NE(text.find("WaitForCompletion=1\r\n"), std::string::npos);
    CString eventKeys;
    data.m_Event.WriteParameters(eventKeys);
    EXPECT_EQ(text.find(eventKeys.str()), std::string::npos);

    data.m_nExecute = 1;
    text = Written();
    EXPECT_EQ(text.find("WaitForCompletion"), std::string::npos);
    EXPECT_TRUE(text.ends_with("Execute=1\r\n" + eventKeys.str()));

    // Writing appends to what the text already holds.
    CString existing = "Kept=1\r\n";
    data.WriteParameters(existing);
    EXPECT_TRUE(existing.str().starts_with("Kept=1\r\nClearBuffer=0\r\n"));
}

TEST_F(Record, WrittenTextReadsBackBitForBit) {
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> step(0.001, 60000.0);
    std::uniform_real_distribution<double> jump(-2e9, 2e9);
    std::vector<Point> points{{0, 0}};
    for (int i = 1; i < 500; ++i) {
        points.emplace_back(points.back().first + jump(random),
                            points.back().second + step(random));
    }
    SetPoints(data, points);
    CArrayParameterHost::SelectUnit(data.m_Position, "rad");
    CArrayParameterHost::SelectUnit(data.m_Time, "ms");
    data.m_bSetHostAddress = 1;
    data.m_nHostAddress = 200;
    data.m_nClearBuffer = 1;
    data.m_nExecute = 1;
    CString text;
    data.WriteParameters(text);

    CInternalData copy(*host.setup, host.motion);
    ASSERT_EQ(copy.ReadParameters(text, error), 1) << error.GetString();
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(copy.m_Position.GetValueInInternalUnit(i), points[i].first) << i;
        ASSERT_EQ(copy.m_Time.GetValueInInternalUnit(i), points[i].second) << i;
    }
    EXPECT_STREQ(copy.m_Position.GetSelectedUnit(), "rad");
    EXPECT_STREQ(copy.m_Time.GetSelectedUnit(), "ms");
    CString again;
    copy.WriteParameters(again);
    EXPECT_EQ(again, text);
}

TEST_F(Record, MatchPointCounts) {
    SetPoints(data, {{0, 0}, {1, 1}, {2, 2}});
    for (double t : {3.0, 4.0})
        CArrayParameterHost::InsertValueInInternalUnitAt(data.m_Time, data.m_Time.GetValuesCount(),
                                                         t);
    data.MatchPointCounts();
    ASSERT_EQ(data.m_Time.GetValuesCount(), 3);
    EXPECT_EQ(data.m_Time.GetValueInInternalUnit(2), 2);

    SetPoints(data, {});
    data.MatchPointCounts();
    ASSERT_EQ(data.m_Time.GetValuesCount(), 1);
    ASSERT_EQ(data.m_Position.GetValuesCount(), 1);
    EXPECT_EQ(data.m_Time.GetValueInInternalUnit(0), 0);

    SetPoints(data, {{-1, 2.5}, {7, 9}});
    CArrayParameterHost::InsertValueInInternalUnitAt(data.m_Position, 2, 8);
    data.MatchPointCounts();
    EXPECT_EQ(data.m_Time.GetValueInInternalUnit(0), 0);
    EXPECT_EQ(data.m_Position.GetValueInInternalUnit(0), 0);
    EXPECT_EQ(data.m_Position.GetValueInInternalUnit(1), 7);
    EXPECT_EQ(data.m_Position.GetValuesCount(), 2);
}

TEST_F(Record, DefaultTextIsANewMotion) {
    const CString text = data.GetDefaultParameterText();
    EXPECT_EQ(text.str(),
              "ClearBuffer=1\r\nATIME[s]=1: 0\r\nTPOS[rot]=1: 0\r\nExecute=0\r\n"
              "WaitForCompletion=1\r\n");
}

}  // namespace
