#include "ModuleLoader.h"

#include <dlfcn.h>

namespace {

template <typename Fn>
bool Resolve(void* handle, const char* name, Fn& target, const std::string& path,
             std::string& error) {
    void* symbol = dlsym(handle, name);
    if (!symbol) {
        error = path + ": the module does not export " + name + ".";
        return false;
    }
    target = reinterpret_cast<Fn>(symbol);
    return true;
}

}  // namespace

CModuleLoader::~CModuleLoader() { Unload(); }

bool CModuleLoader::Load(const std::string& path, std::string& error) {
    Unload();
    // A bare file name would make dlopen search the library path; the host means a file.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    m_handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) {
        const char* reason = dlerror();
        error = "cannot load the module " + path + ": " + (reason ? reason : "unknown error");
        return false;
    }
    using namespace motion_module;
    const bool resolved =
        Resolve(m_handle, kGetClassName, GetClassName, path, error) &&
        Resolve(m_handle, kGetName, GetName, path, error) &&
        Resolve(m_handle, kGetOrderID, GetOrderID, path, error) &&
        Resolve(m_handle, kIsEnabled, IsEnabled, path, error) &&
        Resolve(m_handle, kGetDefaultParameters, GetDefaultParameters, path, error) &&
        Resolve(m_handle, kEditMotionSequence, EditMotionSequence, path, error) &&
        Resolve(m_handle, kTranslateMotionSequence, TranslateMotionSequence, path, error);
    if (!resolved) Unload();
    return resolved;
}

void CModuleLoader::Unload() {
    if (m_handle) dlclose(m_handle);
    m_handle = nullptr;
    GetClassName = nullptr;
    GetName = nullptr;
    GetOrderID = nullptr;
    IsEnabled = nullptr;
    GetDefaultParameters = nullptr;
    EditMotionSequence = nullptr;
    TranslateMotionSequence = nullptr;
}
