// Loads a motion-type module the way the host does: dlopen, then the seven exports by name.
#pragma once

#include <MotionModule.h>

#include <string>

class CModuleLoader {
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

    motion_module::GetClassNameFn GetClassName = nullptr;
    motion_module::GetNameFn GetName = nullptr;
    motion_module::GetOrderIDFn GetOrderID = nullptr;
    motion_module::IsEnabledFn IsEnabled = nullptr;
    motion_module::GetDefaultParametersFn GetDefaultParameters = nullptr;
    motion_module::EditMotionSequenceFn EditMotionSequence = nullptr;
    motion_module::TranslateMotionSequenceFn TranslateMotionSequence = nullptr;

private:
    void* m_handle = nullptr;
};
