// A points file read by the editor's import, in units chosen by the file's length: the table
// holds whole IU in rising time, and a motion that OK accepts translates with every point.
#include <afxheadlessdriver.h>

#include <algorithm>
#include <cmath>
#include <fstream>

#include "FuzzCheck.h"
#include "editor/EditorDlg.h"
#include "editor/resource.h"
#include "plugin/Exports.h"
#include "tests/support/editor_test_seam.h"

namespace {

void CheckTable(const CInternalData& data, size_t lineCount) {
    const int count = data.m_Time.GetValuesCount();
    FUZZ_CHECK(count >= 1 && data.m_Position.GetValuesCount() == count,
               "arrays of different lengths");
    FUZZ_CHECK(static_cast<size_t>(count) <= lineCount + 1, "more points than lines");
    FUZZ_CHECK(data.m_Time.GetValueInInternalUnit(0) == 0 &&
                   data.m_Position.GetValueInInternalUnit(0) == 0,
               "the start point moved");
    for (int i = 0; i < count; ++i) {
        const double time = data.m_Time.GetValueInInternalUnit(i);
        const double position = data.m_Position.GetValueInInternalUnit(i);
        FUZZ_CHECK(time == std::trunc(time) && position == std::trunc(position),
                   "an imported value that is not a whole number of IU");
        FUZZ_CHECK(i == 0 || time > data.m_Time.GetValueInInternalUnit(i - 1),
                   "imported times that do not rise");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzHost host;
    static const std::string path = ScratchFolder() + "/points.txt";
    const std::string content = InputText(data, size);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    const size_t lineCount =
        static_cast<size_t>(std::count(content.begin(), content.end(), '\n')) + 1;

    const auto& positionUnits = host.setup->GetUnits(UnitKind::Position);
    const auto& timeUnits = host.setup->GetUnits(UnitKind::Time);
    CHeadlessDriver driver;
    AfxSetDialogDriver(&driver);
    int points = 0;
    driver.Select(IDC_POSITION_UNIT, positionUnits[size % positionUnits.size()].name.c_str())
        .Select(IDC_TIME_UNIT, timeUnits[size / 7 % timeUnits.size()].name.c_str())
        .Click(IDC_IMPORT_FROM_FILE)
        .PickFile(path.c_str())
        .Inspect([&](CDialog& dialog) {
            const CInternalData& record = CEditorDlgTestSeam(dialog).m_Data;
            CheckTable(record, lineCount);
            points = record.m_Time.GetValuesCount();
        })
        .Click(IDOK)
        // Played only when OK is refused.
        .Answer("OK")
        .Click(IDCANCEL);
    CString text;
    GetDefaultParameters(*host.setup, host.motion, text);
    const BOOL confirmed = EditMotionSequence(*host.setup, host.motion, text);
    AfxSetDialogDriver(nullptr);
    FUZZ_CHECK(!driver.HasFailed(), driver.GetError().GetString());
    if (!confirmed) {
        FUZZ_CHECK(driver.GetMessages().size() == 1, "OK refused without a message");
        return 0;
    }
    CString program;
    FUZZ_CHECK(TranslateMotionSequence(*host.setup, host.motion, text, program),
               "an imported motion that OK accepted does not translate");
    FUZZ_CHECK(CheckProgram(program.str()) == points - 1, "the program lost a point");
    return 0;
}
