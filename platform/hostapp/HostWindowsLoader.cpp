#include <dlfcn.h>

#include "HostLibraries.h"
#include "HostWindows.h"

CHostWindows* LoadHostWindows(std::string& error) {
    static CHostWindows* windows = nullptr;
    if (windows) return windows;
    const std::string path = HostLibraryPath("libhostwindows.so");
    // Never closed: a toolkit does not take kindly to being unloaded under its own objects.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        error =
            "cannot load the window support " + path + ": " + (reason ? reason : "unknown error");
        return nullptr;
    }
    const auto entry = reinterpret_cast<CHostWindows* (*)()>(dlsym(handle, "TravexHostWindows"));
    if (!entry) {
        error = path + " does not export TravexHostWindows";
        return nullptr;
    }
    windows = entry();
    return windows;
}
