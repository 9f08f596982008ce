#include "ModuleLoader.h"
#include "WindowsLibrary.h"

CModuleLoader::~CModuleLoader() { Unload(); }

bool CModuleLoader::Load(const std::string& path, std::string& error) {
    Unload();
    // A bare file name would make LoadLibrary search the system's folders; the host means a file.
    const bool bare = path.find_first_of("/\\:") == std::string::npos;
    std::string reason;
    m_handle = LoadWindowsLibrary(bare ? ".\\" + path : path, reason);
    if (!m_handle) {
        error = "cannot load the module " + path + ": " + reason;
        return false;
    }
    for (const motion_module::ExportEntry& entry : motion_module::kExports) {
        void* symbol = FindWindowsExport(m_handle, entry.name);
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
    if (m_handle) FreeWindowsLibrary(m_handle);
    m_handle = nullptr;
    static_cast<motion_module::Exports&>(*this) = {};
}
