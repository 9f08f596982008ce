#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <set>

#include "files/KilledRunLeftovers.h"

namespace {

constexpr std::string_view kMark = ".travex-";
constexpr std::string_view kKept = ".old";

// A process that still runs; one that cannot be asked (another user's) counts as running.
bool IsAlive(DWORD pid) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

struct Leftover {
    std::string output;
    DWORD pid = 0;
    bool kept = false;
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
    DWORD pid = 0;
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
    return (path.parent_path() / ("." + path.filename().string() + std::string(kMark) +
                                  std::to_string(GetCurrentProcessId()) + "."))
        .string();
}

// The folder's permissions, not a file's owner, decide on Windows who may remove a file: a
// leftover is removed when it can be, and reported either way.
void ReportKilledRunLeftovers(int, const std::string& folder) {
    static std::set<std::string> looked;
    if (!looked.insert(folder).second) return;
    std::error_code failed;
    const std::filesystem::path where(folder.empty() ? "." : folder);
    for (const auto& entry : std::filesystem::directory_iterator(where, failed)) {
        Leftover leftover;
        const std::string name = entry.path().filename().string();
        if (!ParseLeftover(name, leftover) || IsAlive(leftover.pid)) continue;
        std::error_code ignored;
        if (!entry.is_regular_file(ignored)) continue;
        const std::string path = (std::filesystem::path(folder) / name).string();
        const bool removed = std::filesystem::remove(entry.path(), ignored);
        const std::string what = leftover.kept
                                     ? leftover.output + " as it was before that run replaced it"
                                     : "the new " + leftover.output + " that it never put in place";
        std::fprintf(stderr, "travex-host: warning: a run that was killed left %s: %s (%s)\n",
                     path.c_str(), what.c_str(), removed ? "removed" : "it cannot be removed");
    }
}
