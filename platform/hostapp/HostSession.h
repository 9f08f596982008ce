// What the host has in hand while it runs one command: its own resources in the resource chain,
// the drive setup, a motion on it, and the loaded module with its resources.
#pragma once

#include <DriveSetup.h>
#include <MC_Motion.h>
#include <afxrestable.h>

#include <memory>
#include <string>

#include "ModuleLoader.h"

struct HostOptions {
    std::string setupPath;   // empty: the built-in setup
    std::string modulePath;  // empty: the Travex.so installed with the program
};

class HostSession {
public:
    // Joins the host's resources to the chain first, so that the module finds them from the
    // moment it is loaded.
    HostSession();
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Builds the setup and the motion, then loads the module. False with a message that names
    // the setup file or the module otherwise.
    bool Open(const HostOptions& options, std::string& error);

    CDriveSetup& GetSetup() const { return *m_setup; }
    CMC_Motion& GetMotion() const { return *m_motion; }
    const CModuleLoader& GetModule() const { return m_module; }
    const std::string& GetModulePath() const { return m_modulePath; }
    // The version record that the module's resources brought into the chain, or null.
    const CVersionRecord* GetModuleVersion() const { return m_moduleVersion; }

    // Travex.so where the program keeps its libraries (HostLibraryPath).
    static std::string DefaultModulePath();

private:
    CModuleResources m_hostResources;
    std::unique_ptr<CDriveSetup> m_setup;
    std::unique_ptr<CMC_Motion> m_motion;
    std::string m_modulePath;
    CModuleLoader m_module;
    const CVersionRecord* m_moduleVersion = nullptr;
};

// Opens a session, or reports why it cannot be opened; the command then exits with
// kExitFailure.
bool OpenSession(HostSession& session, const HostOptions& options);

// The host offers a motion type only on setups that the module enables it for; translating or
// creating one elsewhere is reported like an unusable setup.
bool RequireEnabledType(const HostSession& session);
