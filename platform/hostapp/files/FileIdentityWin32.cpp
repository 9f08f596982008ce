#include <windows.h>

#include <cstdio>
#include <filesystem>

#include "files/FileIdentity.h"

namespace {

// The volume and the file's index on it, which every name of one file shares (hard links
// included), as a device and an inode do on Linux. False when the file cannot be opened.
bool FileIndex(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    const std::wstring wide = std::filesystem::path(path).wstring();
    // No access asked: enough for the file's identity, and granted while others write it.
    HANDLE file =
        CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(file, &info) != 0;
    const bool isFile = GetFileType(file) == FILE_TYPE_DISK;
    CloseHandle(file);
    return known && isFile;
}

bool IsDevice(const std::string& path) {
    std::string name = std::filesystem::path(path).stem().string();
    for (char& c : name) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return name == "NUL" || name == "CON" || name == "PRN" || name == "AUX";
}

}  // namespace

bool IsSameFile(const std::string& first, const std::string& second) {
    for (const std::string* path : {&first, &second}) {
        if (path->empty() || *path == "-" || IsDevice(*path)) return false;
    }
    BY_HANDLE_FILE_INFORMATION a{};
    BY_HANDLE_FILE_INFORMATION b{};
    const bool firstExists = FileIndex(first, a);
    const bool secondExists = FileIndex(second, b);
    if (firstExists && secondExists) {
        return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
               a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
    }
    if (firstExists != secondExists) return false;
    // Names are compared without regard to case, as Windows finds files.
    const auto resolved = [](const std::string& path) {
        std::error_code failed;
        const std::filesystem::path absolute = std::filesystem::absolute(path, failed);
        const std::filesystem::path real = std::filesystem::weakly_canonical(absolute, failed);
        std::wstring name = (failed ? absolute.lexically_normal() : real).wstring();
        CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
        return name;
    };
    return resolved(first) == resolved(second);
}

bool RefuseSameFile(const char* firstRole, const std::string& first, const char* secondRole,
                    const std::string& second) {
    if (!IsSameFile(first, second)) return true;
    std::fprintf(stderr, "travex-host: %s (%s) and %s (%s) are the same file; nothing was done\n",
                 firstRole, first.c_str(), secondRole, second.c_str());
    return false;
}
