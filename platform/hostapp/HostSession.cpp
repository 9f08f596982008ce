#include "HostSession.h"

#include <algorithm>
#include <vector>

#include "HostLibraryPath.h"
#include "HostResources.h"
#include "files/ExitStatus.h"
#include "files/WholeTextIO.h"

HostSession::HostSession() : m_hostResources(HostResourceTable()) {}

// Members go in reverse: the module is unloaded before the setup and the host's resources that
// it may still refer to.
HostSession::~HostSession() = default;

bool HostSession::Open(const HostOptions& options, std::string& error) {
    if (options.setupPath.empty()) {
        m_setup = CDriveSetup::CreateDefault();
    } else {
        // Read here, so that a setup is held to the limit of every text input.
        std::string text;
        if (!ReadWholeText(options.setupPath, text, error)) return false;
        CString message;
        m_setup = CDriveSetup::LoadFromText(text, options.setupPath.c_str(), message);
        if (!m_setup) {
            error = message.IsEmpty() ? "cannot read the setup " + options.setupPath
                                      : std::string(message.GetString());
            return false;
        }
    }
    m_motion = std::make_unique<CMC_Motion>(*m_setup);

    m_modulePath = options.modulePath.empty() ? DefaultModulePath() : options.modulePath;
    const std::vector<const CResourceTable*> before = AfxGetResourceChain();
    if (!m_module.Load(m_modulePath, error)) return false;
    // The module's tables are the ones that joined while it was loaded.
    for (const CResourceTable* table : AfxGetResourceChain()) {
        if (std::find(before.begin(), before.end(), table) != before.end()) continue;
        if (table->GetVersion()) {
            m_moduleVersion = table->GetVersion();
            break;
        }
    }
    return true;
}

std::string HostSession::DefaultModulePath() {
#ifdef _WIN32
    return HostLibraryPath("Travex.dll");
#else
    return HostLibraryPath("Travex.so");
#endif
}

bool OpenSession(HostSession& session, const HostOptions& options) {
    std::string error;
    if (session.Open(options, error)) return true;
    ReportFailure(error.c_str());
    return false;
}

bool RequireEnabledType(const HostSession& session) {
    const CModuleLoader& module = session.GetModule();
    if (module.IsEnabled(session.GetSetup())) return true;
    const std::string message = std::string("the motion type ") + module.GetName() +
                                " is not enabled on the setup \"" + session.GetSetup().GetName() +
                                "\" (see travex-host info)";
    ReportFailure(message.c_str());
    return false;
}
