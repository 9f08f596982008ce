#include <ArrayParameterHost.h>
#include <DriveSetup.h>
#include <MC_EditMotionInternalData.h>
#include <NumberText.h>
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <string>

namespace {

// The kernel's text operations without a motion type's own record.
class PlainRecord : public CMC_EditMotionInternalData {
public:
    using CMC_EditMotionInternalData::CMC_EditMotionInternalData;
    int ReadParameters(CString&, CString&) override { return 1; }
    void WriteParameters(CString&) override {}
};

class ParameterTextTest : public testing::Test {
protected:
    // The message of reading `text` as "TPOS", without the line end that every message has;
    // the array is left in m_array.
    std::string ArrayMessage(const std::string& text) {
        CString copy(text);
        return Line(m_record.ReadArrayDataParam(copy, "TPOS", nullptr, nullptr, m_array));
    }
    std::string RadioMessage(const std::string& text, int low = 0, int high = 1) {
        CString copy(text);
        return Line(m_record.ReadRadioParam(copy, "Execute", m_value, low, high));
    }
    // A message without its line end, which must be there unless the message is empty.
    static std::string Line(const CString& message) {
        std::string line = message.str();
        if (line.empty()) return line;
        EXPECT_TRUE(line.ends_with(".\r\n")) << line;
        return line.substr(0, line.size() - 2);
    }

    std::unique_ptr<CDriveSetup> m_setup = CDriveSetup::CreateDefault();
    CMC_Motion m_motion{*m_setup};
    PlainRecord m_record{*m_setup, m_motion};
    CMC_ArrayParameter m_array{*m_setup};
    int m_value = -7;
};

TEST_F(ParameterTextTest, OptionsReadBackWhateverTheLineEnds) {
    CString text;
    m_record.WriteRadioParam(text, "ClearBuffer", 1);
    m_record.WriteRadioParam(text, "Execute", -12);
    EXPECT_EQ(text, "ClearBuffer=1\r\nExecute=-12\r\n");
    EXPECT_EQ(RadioMessage(text.GetString(), -20, 20), "");
    EXPECT_EQ(m_value, -12);
    EXPECT_EQ(RadioMessage("; a comment\n\nExecuted=0\nExecute=1"), "");
    EXPECT_EQ(m_value, 1);
}

TEST_F(ParameterTextTest, TheLastEntryOfAKeyCounts) {
    EXPECT_EQ(RadioMessage("Execute=0\r\nOther=3\r\nExecute=1\r\n"), "");
    EXPECT_EQ(m_value, 1);
    EXPECT_EQ(RadioMessage("Execute=1\r\nExecuted=0\r\nExecute\r\n\r\n"), "");
    EXPECT_EQ(m_value, 1);
    EXPECT_EQ(RadioMessage("Execute=1\nExecute=5\n"),
              "Parameter \"Execute\" has the value 5; it must lie from 0 to 1.");
    EXPECT_EQ(ArrayMessage("TPOS[IU]=1: 5\nTPOS[deg]=2: 0 7\n"), "");
    EXPECT_EQ(CArrayParameterHost::GetValuesInInternalUnit(m_array), (std::vector<double>{0, 7}));
    EXPECT_STREQ(m_array.GetSelectedUnit(), "deg");
}

// A text written with an option off leaves the key out; it must read back as off.
TEST_F(ParameterTextTest, OptionalOptionsReadAsLowBoundUnlessValid) {
    int value = 255;
    for (const char* text : {"", "MASTERID=300", "MASTERID=-1", "MASTERID=1x", "MASTERID=",
                             "MASTERID[IU]=3", "MASTERID=99999999999999999999", "MASTERID=\x01"}) {
        CString copy(text);
        value = 255;
        m_record.ReadOptionalRadioParam(copy, "MASTERID", value, 0, 255);
        EXPECT_EQ(value, 0) << text;
    }
    CString good("MASTERID=17\r\n");
    m_record.ReadOptionalRadioParam(good, "MASTERID", value, 0, 255);
    EXPECT_EQ(value, 17);
}

TEST_F(ParameterTextTest, BadOptionsGetMessagesThatNameTheKey) {
    const std::pair<std::string, std::string> cases[] = {
        {"ClearBuffer=1\r\n", "Parameter \"Execute\" is missing."},
        {"Execute=5", "Parameter \"Execute\" has the value 5; it must lie from 0 to 1."},
        {"Execute=99999999999",
         "Parameter \"Execute\" has the value 99999999999; it must lie from 0 to 1."},
        {"Execute=1x", "Parameter \"Execute\" has the value \"1x\", which is not a whole number."},
        {"Execute= 1", "Parameter \"Execute\" has the value \" 1\", which is not a whole number."},
        {"Execute=\r\n", "Parameter \"Execute\" has no value."},
        {"Execute[IU]=1", "Parameter \"Execute\" takes no unit; it is written as Execute=value."},
        {std::string("Execute=1\0", 10), "Parameter \"Execute\" contains binary data (byte 0x00)."},
    };
    for (const auto& [text, message] : cases) EXPECT_EQ(RadioMessage(text), message) << text;
    EXPECT_EQ(m_value, -7);  // no failure stored anything
}

TEST_F(ParameterTextTest, ArraysReadBackBitForBit) {
    std::mt19937_64 random(20240601);
    std::vector<double> values = {0.0,
                                  -0.0,
                                  0.1,
                                  -1.0 / 3,
                                  std::numeric_limits<double>::denorm_min(),
                                  -std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::max(),
                                  -std::numeric_limits<double>::max(),
                                  1e21,
                                  2147483646.0,
                                  999999999999999.0,
                                  -999999999999999.0,
                                  1e15,
                                  9007199254740993.0};
    std::uniform_real_distribution<double> ordinary(-1e7, 1e7);
    for (int i = 0; i < 2000; ++i) values.push_back(ordinary(random));
    for (int i = 0; i < 2000; ++i) values.push_back(std::round(ordinary(random)));
    for (int i = 0; i < 2000; ++i) {  // any finite bit pattern: tiny, huge, negative
        const double value = std::bit_cast<double>(random());
        if (std::isfinite(value)) values.push_back(value);
    }

    CMC_ArrayParameter written(*m_setup);
    ASSERT_TRUE(CArrayParameterHost::BindToKey(written, "TPOS"));
    ASSERT_TRUE(CArrayParameterHost::SelectUnit(written, "rad"));
    CArrayParameterHost::SetValuesInInternalUnit(written, values);
    CString text("Execute=0\r\n");
    m_record.WriteArrayDataParam(text, written);
    const std::string head =
        "Execute=0\r\nTPOS[rad]=" + std::to_string(values.size()) + ": 0 -0 0.1 -0.3";
    EXPECT_TRUE(text.str().starts_with(head)) << text.str().substr(0, 60);

    EXPECT_EQ(ArrayMessage(text.GetString()), "");
    EXPECT_STREQ(m_array.GetSelectedUnit(), "rad");
    const std::vector<double>& read = CArrayParameterHost::GetValuesInInternalUnit(m_array);
    ASSERT_EQ(read.size(), values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        ASSERT_EQ(std::bit_cast<std::uint64_t>(read[i]), std::bit_cast<std::uint64_t>(values[i]))
            << "value " << i << ": " << values[i];
    }
}

// A whole array is written from its whole values, a fractional one from its doubles: the text is
// the same as the shortest decimals of the values, one by one.
TEST_F(ParameterTextTest, WholeAndFractionalArraysWriteTheShortestDecimals) {
    std::mt19937_64 random(26);
    for (const bool whole : {true, false}) {
        std::vector<double> values = {0, -1, 2147483647.0, -2147483648.0};
        for (int i = 0; i < 5000; ++i) {
            const double value = static_cast<double>(static_cast<std::int32_t>(random()));
            values.push_back(whole ? value : value / 16);
        }
        CMC_ArrayParameter written(*m_setup);
        ASSERT_TRUE(CArrayParameterHost::BindToKey(written, "TPOS"));
        CArrayParameterHost::SetValuesInInternalUnit(written, values);
        CString text;
        m_record.WriteArrayDataParam(text, written);
        std::string expected = "TPOS[" + std::string(written.GetSelectedUnit()) +
                               "]=" + std::to_string(values.size()) + ":";
        char buffer[kNumberTextSize];
        for (const double value : values)
            expected += " " + std::string(FormatShortest(value, buffer));
        EXPECT_EQ(text.str(), expected + "\r\n") << (whole ? "whole" : "fractional");
    }
}

// The host's check of a text against the values it expects answers as reading the text and
// comparing would, for texts right and wrong in every part.
TEST_F(ParameterTextTest, TextHoldsAnswersAsReadingAndComparing) {
    std::mt19937_64 random(7);
    const std::vector<double> expected = {0, 12, -3, 4.5, 1e21, 7};
    const std::vector<std::string> texts = {"TPOS[IU]=6: 0 12 -3 4.5 1e21 7",
                                            "TPOS[IU]=6: 0 12 -3 4.5 1e+21 7.0\r\n",
                                            "TPOS[IU]=6:  0\t12 -3 4.50 1000000000000000000000 7  ",
                                            "TPOS[rot]=6: 0 12 -3 4.5 1e21 7",
                                            "TPOS[IU]=6: 0 12 -3 4.5 1e21 8",
                                            "TPOS[IU]=6: 0 12 -3 4.5 1e21",
                                            "TPOS[IU]=5: 0 12 -3 4.5 1e21",
                                            "TPOS[IU]=6: 0 12 -3 4.5 1e21 7 9",
                                            "TPOS[IU]=6: 0 12 -3 4.5 1e21 7x",
                                            "TPOS[IU]=6: 0 12 -3 nan 1e21 7",
                                            "TPOS[I\x01U]=6: 0 12 -3 4.5 1e21 7",
                                            "TPOS[IU]=6: 0 12 -3 4.5 1e21 7\x01",
                                            "TPOS[mm]=6: 0 12 -3 4.5 1e21 7",
                                            "TPOS=6: 0 12 -3 4.5 1e21 7",
                                            "TPOS[IU]=-6: 0 12 -3 4.5 1e21 7",
                                            "ATIME[IU]=6: 0 12 -3 4.5 1e21 7",
                                            "TPOS[IU]=6: 0 12 -3 4.5 1e21 7\r\nTPOS[IU]=1: 0",
                                            "TPOS[IU]=1: 0\r\nTPOS[IU]=6: -0 12 -3 4.5 1e21 7"};
    const std::string characters = "0123456789 -.e:[]=TPOSIU\x01";
    std::vector<std::string> cases(texts.begin(), texts.end());
    for (int i = 0; i < 3000; ++i) {  // the right text with a byte changed, dropped or added
        std::string text = texts[0];
        const size_t at = random() % text.size();
        const char c = characters[random() % characters.size()];
        switch (random() % 3) {
            case 0:
                text[at] = c;
                break;
            case 1:
                text.erase(at, 1);
                break;
            default:
                text.insert(at, 1, c);
        }
        cases.push_back(text);
    }
    for (const std::string& text : cases) {
        const bool read = ArrayMessage(text).empty();
        const bool holds =
            read && CArrayParameterHost::GetValuesInInternalUnit(m_array) == expected;
        EXPECT_EQ(CArrayParameterHost::TextHolds(*m_setup, CString(text), "TPOS", expected), holds)
            << text;
    }
}

// Whole numbers read by a quicker path than other numbers: the same doubles as the other path
// gives them, however they are written.
TEST_F(ParameterTextTest, WholeNumbersReadAsAnyOtherNumber) {
    const std::vector<std::string> tokens = {"0",
                                             "-0",
                                             "007",
                                             "-0012",
                                             "12.",
                                             "12.0",
                                             "1e3",
                                             "123456789012345",
                                             "-123456789012345",
                                             "1234567890123456",
                                             "99999999999999999999"};
    std::string text = "TPOS[IU]=" + std::to_string(tokens.size()) + ":";
    for (const std::string& token : tokens) text += " " + token;
    ASSERT_EQ(ArrayMessage(text + "\r\n"), "");
    const std::vector<double>& read = CArrayParameterHost::GetValuesInInternalUnit(m_array);
    ASSERT_EQ(read.size(), tokens.size());
    for (size_t i = 0; i < tokens.size(); ++i) {
        double expected = 0;
        std::from_chars(tokens[i].data(), tokens[i].data() + tokens[i].size(), expected);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(read[i]), std::bit_cast<std::uint64_t>(expected))
            << tokens[i];
    }
    EXPECT_EQ(ArrayMessage("TPOS[IU]=2: 12 -\r\n"),
              "Parameter \"TPOS\": value 2 (\"-\") is not a number.");
    EXPECT_EQ(ArrayMessage("TPOS[IU]=2: 12 3x\r\n"),
              "Parameter \"TPOS\": value 2 (\"3x\") is not a number.");
}

// Whole numbers take a quicker path than fractions; the text must not tell them apart.
TEST(NumberTextTest, WholeNumbersPrintInPlainDigits) {
    const struct {
        double value;
        const char* printed;
    } cases[] = {
        {0.0, "0"},
        {-0.0, "-0"},
        {1.0, "1"},
        {-2147483648.0, "-2147483648"},
        {999999999999999.0, "999999999999999"},
        {1e15, "1000000000000000"},
        {9007199254740993.0, "9007199254740992"},
        {1e19, "10000000000000000000"},
        {1e20, "1e+20"},  // 21 characters as plain digits
        {-1e19, "-1e+19"},
        {1e21, "1e+21"},
        {2.5, "2.5"},
        {-0.5, "-0.5"},
    };
    for (const auto& c : cases) {
        char buffer[kNumberTextSize];
        EXPECT_EQ(FormatShortest(c.value, buffer), c.printed) << c.printed;
    }
}

TEST_F(ParameterTextTest, EmptyArraysAndLenientBlanksRead) {
    EXPECT_EQ(ArrayMessage("TPOS[IU]=0:\r\n"), "");
    EXPECT_EQ(m_array.GetValuesCount(), 0);
    EXPECT_EQ(ArrayMessage("TPOS[IU]=3:1  2\t3 \r\n"), "");
    EXPECT_EQ(CArrayParameterHost::GetValuesInInternalUnit(m_array),
              (std::vector<double>{1, 2, 3}));
    CString empty;
    m_record.WriteArrayDataParam(empty, m_array);
    EXPECT_EQ(empty, "TPOS[IU]=3: 1 2 3\r\n");
}

TEST_F(ParameterTextTest, BadArraysGetMessagesAndLeaveTheArrayEmptyButBound) {
    const std::pair<std::string, std::string> cases[] = {
        {"ATIME[ms]=1: 0", "Parameter \"TPOS\" is missing."},
        {"TPOS[IU]=3: 0 1.2.3 4", "Parameter \"TPOS\": value 2 (\"1.2.3\") is not a number."},
        {"TPOS[IU]=3: 0 1 x", "Parameter \"TPOS\": value 3 (\"x\") is not a number."},
        {"TPOS[IU]=2: 0 +1", "Parameter \"TPOS\": value 2 (\"+1\") is not a number."},
        {"TPOS[IU]=2: 0 nan", "Parameter \"TPOS\": value 2 (\"nan\") is not a finite number."},
        {"TPOS[IU]=2: -inf 0", "Parameter \"TPOS\": value 1 (\"-inf\") is not a finite number."},
        {"TPOS[IU]=1: 1e400", "Parameter \"TPOS\": value 1 (\"1e400\") is out of range."},
        {"TPOS[furlong]=1: 0",
         "Parameter \"TPOS\" has the unit \"furlong\", which the setup does not offer."},
        {"TPOS[s]=1: 0", "Parameter \"TPOS\" has the unit \"s\", which the setup does not offer."},
        {"TPOS[IU]=3: 0 1",
         "Parameter \"TPOS\" holds only 2 of the 3 values it announces; the text may be cut off."},
        {"TPOS[IU]=1000000000: 0 1",
         "Parameter \"TPOS\" holds only 2 of the 1000000000 values it announces; the text may be "
         "cut off."},
        {"TPOS[IU]=99999999999: 0",
         "Parameter \"TPOS\" announces 99999999999 values, more than an array can hold."},
        {"TPOS[IU]=1: 0 1", "Parameter \"TPOS\" holds more values than the 1 it announces."},
        {"TPOS[IU]=-1: 0", "Parameter \"TPOS\" has the count \"-1\", which is not a whole number."},
        {"TPOS[IU]=: 0", "Parameter \"TPOS\" has the count \"\", which is not a whole number."},
        {"TPOS[IU]=1 0", "Parameter \"TPOS\" is not written as TPOS[unit]=count: values."},
        {"TPOS=1: 0", "Parameter \"TPOS\" is not written as TPOS[unit]=count: values."},
        {"TPOS[IU=1: 0", "Parameter \"TPOS\" is not written as TPOS[unit]=count: values."},
        {std::string("TPOS[IU]=2: 0 \x7f\x45LF"),
         "Parameter \"TPOS\" contains binary data (byte 0x7F)."},
        {std::string("TPOS[IU]=2: 0 1\r\r\n"),
         "Parameter \"TPOS\" contains binary data (byte 0x0D)."},
        // Wherever the byte stands, and whatever else is wrong, binary data is what is named.
        {std::string("TPOS[I\x01U]=1: 0"), "Parameter \"TPOS\" contains binary data (byte 0x01)."},
        {std::string("TPOS[IU]=2: 0 1 \x02"),
         "Parameter \"TPOS\" contains binary data (byte 0x02)."},
        {std::string("TPOS[IU]=2: 0\x1b 1"),
         "Parameter \"TPOS\" contains binary data (byte 0x1B)."},
        {std::string("TPOS[IU]=x: 0 \x03"), "Parameter \"TPOS\" contains binary data (byte 0x03)."},
    };
    for (const auto& [text, message] : cases) {
        CArrayParameterHost::SelectUnit(m_array,
                                        "IU");  // reading must select the default unit again
        m_array.SetValuesCount(4);
        EXPECT_EQ(ArrayMessage(text), message) << text;
        EXPECT_STREQ(CArrayParameterHost::GetKey(m_array), "TPOS");
        EXPECT_EQ(m_array.GetValuesCount(), 0) << text;
        EXPECT_STREQ(m_array.GetSelectedUnit(), "rot") << text;
    }
    CString text("SPEED[IU]=1: 0");
    EXPECT_EQ(m_record.ReadArrayDataParam(text, "SPEED", nullptr, nullptr, m_array),
              "Parameter \"SPEED\" is not a data parameter of the kernel.\r\n");
}

TEST_F(ParameterTextTest, QuotedJunkIsCutShort) {
    const std::string junk(5000, 'x');
    EXPECT_EQ(ArrayMessage("TPOS[IU]=1: " + junk),
              "Parameter \"TPOS\": value 1 (\"" + junk.substr(0, 40) + "...\") is not a number.");
}

TEST_F(ParameterTextTest, NamesUnitsAndSingleValueEntries) {
    EXPECT_EQ(CMC_EditMotionInternalData::GetDataParamName("ATIME", nullptr, nullptr), "ATIME");
    EXPECT_EQ(CMC_EditMotionInternalData::GetDataParamName("TPOS", nullptr, nullptr), "TPOS");
    EXPECT_EQ(CMC_EditMotionInternalData::GetDataParamName("SPEED", nullptr, nullptr), "");
    EXPECT_STREQ(m_record.GetDefaultUnit("TPOS", nullptr, nullptr), "rot");
    EXPECT_STREQ(m_record.GetDefaultUnit("ATIME", nullptr, nullptr), "s");
    EXPECT_STREQ(m_record.GetDefaultUnit("SPEED", nullptr, nullptr), "");
    CString error;
    auto linear = CDriveSetup::LoadFromFile("examples/setups/linear-drive.ini", error);
    ASSERT_TRUE(linear) << error.GetString();
    EXPECT_STREQ(m_record.GetDefaultUnit("TPOS", nullptr, linear.get()), "mm");

    CString text;
    m_motion.AddToElemParameters(text, "ATIME", "s", "0");
    m_motion.AddToElemParameters(text, "TPOS", "deg", "90");
    m_motion.AddToElemParameters(text, "TPOS", "mm", "1");     // not a unit of this setup
    m_motion.AddToElemParameters(text, "TPOS", "rot", "1x");   // not a number
    m_motion.AddToElemParameters(text, "TPOS", "rot", "inf");  // not finite
    m_motion.AddToElemParameters(text, "SPEED", "IU", "1");    // not a data parameter
    EXPECT_EQ(text, "ATIME[s]=1: 0\r\nTPOS[deg]=1: 500\r\n");
    EXPECT_EQ(ArrayMessage(text.GetString()), "");
    EXPECT_STREQ(m_array.GetSelectedUnit(), "deg");
    EXPECT_DOUBLE_EQ(m_array.GetValue(0), 90.0);
}

TEST_F(ParameterTextTest, AMillionPointsReadInLinearTime) {
    CMC_ArrayParameter written(*m_setup);
    ASSERT_TRUE(CArrayParameterHost::BindToKey(written, "TPOS"));
    std::vector<double> values(1000000);
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> distribution(-1e6, 1e6);
    for (double& value : values) value = distribution(random);
    CArrayParameterHost::SetValuesInInternalUnit(written, values);
    CString text;
    m_record.WriteArrayDataParam(text, written);
    ASSERT_GT(text.GetLength(), 10000000);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ArrayMessage(text.GetString()), "");
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(CArrayParameterHost::GetValuesInInternalUnit(m_array), values);
    // Generous enough for a sanitizer build; a release build takes a tenth of it.
    EXPECT_LT(elapsed.count(), 2.0);
}

}  // namespace
