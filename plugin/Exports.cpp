#include "plugin/Exports.h"

#include <MotionModule.h>

#include "editor/EditorDlg.h"
#include "params/InternalData.h"
#include "params/ParameterKeys.h"

const char* MOTION_MODULE_CALL GetClassName() { return "Motion"; }

const char* MOTION_MODULE_CALL GetName() { return "PT"; }

int MOTION_MODULE_CALL GetOrderID() { return 0x1030; }

BOOL MOTION_MODULE_CALL IsEnabled(CMC_Setup& setup) {
    if (setup.IsMotionController()) return 0;
    if (!setup.GetIntOption("IsClosedPosition")) return 0;
    for (const char* variable : {"PVTBUFBEGIN", "PVTBUFLEN", pt_keys::kPosition, pt_keys::kTime}) {
        if (!setup.FindVariable(variable, 1)) return 0;
    }
    return 1;
}

void MOTION_MODULE_CALL GetDefaultParameters(CMC_Setup& setup, CMC_Motion& motion, CString& text) {
    CInternalData data(setup, motion);
    text = data.GetDefaultParameterText();
}

BOOL MOTION_MODULE_CALL TranslateMotionSequence(CMC_Setup& setup, CMC_Motion& motion, CString& text,
                                                CString& output) {
    CInternalData data(setup, motion);
    CString error;
    output.Empty();
    if (!data.ReadParameters(text, error)) {
        output = error;
        return 0;
    }
    // Again: the generator needs valid points, and a record may override ReadParameters.
    int badPoint = 0;
    error = data.ValidatePoints(badPoint);
    if (!error.IsEmpty()) {
        output = error;
        return 0;
    }
    output = data.GenerateCode();
    return 1;
}

BOOL MOTION_MODULE_CALL EditMotionSequence(CMC_Setup& setup, CMC_Motion& motion, CString& text) {
    CEditorDlg dialog(setup, motion, text, nullptr);
    return dialog.DoModal() == IDOK ? 1 : 0;
}

// The definitions above have the signatures of the host's table.
using motion_module::Exports;
using motion_module::ExportSignature;
static_assert(std::is_same_v<decltype(&GetClassName), ExportSignature<&Exports::GetClassName>>);
static_assert(std::is_same_v<decltype(&GetName), ExportSignature<&Exports::GetName>>);
static_assert(std::is_same_v<decltype(&GetOrderID), ExportSignature<&Exports::GetOrderID>>);
static_assert(std::is_same_v<decltype(&IsEnabled), ExportSignature<&Exports::IsEnabled>>);
static_assert(std::is_same_v<decltype(&GetDefaultParameters),
                             ExportSignature<&Exports::GetDefaultParameters>>);
static_assert(
    std::is_same_v<decltype(&EditMotionSequence), ExportSignature<&Exports::EditMotionSequence>>);
static_assert(std::is_same_v<decltype(&TranslateMotionSequence),
                             ExportSignature<&Exports::TranslateMotionSequence>>);
