#include "commands/InfoCommand.h"

#include <NumberText.h>
#include <PreviewUnits.h>

#include <cstdio>
#include <string>
#include <vector>

#include "files/ExitStatus.h"
#include "pt/PtSetupRequirements.h"

namespace {

std::string VersionText(const WORD (&version)[4]) {
    return std::to_string(version[0]) + "." + std::to_string(version[1]) + "." +
           std::to_string(version[2]) + "." + std::to_string(version[3]);
}

// "rot (2000 IU), IU, deg (5.5556 IU)": how many IU make one of each unit.
std::string UnitList(const std::vector<CMC_Unit>& units) {
    std::string list;
    for (const CMC_Unit& unit : units) {
        if (!list.empty()) list += ", ";
        list += unit.name;
        if (unit.name == "IU") continue;
        char factor[32];
        std::snprintf(factor, sizeof factor, "%.6g", unit.iuPerUnit);
        list += std::string(" (") + factor + " IU)";
    }
    return list;
}

// "speed 500 mm/s (0.5 IU/IU), acceleration 5000 mm/s^2 (0.005 IU/IU²)": as the setup writes
// them, and in IU beside them; or "none".
std::string LimitList(const CDriveSetup& setup) {
    const MotionLimits& limits = setup.GetLimits();
    const PreviewUnits iu;
    std::string list;
    const auto add = [&](const char* name, const std::optional<double>& limit,
                         MotionQuantity quantity, const std::string& iuName) {
        if (!limit) return;
        list += (list.empty() ? "" : ", ") + std::string(name) + " " +
                setup.GetLimitText(quantity) + " (" + FormatReadable(*limit) + " " + iuName + ")";
    };
    add("speed", limits.maxSpeed, MotionQuantity::Speed, iu.SpeedName());
    add("acceleration", limits.maxAcceleration, MotionQuantity::Acceleration,
        iu.AccelerationName());
    add("jerk", limits.maxJerk, MotionQuantity::Jerk, iu.JerkName());
    return list.empty() ? "none" : list;
}

int RunInfo(const HostOptions& options) {
    HostSession session;
    if (!OpenSession(session, options)) return kExitFailure;
    const CModuleLoader& module = session.GetModule();
    CDriveSetup& setup = session.GetSetup();

    const int orderId = module.GetOrderID();
    std::printf("Module:        %s\n", session.GetModulePath().c_str());
    std::printf("Class:         %s\n", module.GetClassName());
    std::printf("Name:          %s\n", module.GetName());
    std::printf("Order ID:      %d (0x%X)\n", orderId, static_cast<unsigned>(orderId));
    std::printf("Setup:         %s\n", setup.GetName());
    if (module.IsEnabled(setup)) {
        std::printf("Enabled:       yes\n");
    } else {
        const std::string why = WhyPtIsNotEnabled(setup);
        std::printf("Enabled:       no (%s)\n",
                    why.empty() ? "the module gives no reason" : why.c_str());
    }
    std::printf("Positions in:  %s\n", UnitList(setup.GetUnits(UnitKind::Position)).c_str());
    std::printf("Times in:      %s\n", UnitList(setup.GetUnits(UnitKind::Time)).c_str());
    std::printf("Limits:        %s\n", LimitList(setup).c_str());
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
        "Show the module's class, name, order ID, version, whether its motion type is enabled "
        "on the setup (and if not, why), the setup's units and its limits");
    return {command, [&options] { return RunInfo(options); }};
}
