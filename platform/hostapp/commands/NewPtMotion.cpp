#include "commands/NewPtMotion.h"

#include <ArrayParameterHost.h>
#include <MC_ArrayParameter.h>
#include <PreviewUnits.h>

#include <cstdio>

#include "commands/UsageChecks.h"
#include "files/ExitStatus.h"
#include "files/FileIdentity.h"
#include "files/WholeOutputs.h"
#include "pt/ArrayTextRecord.h"
#include "pt/EditorScriptDriver.h"
#include "pt/PtKeys.h"

void AddNewMotionOutputOptions(CLI::App* command, NewMotionOutputs& outputs) {
    command
        ->add_option("-o,--output", outputs.motionPath,
                     "Write the motion into FILE instead of standard output (whole or not at "
                     "all)")
        ->type_name("FILE");
    command
        ->add_option("--program", outputs.programPath,
                     "Also write the motion's program into FILE (- for standard output); the "
                     "motion and the program are written both or neither")
        ->type_name("FILE");
}

void AddPtMotionOptions(CLI::App* command, PtMotionOptions& options) {
    command
        ->add_option("--host-address", options.hostAddress,
                     "Set the drive's host address first (1 to 255)")
        ->type_name("N")
        ->check(WholeNumberFrom(1, 255));
    command->add_flag("--keep-buffer", options.keepBuffer,
                      "Keep what the PT buffer holds instead of clearing it");
    command
        ->add_option("--start-from", options.startFrom,
                     "Start from the actual values of the position and speed reference "
                     "(reference, the default) or of the load/motor position and speed (actual)")
        ->type_name("WHERE")
        ->transform(OneOf({"reference", "actual"}));
    CLI::Option* onEvent =
        command->add_flag("--on-event", options.onEvent,
                          "Execute on the default event (a wait time of 0) instead of at once; "
                          "choose another event with edit");
    command
        ->add_flag("--no-wait", options.noWait,
                   "Do not wait until the motion is completed (when executing at once)")
        ->excludes(onEvent);
}

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
    CString parameters = text;
    if (!outputs.programPath.empty() &&
        !session.GetModule().TranslateMotionSequence(session.GetSetup(), session.GetMotion(),
                                                     parameters, program)) {
        return ReportRefusal(program.GetString());
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
