// Numbers read the same in every locale: a host running under a decimal-comma locale (German,
// say) still reads "1.5" as one and a half, typed, imported or in a parameter text.
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "EditorHarness.h"
#include "plugin/Exports.h"

namespace {

namespace fs = std::filesystem;

// Selects a decimal-comma locale for numbers; one the machine lacks is built from the
// system's locale sources into a scratch folder. False when neither works.
bool SelectDecimalCommaLocale() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
        if (std::setlocale(LC_NUMERIC, name)) return true;
    }
#ifdef _WIN32
    // The Windows run-time's names.
    for (const char* name : {"German_Germany.1252", "de-DE"}) {
        if (std::setlocale(LC_NUMERIC, name)) return true;
    }
    return false;
#else
    static const fs::path built = fs::path(testing::TempDir()) / "travex-locales";
    if (!fs::exists(built / "de_DE.UTF-8")) {
        fs::create_directories(built);
        const std::string command =
            "localedef -i de_DE -f UTF-8 " + (built / "de_DE.UTF-8").string() + " >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0 && !fs::exists(built / "de_DE.UTF-8")) {
            return false;
        }
    }
    setenv("LOCPATH", built.c_str(), 1);
    const bool selected = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    unsetenv("LOCPATH");
    return selected;
#endif
}

class DecimalCommaLocale : public EditorHarness {
protected:
    void SetUp() override {
        EditorHarness::SetUp();
        if (!SelectDecimalCommaLocale()) GTEST_SKIP() << "no decimal-comma locale here";
        // The locale reads a comma where C reads a point: the test means something.
        ASSERT_EQ(std::strtod("1.5", nullptr), 1.0);
    }
    void TearDown() override {
        std::setlocale(LC_NUMERIC, "C");
        EditorHarness::TearDown();
    }
};

TEST_F(DecimalCommaLocale, NumbersReadAsInTheCLocale) {
    // A parameter text with fractions of IU.
    CString text = MotionText("ATIME[IU]=2: 0 10.5", "TPOS[IU]=2: 0 1.5");
    CString program;
    ASSERT_EQ(TranslateMotionSequence(*host.setup, host.motion, text, program), 1)
        << program.GetString();
    EXPECT_NE(program.str().find("PTP 1L, 10U, 0; //PT(1.5[IU], 10.5[IU])"), std::string::npos)
        << program.GetString();

    // Typed in rot and s, and imported.
    const fs::path points = fs::path(testing::TempDir()) / "travex-locale-points.txt";
    std::ofstream(points) << "2.5 0.5\n";
    text = MotionText("ATIME[s]=1: 0", "TPOS[rot]=1: 0", "WaitForCompletion=1\r\n");
    driver.Click(IDC_IMPORT_FROM_FILE)
        .PickFile(points.string().c_str())
        .Type(IDC_POSITION_VALUE, "1.5")
        .Type(IDC_TIME_VALUE, "0.25")
        .Click(IDC_INSERT_POINT)
        .Inspect([](CDialog& dialog) {
            const CInternalData& data = Editor(dialog).m_Data;
            ASSERT_EQ(data.m_Time.GetValuesCount(), 3);
            EXPECT_EQ(data.m_Position.GetValueInInternalUnit(1), 3000);
            EXPECT_EQ(data.m_Time.GetValueInInternalUnit(1), 313);  // 312.5 IU, rounded
            EXPECT_EQ(data.m_Position.GetValueInInternalUnit(2), 5000);
            EXPECT_EQ(data.m_Time.GetValueInInternalUnit(2), 625);
            EXPECT_STREQ(Text(dialog, IDC_POSITION_VALUE), "1.5");
        })
        .Click("OK");
    ASSERT_EQ(Run(text), IDOK);
    fs::remove(points);
}

}  // namespace
