#include <windows.h>

#include <filesystem>

#include "HostLibraryPath.h"

// On Windows the libraries lie beside the program, as a host's DLLs do.
std::string HostLibraryPath(const std::string& name) {
    std::wstring program(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
        if (length == 0) return name;
        if (length < program.size()) {
            program.resize(length);
            break;
        }
        program.resize(program.size() * 2);
    }
    return (std::filesystem::path(program).parent_path() / name).string();
}
