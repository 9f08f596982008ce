// Loads a motion-type module the way the host does: dlopen, then every export of the table in
// MotionModule.h by name.
#pragma once

#include <MotionModule.h>

#include <string>

class CModuleLoader : public motion_module::Exports {
public:
    CModuleLoader() = default;
    ~CModuleLoader();
    CModuleLoader(const CModuleLoader&) = delete;
    CModuleLoader& operator=(const CModuleLoader&) = delete;

    // Loads the module and resolves every export. On failure returns false, sets `error` to a
    // message that names the file or the missing export, and leaves nothing loaded.
    bool Load(const std::string& path, std::string& error);
    void Unload();
    bool IsLoaded() const { return m_handle != nullptr; }

private:
    void* m_handle = nullptr;
};
