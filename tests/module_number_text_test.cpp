// Values in a program's comments print in plain digits up to 20 characters, and only beyond in
// the exponent form: a user reads 0.00000000001, not 1e-11. A whole number of IU in a unit whose
// factor has no short decimal reads as the decimal that stands for it, without binary noise.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "TestHost.h"
#include "plugin/Exports.h"

namespace {

TEST(NumberText, PlainDigitsUpToTwentyCharacters) {
    const struct {
        const char* position;  // as the text gives it, in IU
        const char* printed;
    } cases[] = {
        {"1e-11", "0.00000000001"},                      // 13 characters
        {"-1e-11", "-0.00000000001"},                    // 14
        {"12345.678901234", "12345.678901234"},          // 15
        {"1e-17", "0.00000000000000001"},                // 19
        {"1e-18", "0.000000000000000001"},               // 20
        {"-1e-17", "-0.00000000000000001"},              // 20
        {"0.12345678901234568", "0.12345678901234568"},  // 19
        {"1e-19", "1e-19"},                              // 21 as plain digits
        {"-1e-18", "-1e-18"},                            // 21 as plain digits
    };
    for (const auto& c : cases) {
        TestHost host;
        CString text =
            CString("ATIME[IU]=2: 0 10\r\nTPOS[IU]=2: 0 ") + c.position + "\r\nExecute=0\r\n";
        CString program;
        ASSERT_EQ(TranslateMotionSequence(*host.setup, host.motion, text, program), 1)
            << program.GetString();
        const std::string comment = std::string("//PT(") + c.printed + "[IU], 10[IU])";
        EXPECT_NE(program.str().find(comment), std::string::npos) << c.position << "\n"
                                                                  << program.GetString();
    }
}

std::string Translated(const CString& motion) {
    TestHost host;
    CString text = motion;
    CString program;
    EXPECT_EQ(TranslateMotionSequence(*host.setup, host.motion, text, program), 1)
        << program.GetString();
    return program.str();
}

TEST(NumberText, WholeIUInDegreesReadWithoutNoise) {
    // 2222 IU is 399.96 deg; 3046 IU, 548.28 deg; the divisions give 399.96000000000004 and
    // 548.2800000000001.
    const std::string program =
        Translated("ATIME[ms]=3: 0 1000 2000\r\nTPOS[deg]=3: 0 2222 3046\r\nExecute=0\r\n");
    EXPECT_NE(program.find("//PT(399.96[deg], 800[ms])"), std::string::npos) << program;
    EXPECT_NE(program.find("//PT(548.28[deg],1600[ms])"), std::string::npos) << program;
}

TEST(NumberText, NoExampleCarriesNoiseInItsComments) {
    // Noise: a run of six zeros or nines after the point before a last digit.
    const std::regex noise(R"(\.\d*(000000|999999)\d)");
    const std::regex comment(R"(//PT\(([^\[]*)\[[^\]]*\], ?([^\[]*)\[)");
    int examples = 0;
    for (const auto& entry : std::filesystem::directory_iterator("examples")) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".ptm" || name.starts_with("broken")) continue;
        ++examples;
        std::ifstream file(entry.path(), std::ios::binary);
        std::ostringstream motion;
        motion << file.rdbuf();
        const std::string program = Translated(CString(motion.str()));
        int comments = 0;
        for (auto it = std::sregex_iterator(program.begin(), program.end(), comment);
             it != std::sregex_iterator(); ++it, ++comments) {
            EXPECT_FALSE(std::regex_search((*it)[1].str(), noise)) << name << ": " << it->str();
            EXPECT_FALSE(std::regex_search((*it)[2].str(), noise)) << name << ": " << it->str();
        }
        EXPECT_GT(comments, 0) << name;
    }
    EXPECT_GE(examples, 3);
}

}  // namespace
