#include <ArrayParameterHost.h>
#include <MC_ArrayParameter.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

class ArrayParameterTest : public testing::Test {
protected:
    std::unique_ptr<CDriveSetup> m_setup = CDriveSetup::CreateDefault();
};

TEST_F(ArrayParameterTest, UnboundArrayIsLongInInternalUnits) {
    CMC_ArrayParameter array(*m_setup);
    EXPECT_STREQ(CArrayParameterHost::GetKey(array), "");
    EXPECT_EQ(array.GetType(), VAR_LONG);
    EXPECT_STREQ(array.GetSelectedUnit(), "IU");
    EXPECT_EQ(CArrayParameterHost::GetUnits(array).size(), 1u);
    EXPECT_EQ(array.GetMin(), -2147483648.0);
    EXPECT_EQ(array.GetMax(), 2147483647.0);
}

TEST_F(ArrayParameterTest, BindingTakesTypeUnitsAndLimitsFromTheSetup) {
    CMC_ArrayParameter array(*m_setup);
    EXPECT_FALSE(CArrayParameterHost::BindToKey(array, "SPEED"));
    EXPECT_FALSE(CArrayParameterHost::BindToKey(array, nullptr));
    EXPECT_STREQ(CArrayParameterHost::GetKey(array), "");

    ASSERT_TRUE(CArrayParameterHost::BindToKey(array, "TPOS"));
    EXPECT_STREQ(CArrayParameterHost::GetKey(array), "TPOS");
    EXPECT_STREQ(array.GetSelectedUnit(), "rot");
    EXPECT_EQ(CArrayParameterHost::GetUnits(array).size(), 4u);
    EXPECT_EQ(array.GetMinInInternalUnit(), -2147483648.0);
    EXPECT_EQ(array.GetMin(), -2147483648.0 / 2000);
    EXPECT_EQ(array.GetMax(), 2147483647.0 / 2000);

    CString error;
    auto small = CDriveSetup::LoadFromText("[Variables]\nTPOS=int\n[TimeUnits]\nms=1\ns=1000\n",
                                           "small", error);
    ASSERT_TRUE(small) << error.GetString();
    CMC_ArrayParameter position(*small), time(*small);
    ASSERT_TRUE(CArrayParameterHost::BindToKey(position, "TPOS"));
    EXPECT_EQ(position.GetType(), VAR_INT);
    EXPECT_EQ(position.GetMax(), 32767.0);
    EXPECT_STREQ(position.GetSelectedUnit(), "IU");
    ASSERT_TRUE(CArrayParameterHost::BindToKey(time, "ATIME"));  // the setup lacks ATIME: long
    EXPECT_EQ(time.GetType(), VAR_LONG);
    EXPECT_STREQ(time.GetSelectedUnit(), "ms");
    EXPECT_EQ(time.GetMax(), 2147483647.0);
}

TEST_F(ArrayParameterTest, ValuesConvertBetweenUnits) {
    CMC_ArrayParameter array(*m_setup);
    ASSERT_TRUE(CArrayParameterHost::BindToKey(array, "TPOS"));
    array.InsertValueAt(0, 1.5);  // rot
    EXPECT_EQ(array.GetValueInInternalUnit(0), 3000.0);
    ASSERT_TRUE(CArrayParameterHost::SelectUnit(array, "deg"));
    EXPECT_DOUBLE_EQ(array.GetValue(0), 540.0);
    array.SetValue(0, 90.0);
    EXPECT_DOUBLE_EQ(array.GetValueInInternalUnit(0), 500.0);
    double value = 180.0;
    array.UnitToIU(value);
    EXPECT_DOUBLE_EQ(value, 1000.0);
    array.IUToUnit(value);
    EXPECT_DOUBLE_EQ(value, 180.0);
    EXPECT_FALSE(CArrayParameterHost::SelectUnit(array, "mm"));
    EXPECT_FALSE(CArrayParameterHost::SelectUnitIndex(array, 4));
    EXPECT_STREQ(array.GetSelectedUnit(), "deg");
    array.SetMinInInternalUnit(-1000.0);
    EXPECT_DOUBLE_EQ(array.GetMin(), -180.0);
    EXPECT_TRUE(CArrayParameterHost::SelectUnitIndex(array, 1));
    EXPECT_EQ(array.GetMin(), -1000.0);
}

TEST_F(ArrayParameterTest, IndexesOutsideTheArrayAreHarmless) {
    CMC_ArrayParameter array(*m_setup);
    array.SetValuesCount(3);
    for (int i = 0; i < 3; ++i) array.SetValueInInternalUnit(i, 10.0 * (i + 1));
    EXPECT_EQ(array.GetValue(-1), 0.0);
    EXPECT_EQ(array.GetValueInInternalUnit(3), 0.0);
    array.SetValue(3, 5.0);
    array.SetValueInInternalUnit(-1, 5.0);
    array.InsertValueAt(5, 5.0);
    array.InsertValueAt(-1, 5.0);
    array.RemoveValueAt(3, 1);
    array.RemoveValueAt(0, 0);
    EXPECT_EQ(CArrayParameterHost::GetValuesInInternalUnit(array),
              (std::vector<double>{10, 20, 30}));

    array.InsertValueAt(3, 40.0);  // the end appends
    array.InsertValueAt(0, 0.0);
    EXPECT_EQ(CArrayParameterHost::GetValuesInInternalUnit(array),
              (std::vector<double>{0, 10, 20, 30, 40}));
    array.RemoveValueAt(1, 2);
    EXPECT_EQ(CArrayParameterHost::GetValuesInInternalUnit(array),
              (std::vector<double>{0, 30, 40}));
    array.RemoveValueAt(1, 100);  // up to the end
    EXPECT_EQ(CArrayParameterHost::GetValuesInInternalUnit(array), (std::vector<double>{0}));
    array.SetValuesCount(3);
    EXPECT_EQ(CArrayParameterHost::GetValuesInInternalUnit(array), (std::vector<double>{0, 0, 0}));
    array.SetValuesCount(-2);
    EXPECT_EQ(array.GetValuesCount(), 0);
}

// Whatever is stored comes back bit for bit, whole IU or not, beyond 32 bits or -0: a random
// run of edits against a plain list of doubles that makes the same edits.
TEST_F(ArrayParameterTest, KeepsEveryValueExactlyThroughEdits) {
    CMC_ArrayParameter array(*m_setup);
    std::vector<double> model;
    const double unusual[] = {0.5, -0.0, 2147483648.0, -2147483649.0, 1e-300, -7.25};
    std::mt19937 random(17);
    const auto pick = [&](int below) {
        return std::uniform_int_distribution<int>(0, std::max(0, below - 1))(random);
    };
    const auto same = [&] {
        const std::vector<double> values = CArrayParameterHost::GetValuesInInternalUnit(array);
        if (values.size() != model.size() || array.GetValuesCount() != int(model.size())) {
            return false;
        }
        for (size_t i = 0; i < model.size(); ++i) {
            const double stored = array.GetValueInInternalUnit(static_cast<int>(i));
            if (std::memcmp(&stored, &model[i], sizeof stored) != 0 ||
                std::memcmp(&values[i], &model[i], sizeof stored) != 0) {
                return false;
            }
        }
        return true;
    };
    for (int round = 0; round < 3; ++round) {
        // Whole values first, then now and then one that is not.
        CArrayParameterHost::SetValuesInInternalUnit(array, {});
        model.clear();
        for (int step = 0; step < 400; ++step) {
            const bool odd = round > 0 && pick(40 - 15 * round) == 0;
            const double value = odd ? unusual[pick(6)] : double(pick(2000001) - 1000000);
            const int count = static_cast<int>(model.size());
            switch (pick(4)) {
                case 0: {
                    const int at = pick(count + 1);
                    CArrayParameterHost::InsertValueInInternalUnitAt(array, at, value);
                    model.insert(model.begin() + at, value);
                    break;
                }
                case 1:
                    if (count > 0) {
                        const int at = pick(count);
                        array.SetValueInInternalUnit(at, value);
                        model[static_cast<size_t>(at)] = value;
                    }
                    break;
                case 2:
                    if (count > 0) {
                        const int at = pick(count), removed = 1 + pick(3);
                        array.RemoveValueAt(at, removed);
                        model.erase(model.begin() + at,
                                    model.begin() + std::min(count, at + removed));
                    }
                    break;
                default: {
                    const int size = count + pick(5) - 2;
                    array.SetValuesCount(size);
                    model.resize(static_cast<size_t>(std::max(0, size)), 0.0);
                }
            }
            ASSERT_TRUE(same()) << "round " << round << ", step " << step;
        }
        // Replaced at once, as a read text replaces them.
        CArrayParameterHost::SetValuesInInternalUnit(array, model);
        ASSERT_TRUE(same()) << "round " << round;
    }
    EXPECT_EQ(array.GetValueInInternalUnit(-1), 0.0);
    EXPECT_EQ(array.GetValueInInternalUnit(array.GetValuesCount()), 0.0);
}

TEST_F(ArrayParameterTest, PrintValueIsShortestAndReadsBack) {
    CMC_ArrayParameter array(*m_setup);
    ASSERT_TRUE(CArrayParameterHost::BindToKey(array, "ATIME"));
    ASSERT_TRUE(CArrayParameterHost::SelectUnit(array, "IU"));
    CArrayParameterHost::SetValuesInInternalUnit(
        array, {2000.0, 1.5, 0.0125, -0.0, 1e21, 0.1 + 0.2, 0.0005, 1e-30});
    EXPECT_EQ(array.PrintValue(0), "2000");
    EXPECT_EQ(array.PrintValue(1), "1.5");
    EXPECT_EQ(array.PrintValue(2), "0.0125");
    EXPECT_EQ(array.PrintValue(3), "0");
    EXPECT_EQ(array.PrintValue(4), "1e+21");
    EXPECT_EQ(std::stod(array.PrintValue(5).GetString()), 0.1 + 0.2);
    EXPECT_EQ(array.PrintValue(6), "0.0005");  // plain digits while they stay short
    EXPECT_EQ(array.PrintValue(7), "1e-30");
    EXPECT_EQ(array.PrintValue(99), "0");
    ASSERT_TRUE(CArrayParameterHost::SelectUnit(array, "s"));
    EXPECT_EQ(array.PrintValue(0), "1.6");
}

// digits / 10^decimals as text, built from the digits alone.
std::string DecimalText(long long digits, int decimals) {
    std::string text = std::to_string(std::llabs(digits));
    if (static_cast<int>(text.size()) <= decimals)
        text.insert(0, static_cast<size_t>(decimals) + 1 - text.size(), '0');
    if (decimals > 0) text.insert(text.size() - static_cast<size_t>(decimals), ".");
    return (digits < 0 ? "-" : "") + text;
}

int DecimalsOf(const std::string& text) {
    const size_t point = text.find('.');
    return point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
}

TEST_F(ArrayParameterTest, WholeIUShowAsTheShortestDecimalThatReadsBack) {
    CMC_ArrayParameter array(*m_setup);
    ASSERT_TRUE(CArrayParameterHost::BindToKey(array, "TPOS"));
    array.SetValuesCount(1);
    ASSERT_TRUE(CArrayParameterHost::SelectUnit(array, "deg"));
    array.SetValueInInternalUnit(0, 2222);
    EXPECT_EQ(array.PrintValue(0), "399.96");  // 2222 / (2000/360) is 399.96000000000004
    array.SetValue(0, 399.96);                 // 399.96 * (2000/360) is 2221.9999999999995
    EXPECT_EQ(array.GetValueInInternalUnit(0), 2222);

    // Every whole IU of a stretch, in every unit of every example setup: the text reads back to
    // the same IU, and no decimal with fewer decimals does (every candidate near the value).
    for (const auto& entry : std::filesystem::directory_iterator("examples/setups")) {
        CString error;
        auto setup = CDriveSetup::LoadFromFile(entry.path().string().c_str(), error);
        ASSERT_TRUE(setup) << error.GetString();
        CMC_ArrayParameter values(*setup);
        ASSERT_TRUE(CArrayParameterHost::BindToKey(values, "TPOS"));
        values.SetValuesCount(1);
        for (const CMC_Unit& unit : setup->GetUnits(UnitKind::Position)) {
            ASSERT_TRUE(CArrayParameterHost::SelectUnit(values, unit.name.c_str()));
            for (long iu = -1500; iu <= 1500; iu += 7) {
                values.SetValueInInternalUnit(0, static_cast<double>(iu));
                const std::string text = values.PrintValue(0).str();
                values.SetValue(0, std::strtod(text.c_str(), nullptr));
                ASSERT_EQ(values.GetValueInInternalUnit(0), iu) << text << " " << unit.name;
                const double shown = static_cast<double>(iu) / unit.iuPerUnit;
                for (int decimals = 0; decimals < DecimalsOf(text); ++decimals) {
                    const double scaled = shown * std::pow(10.0, decimals);
                    for (auto digits = static_cast<long long>(std::floor(scaled)) - 1;
                         digits <= static_cast<long long>(std::ceil(scaled)) + 1; ++digits) {
                        const std::string shorter = DecimalText(digits, decimals);
                        values.SetValue(0, std::strtod(shorter.c_str(), nullptr));
                        ASSERT_NE(values.GetValueInInternalUnit(0), iu)
                            << shorter << " is shorter than " << text << " " << unit.name;
                    }
                }
            }
        }
    }
}

TEST_F(ArrayParameterTest, ValuesBetweenWholeIUKeepTheirPrecision) {
    CMC_ArrayParameter array(*m_setup);
    ASSERT_TRUE(CArrayParameterHost::BindToKey(array, "TPOS"));
    array.SetValuesCount(1);
    ASSERT_TRUE(CArrayParameterHost::SelectUnit(array, "deg"));
    // A dragged point: no whole count nearby, so the text carries every digit it needs.
    for (double iu : {2222.37, 1234.5678901234, -0.001, 99.9999}) {
        array.SetValueInInternalUnit(0, iu);
        const CString text = array.PrintValue(0);
        array.SetValue(0, std::strtod(text.GetString(), nullptr));
        EXPECT_NEAR(array.GetValueInInternalUnit(0), iu, 1e-9 * std::fabs(iu)) << text.GetString();
        EXPECT_NE(array.GetValueInInternalUnit(0), std::round(iu));
    }
    // Within a millionth of an IU of a whole count, a value is that count.
    array.SetValue(0, 2222.0000009 / (2000.0 / 360.0));
    EXPECT_EQ(array.GetValueInInternalUnit(0), 2222);
    array.SetValue(0, 2222.00001 / (2000.0 / 360.0));
    EXPECT_NE(array.GetValueInInternalUnit(0), 2222);
}

}  // namespace
