// The parameter text of a motion, as a host hands it to TranslateMotionSequence: a refused text
// has a message, an accepted one a program that a drive can run.
#include "FuzzCheck.h"
#include "plugin/Exports.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzHost host;
    CString text(InputText(data, size));
    const CString original = text;
    CString output;
    const BOOL accepted = TranslateMotionSequence(*host.setup, host.motion, text, output);
    FUZZ_CHECK(text == original, "translating changed the motion's text");
    if (!accepted) {
        FUZZ_CHECK(!output.IsEmpty(), "a refused text without a message");
        return 0;
    }
    FUZZ_CHECK(output.str().find("MODE PT;") != std::string::npos, "a program without its mode");
    FUZZ_CHECK(CheckProgram(output.str()) >= 1, "an accepted motion without a point");
    return 0;
}
