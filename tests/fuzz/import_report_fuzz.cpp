// A points file as `travex-host import` reports it: the table that the report works out from the
// reader's rows is the one that the editor's import makes of the text the reader hands it, in
// units chosen by the file's length.
#include <afxheadlessdriver.h>

#include <cstdio>

#include "FuzzCheck.h"
#include "editor/resource.h"
#include "plugin/Exports.h"
#include "pt/PointsFileReader.h"
#include "pt/PtImportPreview.h"
#include "pt/PtKeyCheck.h"
#include "tests/support/editor_test_seam.h"

namespace {

std::vector<double> ValuesInIU(const CMC_ArrayParameter& array) {
    std::vector<double> values;
    for (int i = 0; i < array.GetValuesCount(); ++i) {
        values.push_back(array.GetValueInInternalUnit(i));
    }
    return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzHost host;
    static const std::string path = ScratchFolder() + "/report-points.txt";
    const std::string content = InputText(data, size);
    PointsFile file;
    std::string error;
    if (!ReadPointsFile(content, PointsFileOptions{}, file, error)) return 0;
    {
        const std::string_view text = file.EditorText(content);
        std::FILE* stream = std::fopen(path.c_str(), "wb");
        FUZZ_CHECK(stream && std::fwrite(text.data(), 1, text.size(), stream) == text.size() &&
                       std::fclose(stream) == 0,
                   "the scratch file cannot be written");
    }
    const auto& positionUnits = host.setup->GetUnits(UnitKind::Position);
    const auto& timeUnits = host.setup->GetUnits(UnitKind::Time);
    const std::string positionUnit = positionUnits[size % positionUnits.size()].name;
    const std::string timeUnit = timeUnits[size / 7 % timeUnits.size()].name;

    // The arrays as the editor has them at the import, as the host sets them up.
    CMC_ArrayParameter positions(*host.setup);
    CMC_ArrayParameter times(*host.setup);
    PreparePtImportArrays(positions, times, positionUnit, timeUnit);
    const PtImportPreview preview = PreviewPtImport(file.rows, positions, times);
    FUZZ_CHECK(preview.timesIU.size() == static_cast<size_t>(preview.taken) + 1 &&
                   preview.positionsIU.size() == preview.timesIU.size(),
               "a table that is not the points taken");
    FUZZ_CHECK(preview.notes.size() <= kMaxPtImportNotes, "more notes than a screenful");
    PtImportUnits units{positions.GetSelectedUnit(), times.GetSelectedUnit()};
    positions.UnitToIU(units.positionIUPerUnit);
    times.UnitToIU(units.timeIUPerUnit);
    std::FILE* sink = std::fopen("/dev/null", "w");
    PrintPtImportReport(file, preview, content, "points", units, false, sink);
    std::fclose(sink);

    std::vector<double> importedTimes;
    std::vector<double> importedPositions;
    CHeadlessDriver driver;
    AfxSetDialogDriver(&driver);
    driver.Select(IDC_POSITION_UNIT, positionUnit.c_str())
        .Select(IDC_TIME_UNIT, timeUnit.c_str())
        .Click(IDC_IMPORT_FROM_FILE)
        .PickFile(path.c_str())
        .Inspect([&](CDialog& dialog) {
            const CInternalData& record = CEditorDlgTestSeam(dialog).m_Data;
            importedTimes = ValuesInIU(record.m_Time);
            importedPositions = ValuesInIU(record.m_Position);
        })
        .Click(IDCANCEL);
    CString text;
    GetDefaultParameters(*host.setup, host.motion, text);
    EditMotionSequence(*host.setup, host.motion, text);
    AfxSetDialogDriver(nullptr);
    // A file that the editor cannot read at all (a message box) has no table to compare.
    if (driver.HasFailed()) return 0;
    FUZZ_CHECK(importedTimes == preview.timesIU, "the report's times are not the editor's");
    FUZZ_CHECK(importedPositions == preview.positionsIU,
               "the report's positions are not the editor's");
    return 0;
}
