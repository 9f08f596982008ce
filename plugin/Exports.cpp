#include "plugin/Exports.h"

#include "editor/EditorDlg.h"
#include "params/InternalData.h"
#include "params/ParameterKeys.h"

const char* GetClassName() { return "Motion"; }

const char* GetName() { return "PT"; }

int GetOrderID() { return 0x1030; }

BOOL IsEnabled(CMC_Setup& setup) {
    if (setup.IsMotionController()) return 0;
    if (!setup.GetIntOption("IsClosedPosition")) return 0;
    for (const char* variable : {"PVTBUFBEGIN", "PVTBUFLEN", pt_keys::kPosition, pt_keys::kTime}) {
        if (!setup.FindVariable(variable, 1)) return 0;
    }
    return 1;
}

void GetDefaultParameters(CMC_Setup& setup, CMC_Motion& motion, CString& text) {
    CInternalData data(setup, motion);
    text = data.GetDefaultParameterText();
}

BOOL TranslateMotionSequence(CMC_Setup& setup, CMC_Motion& motion, CString& text, CString& output) {
    CInternalData data(setup, motion);
    CString error;
    output.Empty();
    if (!data.ReadParameters(text, error)) {
        output = error;
        return 0;
    }
    int badPoint = 0;
    error = data.ValidatePoints(badPoint);
    if (!error.IsEmpty()) {
        output = error;
        return 0;
    }
    output = data.GenerateCode();
    return 1;
}

BOOL EditMotionSequence(CMC_Setup& setup, CMC_Motion& motion, CString& text) {
    CEditorDlg dialog(setup, motion, text, nullptr);
    return dialog.DoModal() == IDOK ? 1 : 0;
}
