#include "commands/NewPtMotion.h"

#include <ArrayParameterHost.h>
#include <MC_ArrayParameter.h>
#include <PreviewUnits.h>

#include <cstdio>

#include "files/ExitStatus.h"
#include "files/FileIdentity.h"
#include "files/WholeOutputs.h"
#include "pt/ArrayTextRecord.h"
#include "pt/EditorScriptDriver.h"
#include "pt/PtKeys.h"

bool CheckNewMotionOutputs(const char* inputRole, const std::string& inputPath,
                           const NewMotionOutputs& outputs) {
    if (outputs.programPath == "-" && outputs.motionPath.empty()) {
        ReportFailure(
            "--program - needs -o FILE for the motion: both cannot share standard output");
        return false;
    }
    return RefuseSameFile(inputRole, inputPath, "-o", outputs.motionPath) &&
           RefuseSameFile(inputRole, inputPath, "--program", outputs.programPath) &&
           RefuseSameFile("-o", outputs.motionPath, "--program", outputs.programPath);
}

bool ResolveSetupUnit(const CDriveSetup& setup, UnitKind kind, std::string& name,
                      std::string& error) {
    CMC_Unit unit{name, 1};
    if (!ChooseSetupUnit(setup, kind, name, unit, error)) return false;
    name = unit.name;
    return true;
}

int EditTableIntoMotion(const CHostSession& session, const std::vector<double>& times,
                        const std::vector<double>& positions, const std::string& positionUnit,
                        const std::string& timeUnit, const PtMotionOptions& options,
                        CString& text) {
    CDriveSetup& setup = session.GetSetup();
    const CModuleLoader& module = session.GetModule();
    module.GetDefaultParameters(setup, session.GetMotion(), text);
    // After the defaults: the last entry of a key counts.
    CArrayTextRecord writer(setup, session.GetMotion());
    const struct {
        const char* key;
        const std::vector<double>& values;
        const std::string& unit;
    } arrays[] = {{host_pt_keys::kTime, times, timeUnit},
                  {host_pt_keys::kPosition, positions, positionUnit}};
    for (const auto& [key, values, unit] : arrays) {
        CMC_ArrayParameter array(setup);
        CArrayParameterHost::BindToKey(array, key);
        if (!unit.empty()) CArrayParameterHost::SelectUnit(array, unit.c_str());
        CArrayParameterHost::SetValuesInInternalUnit(array, values);
        writer.WriteArrayDataParam(text, array);
    }

    CEditorScriptDriver driver;
    QueuePtOptionActions(driver, options);
    const BOOL confirmed = driver.Edit(session, text);
    const auto& messages = driver.GetMessages();
    if (driver.HasFailed()) {
        const CString reason = messages.empty() ? driver.GetError() : messages.back().text;
        return ReportFailure(("the module's editor failed: " + reason.str()).c_str());
    }
    if (!confirmed) {
        if (messages.empty()) return ReportFailure("the module's editor did not open");
        // The validation's words, as translate gives a refused motion's.
        std::fprintf(stderr, "%s\n", messages.back().text.GetString());
        return kExitRefused;
    }
    return kExitSuccess;
}

int WriteNewMotion(const CHostSession& session, const CString& text,
                   const NewMotionOutputs& outputs) {
    CString program;
    if (!outputs.programPath.empty()) {
        // The module may change the text it is given; a long motion is copied only for it.
        CString parameters = text;
        if (!session.GetModule().TranslateMotionSequence(session.GetSetup(), session.GetMotion(),
                                                         parameters, program)) {
            return ReportRefusal(program.GetString());
        }
    }
    std::string error;
    CWholeOutputs staged;
    if (!staged.Stage(outputs.motionPath, text.str(), error) ||
        (!outputs.programPath.empty() &&
         !staged.Stage(outputs.programPath, program.str(), error)) ||
        !staged.Commit(error)) {
        return ReportFailure(error.c_str());
    }
    return kExitSuccess;
}
