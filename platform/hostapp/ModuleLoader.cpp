#include "ModuleLoader.h"

#include <dlfcn.h>

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
    for (const motion_module::ExportEntry& entry : motion_module::kExports) {
        void* symbol = dlsym(m_handle, entry.name);
        if (!symbol) {
            error = path + ": the module does not export " + entry.name + ".";
            Unload();
            return false;
        }
        entry.bind(*this, symbol);
    }
    return true;
}

void CModuleLoader::Unload() {
    if (m_handle) dlclose(m_handle);
    m_handle = nullptr;
    static_cast<motion_module::Exports&>(*this) = {};
}
