#include <cerrno>
#include <filesystem>

#include "files/ProtectedLinks.h"

// Windows has no sticky folders, and only an administrator (or developer mode) makes symbolic
// links: the rule has nothing to forbid there. Nor are folders held open by a number: a place is
// the target's folder and name, found once through the links with canonical.

int FindOutputPlace(const std::string& path, OutputPlace& place, std::string&) {
    place = OutputPlace{};
    std::error_code ignored;
    std::filesystem::path target = std::filesystem::weakly_canonical(path, ignored);
    if (target.empty()) target = std::filesystem::absolute(path, ignored);
    if (target.empty() || !target.has_filename()) return EISDIR;
    place.folderPath = target.parent_path().string();
    place.name = target.filename().string();
    return 0;
}

int OpenOutputFolder(const std::string& path, OutputPlace& place, std::string&) {
    place = OutputPlace{};
    std::error_code failed;
    const std::filesystem::path folder =
        std::filesystem::weakly_canonical(path.empty() ? "." : path, failed);
    if (failed) return failed.value() ? failed.value() : ENOENT;
    if (!std::filesystem::is_directory(folder, failed)) return ENOTDIR;
    place.folderPath = folder.string();
    return 0;
}

void ReleaseOutputPlace(OutputPlace& place) { place = OutputPlace{}; }
