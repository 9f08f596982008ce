#include "commands/HostCommand.h"

#include "files/ExitStatus.h"

bool OpenSession(CHostSession& session, const HostOptions& options) {
    std::string error;
    if (session.Open(options, error)) return true;
    ReportFailure(error.c_str());
    return false;
}

bool RequireEnabledType(const CHostSession& session) {
    const CModuleLoader& module = session.GetModule();
    if (module.IsEnabled(session.GetSetup())) return true;
    const std::string message = std::string("the motion type ") + module.GetName() +
                                " is not enabled on the setup \"" + session.GetSetup().GetName() +
                                "\" (see travex-host info)";
    ReportFailure(message.c_str());
    return false;
}
