#include "pt/NewMotionFromTable.h"

#include <ArrayParameterHost.h>
#include <MC_ArrayParameter.h>

#include <cstdio>

#include "files/ExitStatus.h"
#include "files/WholeOutputs.h"
#include "pt/ArrayTextRecord.h"
#include "pt/EditorScriptDriver.h"
#include "pt/PtKeys.h"

bool NewMotionUnits::LookUp(const CDriveSetup& setup, UnitKind kind, const std::string& name,
                            std::optional<CMC_Unit>& unit, std::string& error) {
    if (name.empty()) return true;
    CMC_Unit found;
    if (!ChooseSetupUnit(setup, kind, name, found, error)) return false;
    unit = found;
    return true;
}

bool NewMotionUnits::LookUp(const CDriveSetup& setup, const std::string& positionName,
                            const std::string& timeName, std::string& error) {
    return LookUp(setup, UnitKind::Position, positionName, position, error) &&
           LookUp(setup, UnitKind::Time, timeName, time, error);
}

int EditTableIntoMotion(const HostSession& session, const std::vector<double>& times,
                        const std::vector<double>& positions, const PreviewUnits& units,
                        const PtMotionOptions& options, CString& text) {
    CDriveSetup& setup = session.GetSetup();
    const CModuleLoader& module = session.GetModule();
    module.GetDefaultParameters(setup, session.GetMotion(), text);
    // After the defaults: the last entry of a key counts.
    CArrayTextRecord writer(setup, session.GetMotion());
    const struct {
        const char* key;
        const std::vector<double>& values;
        const CMC_Unit& unit;
    } arrays[] = {{host_pt_keys::kTime, times, units.time},
                  {host_pt_keys::kPosition, positions, units.position}};
    for (const auto& [key, values, unit] : arrays) {
        CMC_ArrayParameter array(setup);
        CArrayParameterHost::BindToKey(array, key);
        CArrayParameterHost::SelectUnit(array, unit.name.c_str());
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

int WriteNewMotion(const HostSession& session, const CString& text,
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
    WholeOutputs staged;
    if (!staged.Stage(outputs.motionPath, text.str(), error) ||
        (!outputs.programPath.empty() &&
         !staged.Stage(outputs.programPath, program.str(), error)) ||
        !staged.Commit(error)) {
        return ReportFailure(error.c_str());
    }
    return kExitSuccess;
}
