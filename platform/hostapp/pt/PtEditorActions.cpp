#include "pt/PtEditorActions.h"

#include "editor/resource.h"

// The units of the file first, since the import reads its numbers in the units selected; then
// the import, and the options only after it, since the import shows the record again and so
// drops a host address typed before; OK.
void QueuePtImportActions(CHeadlessDriver& driver, const PtImportChoices& choices) {
    if (!choices.positionUnit.empty()) {
        driver.Select(IDC_POSITION_UNIT, choices.positionUnit.c_str());
    }
    if (!choices.timeUnit.empty()) driver.Select(IDC_TIME_UNIT, choices.timeUnit.c_str());
    driver.Do("import", {choices.pointsPath.c_str()});
    QueuePtOptionActions(driver, choices.options);
}

void QueuePtOptionActions(CHeadlessDriver& driver, const PtMotionOptions& options) {
    if (options.hostAddress != 0) {
        driver.Check(IDC_HOST_ADDRESS_CHECK)
            .Type(IDC_HOST_ADDRESS, std::to_string(options.hostAddress).c_str());
    }
    if (options.keepBuffer) driver.Uncheck(IDC_CLEAR_BUFFER);
    if (options.startFrom == "reference") driver.Check(IDC_START_FROM_REFERENCE);
    if (options.startFrom == "actual") driver.Check(IDC_START_FROM_ACTUAL);
    if (options.onEvent) driver.Check(IDC_EXECUTE_ON_EVENT);
    if (options.noWait) driver.Uncheck(IDC_WAIT_FOR_COMPLETION);
    driver.Click(IDOK);
    // Played only when OK is refused.
    driver.Answer("OK").Click(IDCANCEL);
}

namespace {

CString ImportFromFile(CHeadlessDriver& driver, CDialog& dialog, const std::vector<CString>& args) {
    if (args.size() != 1) {
        CString error;
        error.Format("import takes 1 word (FILE), not %zu", args.size());
        return error;
    }
    if (args[0].IsEmpty()) return "import needs a file name";
    CString error;
    CWnd* button =
        CHeadlessDriver::FindControl(dialog, CControlName(IDC_IMPORT_FROM_FILE).name, error);
    if (!button) return error;
    // The click opens the file dialog; the answer waits for it, as the user's choice would.
    driver.AnswerNextFileChoice(args[0]);
    // A verb clicks as the built-in `click` does: enabled and visible controls only.
    return driver.PlayClick(*button);
}

}  // namespace

void RegisterPtEditorVerbs(CHeadlessDriver& driver) {
    driver.RegisterVerb("import", [&driver](CDialog& dialog, const std::vector<CString>& args) {
        return ImportFromFile(driver, dialog, args);
    });
}
