#include "InfoCommand.h"

#include <cstdio>
#include <string>

#include "ExitStatus.h"

namespace {

std::string VersionText(const WORD (&version)[4]) {
    return std::to_string(version[0]) + "." + std::to_string(version[1]) + "." +
           std::to_string(version[2]) + "." + std::to_string(version[3]);
}

int RunInfo(const HostOptions& options) {
    CHostSession session;
    if (!OpenSession(session, options)) return kExitFailure;
    const CModuleLoader& module = session.GetModule();
    CMC_Setup& setup = session.GetSetup();

    const int orderId = module.GetOrderID();
    std::printf("Module:        %s\n", session.GetModulePath().c_str());
    std::printf("Class:         %s\n", module.GetClassName());
    std::printf("Name:          %s\n", module.GetName());
    std::printf("Order ID:      %d (0x%X)\n", orderId, static_cast<unsigned>(orderId));
    std::printf("Setup:         %s\n", setup.GetName());
    std::printf("Enabled:       %s\n", module.IsEnabled(setup) ? "yes" : "no");
    if (const CVersionRecord* version = session.GetModuleVersion()) {
        auto name = version->strings.find("InternalName");
        std::printf("Version:       %s\n", VersionText(version->fileVersion).c_str());
        std::printf("Internal name: %s\n",
                    name == version->strings.end() ? "(none)" : name->second.c_str());
    } else {
        std::printf("Version:       (the module has no version record)\n");
    }
    if (std::fflush(stdout) != 0) return ReportFailure("cannot write standard output");
    return kExitSuccess;
}

}  // namespace

HostCommand AddInfoCommand(CLI::App& app, const HostOptions& options) {
    CLI::App* command = app.add_subcommand(
        "info",
        "Show the module's class, name, order ID, version, and whether its motion type "
        "is enabled on the setup");
    return {command, [&options] { return RunInfo(options); }};
}
