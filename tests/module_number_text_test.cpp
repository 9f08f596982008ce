// Values in a program's comments print in plain digits up to 20 characters, and only beyond in
// the exponent form: a user reads 0.00000000001, not 1e-11.
#include <gtest/gtest.h>

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

}  // namespace
