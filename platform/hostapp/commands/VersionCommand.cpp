#include "commands/VersionCommand.h"

#include <cstdio>

#include "commands/HostCommand.h"
#include "files/ExitStatus.h"

int ShowVersions(const HostOptions& options) {
    std::printf("travex-host %s\n", TRAVEX_HOST_VERSION);
    HostSession session;
    if (!OpenSession(session, options)) return kExitFailure;
    const CVersionRecord* version = session.GetModuleVersion();
    if (!version) {
        std::printf("module %s %s: no version record\n", session.GetModule().GetName(),
                    session.GetModulePath().c_str());
    } else {
        const WORD* v = version->fileVersion;
        std::printf("module %s %u.%u.%u.%u (%s)\n", session.GetModule().GetName(), v[0], v[1], v[2],
                    v[3], session.GetModulePath().c_str());
    }
    if (std::fflush(stdout) != 0) return ReportFailure("cannot write standard output");
    return kExitSuccess;
}
