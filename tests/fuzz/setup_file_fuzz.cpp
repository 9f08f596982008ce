// A drive-setup file: a refused one has a message that names the line and stays short however
// long the text it quotes; an accepted one holds units that parameter texts can name, and the
// module translates a motion on it or says why not.
#include <cmath>

#include "FuzzCheck.h"
#include "plugin/Exports.h"

namespace {

// The origin, the line, and the message's own words with two quotes of at most 60 characters.
constexpr int kLongestMessage = 400;
constexpr size_t kLongestUnitName = 32;

void CheckUnits(const std::vector<CMC_Unit>& units) {
    FUZZ_CHECK(!units.empty(), "a kind of value without a unit");
    for (const CMC_Unit& unit : units) {
        FUZZ_CHECK(!unit.name.empty() && unit.name.size() <= kLongestUnitName,
                   "a unit name that is empty or too long");
        FUZZ_CHECK(unit.name.find_first_of(" \t[]") == std::string::npos,
                   "a unit name that a parameter text cannot hold");
        FUZZ_CHECK(unit.iuPerUnit > 0 && std::isfinite(unit.iuPerUnit),
                   "a factor that is not a positive number");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzHost host;
    CString error;
    const std::unique_ptr<CDriveSetup> setup =
        CDriveSetup::LoadFromText(InputText(data, size), "fuzz.ini", error);
    if (!setup) {
        FUZZ_CHECK(error.str().starts_with("fuzz.ini:"), "a refusal that does not name the file");
        FUZZ_CHECK(error.GetLength() <= kLongestMessage, "a refusal too long to show");
        return 0;
    }
    CheckUnits(setup->GetUnits(UnitKind::Position));
    CheckUnits(setup->GetUnits(UnitKind::Time));

    // The worked example in the setup's first units.
    CMC_Motion motion(*setup);
    CString text = CString("ClearBuffer=1\r\nATIME[") + setup->GetUnits(UnitKind::Time)[0].name +
                   "]=3: 0 100 300\r\nTPOS[" + setup->GetUnits(UnitKind::Position)[0].name +
                   "]=3: 0 2000 5000\r\nExecute=0\r\nWaitForCompletion=1\r\n";
    CString output;
    if (TranslateMotionSequence(*setup, motion, text, output)) {
        FUZZ_CHECK(CheckProgram(output.str()) == 2, "the worked example lost a point");
    } else {
        FUZZ_CHECK(!output.IsEmpty(), "a refused motion without a message");
    }
    return 0;
}
