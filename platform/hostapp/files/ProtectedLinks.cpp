#include "files/ProtectedLinks.h"

#include <sys/stat.h>
#include <unistd.h>

#include <deque>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

constexpr int kMostLinks = 40;  // as the kernel's ELOOP

bool MayFollow(const struct stat& link, const fs::path& folder) {
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0) return true;
    const bool shared = (info.st_mode & S_ISVTX) && (info.st_mode & S_IWOTH);
    return !shared || link.st_uid == geteuid() || link.st_uid == info.st_uid;
}

std::deque<fs::path> Components(const fs::path& path) {
    std::deque<fs::path> parts;
    for (const fs::path& part : path.relative_path()) parts.push_back(part);
    return parts;
}

}  // namespace

std::string FindForbiddenLink(const std::string& path) {
    std::error_code failed;
    const fs::path absolute = fs::absolute(path, failed);
    if (failed) return {};
    // Walks the path as the kernel resolves it, a link's target taking its place.
    fs::path reached = absolute.root_path();
    std::deque<fs::path> left = Components(absolute);
    for (int links = 0; !left.empty();) {
        const fs::path part = left.front();
        left.pop_front();
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            reached = reached.parent_path();
            continue;
        }
        const fs::path next = reached / part;
        struct stat info {};
        if (lstat(next.c_str(), &info) != 0) return {};  // the rest does not exist yet
        if (!S_ISLNK(info.st_mode)) {
            reached = next;
            continue;
        }
        if (!MayFollow(info, reached)) return next.string();
        const fs::path target = fs::read_symlink(next, failed);
        if (failed || ++links > kMostLinks) return {};
        std::deque<fs::path> parts = Components(target);
        left.insert(left.begin(), parts.begin(), parts.end());
        if (target.is_absolute()) reached = target.root_path();
    }
    return {};
}
