#include "HostLibraries.h"

#include <filesystem>

std::string HostLibraryPath(const std::string& name) {
    std::error_code failed;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failed);
    if (failed) return name;
    const std::filesystem::path beside = program.parent_path() / name;
    if (std::filesystem::exists(beside, failed)) return beside.string();
    // Relative to the program, so that the installed tree works wherever it is unpacked.
    return (program.parent_path() / TRAVEX_LIBRARY_DIR_FROM_PROGRAM / name)
        .lexically_normal()
        .string();
}
