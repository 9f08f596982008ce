// A display value that stands for a whole number of IU lands on exactly that number, in every
// unit of the example setups, whether typed (Insert, Update) or imported, and the program
// carries it. The product of a display value and its unit's factor can fall one rounding step
// short of the whole number, which the program's truncation turns into one IU less.
#include <ArrayParameterHost.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>

#include "EditorHarness.h"
#include "plugin/Exports.h"

namespace {

namespace fs = std::filesystem;

struct UnitCase {
    std::string setupFile;
    CMC_Unit position;
    CMC_Unit time;
};

// Every pairing of a position unit with a time unit, in every example setup.
std::vector<UnitCase> AllUnits() {
    std::vector<UnitCase> cases;
    for (const auto& entry : fs::directory_iterator("examples/setups")) {
        CString error;
        auto setup = CDriveSetup::LoadFromFile(entry.path().string().c_str(), error);
        EXPECT_TRUE(setup) << error.GetString();
        if (!setup) continue;
        for (const CMC_Unit& position : setup->GetUnits(UnitKind::Position)) {
            for (const CMC_Unit& time : setup->GetUnits(UnitKind::Time)) {
                cases.push_back({entry.path().string(), position, time});
            }
        }
    }
    return cases;
}

// What the editor shows for `iu` in a unit: the shortest text that reads back to iu / factor.
std::string DisplayText(double iu, const CMC_Unit& unit) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, iu / unit.iuPerUnit);
    return std::string(buffer, result.ptr);
}

struct Point {
    long long position;
    long long time;
};

// Points of whole IU: positions spread over the 32-bit range in both signs, times rising by
// steps from 1 to the largest one that the program holds. Small counts come first, as the
// smallest are where a factor's rounding shows most.
std::vector<Point> SpreadOfWholeCounts(unsigned seed) {
    std::vector<Point> points;
    long long time = 0;
    const long long fixedPositions[] = {1, 2, 3, -1, 7, 10, 99, 1000, 14469, 80004, 2147483647};
    for (long long position : fixedPositions) {
        time += points.size() + 1;
        points.push_back({position, time});
    }
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> magnitude(0, 31);
    std::uniform_real_distribution<double> step(0, 16);
    for (int i = 0; i < 80; ++i) {
        const long long size = static_cast<long long>(std::exp2(magnitude(random)));
        const long long position = random() % 2 ? size : -size;
        const long long next =
            time + std::min<long long>(65535, static_cast<long long>(std::exp2(step(random))));
        // The step between neighbours must stay within the program's 32 bits.
        if (std::llabs(position - points.back().position) > 2147483647) continue;
        time = next;
        points.push_back({position, time});
    }
    return points;
}

class WholeIU : public ::testing::Test {
protected:
    CModuleResources hostResources{HostResourceTable()};
    CModuleResources module{TravexResourceTable()};
    CHeadlessDriver driver;
    fs::path dir = fs::path(testing::TempDir()) / ("travex-whole-iu-" + std::to_string(getpid()));

    void SetUp() override {
        AfxSetDialogDriver(&driver);
        fs::create_directories(dir);
    }
    void TearDown() override {
        AfxSetDialogDriver(nullptr);
        fs::remove_all(dir);
    }

    // Opens the editor on a new motion in the case's setup with the case's units selected,
    // lets `enter` queue the user's actions, checks the table holds `points` in IU, presses OK
    // and checks the program steps from point to point by exactly the whole counts.
    void EditAndTranslate(const UnitCase& c, const std::vector<Point>& points,
                          const std::function<void()>& enter) {
        SCOPED_TRACE(c.setupFile + " in " + c.position.name + " and " + c.time.name);
        CString error;
        auto setup = CDriveSetup::LoadFromFile(c.setupFile.c_str(), error);
        ASSERT_TRUE(setup) << error.GetString();
        CMC_Motion motion(*setup);
        CString text = "ClearBuffer=1\r\nATIME[IU]=1: 0\r\nTPOS[IU]=1: 0\r\nExecute=0\r\n";
        driver.Select(IDC_POSITION_UNIT, c.position.name.c_str())
            .Select(IDC_TIME_UNIT, c.time.name.c_str());
        enter();
        driver.Inspect([&](CDialog& dialog) {
            const CInternalData& data = CEditorDlgTestSeam(dialog).m_Data;
            ASSERT_EQ(data.m_Time.GetValuesCount(), static_cast<int>(points.size()) + 1);
            for (size_t i = 0; i < points.size(); ++i) {
                const int index = static_cast<int>(i) + 1;
                EXPECT_EQ(data.m_Position.GetValueInInternalUnit(index), points[i].position)
                    << DisplayText(points[i].position, c.position) << " " << c.position.name;
                EXPECT_EQ(data.m_Time.GetValueInInternalUnit(index), points[i].time)
                    << DisplayText(points[i].time, c.time) << " " << c.time.name;
            }
        });
        driver.Click("OK");
        CEditorDlg dialog(*setup, motion, text);
        const INT_PTR result = dialog.DoModal();
        ASSERT_TRUE(driver.Finish()) << driver.GetError().GetString();
        ASSERT_EQ(result, IDOK);

        CString program;
        ASSERT_EQ(TranslateMotionSequence(*setup, motion, text, program), 1) << program.GetString();
        const std::regex step("PTP (-?\\d+)L, (\\d+)U");
        const std::string code = program.str();
        size_t i = 0;
        Point previous{0, 0};
        for (auto it = std::sregex_iterator(code.begin(), code.end(), step);
             it != std::sregex_iterator(); ++it, ++i) {
            ASSERT_LT(i, points.size());
            EXPECT_EQ(std::stoll((*it)[1]), points[i].position - previous.position);
            EXPECT_EQ(std::stoll((*it)[2]), points[i].time - previous.time);
            previous = points[i];
        }
        EXPECT_EQ(i, points.size());
    }
};

TEST_F(WholeIU, TypedAndInserted) {
    unsigned seed = 1;
    for (const UnitCase& c : AllUnits()) {
        const std::vector<Point> points = SpreadOfWholeCounts(seed++);
        EditAndTranslate(c, points, [&] {
            for (const Point& point : points) {
                driver.Type(IDC_POSITION_VALUE, DisplayText(point.position, c.position).c_str())
                    .Type(IDC_TIME_VALUE, DisplayText(point.time, c.time).c_str())
                    .Click(IDC_INSERT_POINT);
            }
        });
    }
}

// Inserted as zeros a little later than meant, then each point updated to its own values.
TEST_F(WholeIU, TypedAndUpdated) {
    unsigned seed = 100;
    for (const UnitCase& c : AllUnits()) {
        const std::vector<Point> points = SpreadOfWholeCounts(seed++);
        EditAndTranslate(c, points, [&] {
            for (size_t i = 0; i < points.size(); ++i) {
                // Strictly between this point's time and the next one's, or past the last.
                const long long later =
                    i + 1 < points.size() && points[i + 1].time == points[i].time + 1
                        ? points[i].time
                        : points[i].time + 1;
                driver.Type(IDC_POSITION_VALUE, "0")
                    .Type(IDC_TIME_VALUE, DisplayText(later, c.time).c_str())
                    .Click(IDC_INSERT_POINT)
                    .Type(IDC_POSITION_VALUE, DisplayText(points[i].position, c.position).c_str())
                    .Type(IDC_TIME_VALUE, DisplayText(points[i].time, c.time).c_str())
                    .Click(IDC_UPDATE_POINT);
            }
        });
    }
}

TEST_F(WholeIU, Imported) {
    unsigned seed = 200;
    int file = 0;
    for (const UnitCase& c : AllUnits()) {
        const std::vector<Point> points = SpreadOfWholeCounts(seed++);
        const fs::path path = dir / ("points-" + std::to_string(file++) + ".txt");
        {
            std::ofstream out(path);
            for (const Point& point : points) {
                out << DisplayText(point.position, c.position) << ' '
                    << DisplayText(point.time, c.time) << '\n';
            }
        }
        EditAndTranslate(
            c, points, [&] { driver.Click(IDC_IMPORT_FROM_FILE).PickFile(path.string().c_str()); });
    }
}

// The cases of the report that found the fault, on the built-in setup.
TEST(WholeIUExamples, BuiltInSetup) {
    TestHost host;
    CMC_ArrayParameter time(*host.setup);
    ASSERT_TRUE(CArrayParameterHost::BindToKey(time, "ATIME"));
    ASSERT_TRUE(CArrayParameterHost::SelectUnit(time, "s"));
    CMC_ArrayParameter position(*host.setup);
    ASSERT_TRUE(CArrayParameterHost::BindToKey(position, "TPOS"));
    ASSERT_TRUE(CArrayParameterHost::SelectUnit(position, "deg"));
    time.SetValuesCount(1);
    position.SetValuesCount(1);
    const struct {
        CMC_ArrayParameter& array;
        double iu;
    } cases[] = {{time, 3}, {time, 14469}, {time, 80004}, {position, 2}};
    for (const auto& c : cases) {
        double display = c.iu;
        c.array.IUToUnit(display);
        c.array.SetValue(0, display);
        EXPECT_EQ(c.array.GetValueInInternalUnit(0), c.iu) << display;
        c.array.InsertValueAt(0, display);
        EXPECT_EQ(c.array.GetValueInInternalUnit(0), c.iu) << display;
        c.array.UnitToIU(display);
        EXPECT_EQ(display, c.iu);
    }
    // A value that stands for no whole count converts as before.
    double display = 0.001;
    time.UnitToIU(display);
    EXPECT_EQ(display, 0.001 * 1250);
}

}  // namespace
