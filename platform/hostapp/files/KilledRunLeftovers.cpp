#include "files/KilledRunLeftovers.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <utility>

namespace {

constexpr std::string_view kMark = ".travex-";
constexpr std::string_view kKept = ".old";

bool IsAlive(pid_t pid) { return kill(pid, 0) == 0 || errno == EPERM; }

struct Leftover {
    std::string output;  // the name of the output it belongs to
    pid_t pid = 0;
    bool kept = false;  // the earlier text of a replaced file, not the new one
};

// ".NAME.travex-PID.XXXXXX", with ".old" after it for a replaced file's earlier text.
bool ParseLeftover(std::string_view name, Leftover& leftover) {
    leftover.kept = name.ends_with(kKept);
    if (leftover.kept) name.remove_suffix(kKept.size());
    const size_t mark = name.rfind(kMark);
    if (name.size() < 2 || name.front() != '.' || mark == std::string_view::npos || mark < 2) {
        return false;
    }
    std::string_view rest = name.substr(mark + kMark.size());
    const size_t dot = rest.find('.');
    if (dot == 0 || dot == std::string_view::npos || rest.size() - dot - 1 != 6) return false;
    pid_t pid = 0;
    for (char c : rest.substr(0, dot)) {
        if (c < '0' || c > '9' || pid > 99999999) return false;
        pid = pid * 10 + (c - '0');
    }
    leftover.output = std::string(name.substr(1, mark - 1));
    leftover.pid = pid;
    return true;
}

}  // namespace

std::string TemporaryNamePrefix(const std::string& target) {
    const std::filesystem::path path(target);
    return (path.parent_path() /
            ("." + path.filename().string() + std::string(kMark) + std::to_string(getpid()) + "."))
        .string();
}

void ReportKilledRunLeftovers(int folder, const std::string& folderPath) {
    static std::set<std::pair<dev_t, ino_t>> looked;
    struct stat self {};
    if (fstat(folder, &self) != 0 || !looked.insert({self.st_dev, self.st_ino}).second) return;
    const int listing = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* entries = listing >= 0 ? fdopendir(listing) : nullptr;
    if (!entries) {
        if (listing >= 0) close(listing);
        return;
    }
    while (const dirent* entry = readdir(entries)) {
        Leftover leftover;
        if (!ParseLeftover(entry->d_name, leftover) || IsAlive(leftover.pid)) continue;
        const std::string path = (std::filesystem::path(folderPath) / entry->d_name).string();
        struct stat info {};
        if (fstatat(folder, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(info.st_mode)) {
            continue;
        }
        struct stat output {};
        if (leftover.kept && fstatat(folder, leftover.output.c_str(), &output, 0) == 0 &&
            output.st_ino == info.st_ino && output.st_dev == info.st_dev) {
            // A second name of the file as it is: the run was killed before replacing it.
            if (info.st_uid == geteuid()) unlinkat(folder, entry->d_name, 0);
            continue;
        }
        const bool ours = info.st_uid == geteuid();
        const bool removed = ours && unlinkat(folder, entry->d_name, 0) == 0;
        const std::string what = leftover.kept
                                     ? leftover.output + " as it was before that run replaced it"
                                     : "the new " + leftover.output + " that it never put in place";
        std::fprintf(stderr, "travex-host: warning: a run that was killed left %s: %s (%s)\n",
                     path.c_str(), what.c_str(),
                     removed ? "removed" : "another user's file, left as it is");
    }
    closedir(entries);
}
