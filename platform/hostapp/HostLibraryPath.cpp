#include "HostLibraryPath.h"

#include <filesystem>

std::string HostLibraryPath(const std::string& name) {
    std::error_code failed;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failed);
    if (failed) return name;
    // Relative to the program, so that an installed tree works wherever it is unpacked.
    const std::filesystem::path installed =
        (program.parent_path() / TRAVEX_LIBRARY_DIR_FROM_PROGRAM).lexically_normal();
    const bool isInstalled = std::filesystem::is_directory(installed, failed);
    return ((isInstalled ? installed : program.parent_path()) / name).string();
}
