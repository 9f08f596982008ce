#include <dlfcn.h>

#include <filesystem>

#include "HostGraphics.h"

CHostGraphics* LoadHostGraphics(std::string& error) {
    static CHostGraphics* windows = nullptr;
    if (windows) return windows;
    std::error_code failed;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failed);
    const std::string path =
        ((failed ? std::filesystem::path(".") : program.parent_path()) / "libhostgraphics.so")
            .string();
    // Never closed: a toolkit does not take kindly to being unloaded under its own objects.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        error =
            "cannot load the graphics support " + path + ": " + (reason ? reason : "unknown error");
        return nullptr;
    }
    const auto entry = reinterpret_cast<CHostGraphics* (*)()>(dlsym(handle, "TravexHostGraphics"));
    if (!entry) {
        error = path + " does not export TravexHostGraphics";
        return nullptr;
    }
    windows = entry();
    return windows;
}
