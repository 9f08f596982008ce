#include <dlfcn.h>

#include "HostGraphics.h"
#include "HostLibraryPath.h"

HostGraphics* LoadHostGraphics(std::string& error) {
    static HostGraphics* graphics = nullptr;
    if (graphics) return graphics;
    const std::string path = HostLibraryPath("libhostgraphics.so");
    // Never closed: a toolkit does not take kindly to being unloaded under its own objects.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        error =
            "cannot load the graphics support " + path + ": " + (reason ? reason : "unknown error");
        return nullptr;
    }
    const auto entry = reinterpret_cast<HostGraphics* (*)()>(dlsym(handle, "TravexHostGraphics"));
    if (!entry) {
        error = path + " does not export TravexHostGraphics";
        return nullptr;
    }
    graphics = entry();
    return graphics;
}
