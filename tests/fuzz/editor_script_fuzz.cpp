// A script of `travex-host edit` played on the editor over the worked example: a script that
// cannot be read or played says why, OK gives a text that translates, and anything else leaves
// the text byte for byte.
#include <filesystem>

#include "FuzzCheck.h"
#include "plugin/Exports.h"
#include "pt/EditorScriptDriver.h"

namespace {

// Files picked by the script come from the scratch folder only, so that no input can make the
// import read a device or a file elsewhere on the machine.
class ConfinedScriptDriver : public CEditorScriptDriver {
public:
    BOOL ChooseFile(BOOL bOpenFileDialog, LPCTSTR lpszFilter, CString& path) override {
        if (!CEditorScriptDriver::ChooseFile(bOpenFileDialog, lpszFilter, path)) return FALSE;
        const std::filesystem::path name = std::filesystem::path(path.str()).filename();
        const std::filesystem::path confined = std::filesystem::path(ScratchFolder()) / name;
        path = std::filesystem::is_regular_file(confined) ? confined.string()
                                                          : ScratchFolder() + "/missing.txt";
        return TRUE;
    }
};

const char kWorkedExample[] =
    "ClearBuffer=1\r\nATIME[IU]=3: 0 100 300\r\nTPOS[IU]=3: 0 2000 5000\r\nExecute=0\r\n"
    "WaitForCompletion=1\r\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzHost host;
    ConfinedScriptDriver driver;
    CString error;
    if (!driver.LoadScriptText(InputText(data, size), "fuzz.txt", error)) {
        FUZZ_CHECK(error.str().starts_with("fuzz.txt:"), "a refused script without its place");
        return 0;
    }
    CString text = kWorkedExample;
    AfxSetDialogDriver(&driver);
    const BOOL confirmed = EditMotionSequence(*host.setup, host.motion, text);
    AfxSetDialogDriver(nullptr);
    const BOOL played = driver.Finish();
    if (!played) FUZZ_CHECK(!driver.GetError().IsEmpty(), "a failed script without a reason");
    if (!confirmed) {
        FUZZ_CHECK(text == kWorkedExample, "the text changed without OK");
        return 0;
    }
    CString program;
    FUZZ_CHECK(TranslateMotionSequence(*host.setup, host.motion, text, program),
               "an edit that OK accepted does not translate");
    CheckProgram(program.str());
    return 0;
}
