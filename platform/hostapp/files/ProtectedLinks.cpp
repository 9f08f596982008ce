#include "files/ProtectedLinks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <deque>
#include <filesystem>
#include <string_view>

namespace {

namespace fs = std::filesystem;

constexpr int kMostLinks = 40;  // as the kernel's ELOOP
constexpr long kProcFileSystem = 0x9fa0;

bool MayFollow(const struct stat& link, int folder) {
    struct stat info {};
    if (fstat(folder, &info) != 0) return false;
    const bool shared = (info.st_mode & S_ISVTX) && (info.st_mode & S_IWOTH);
    return !shared || link.st_uid == geteuid() || link.st_uid == info.st_uid;
}

bool IsInProc(int folder) {
    struct statfs info {};
    return fstatfs(folder, &info) == 0 && info.f_type == kProcFileSystem;
}

bool IsProcObject(std::string_view text) {
    return text.front() != '/' && text.find(':') != std::string_view::npos;
}

void Split(std::string_view path, std::deque<std::string>& into) {
    std::deque<std::string> parts;
    while (!path.empty()) {
        const size_t slash = path.find('/');
        parts.emplace_back(path.substr(0, slash));
        path.remove_prefix(slash == std::string_view::npos ? path.size() : slash + 1);
    }
    into.insert(into.begin(), parts.begin(), parts.end());
}

int OpenFolder(const char* path) { return open(path, O_PATH | O_DIRECTORY | O_CLOEXEC); }

// Walks `path` as the kernel resolves it, one name at a time relative to the folder reached.
class LinkWalk {
public:
    ~LinkWalk() {
        if (m_folder >= 0) close(m_folder);
        if (m_fallback.folder >= 0) close(m_fallback.folder);
    }

    // With `wantFolder`, the place is the folder that `path` names, with an empty name.
    int Run(const std::string& path, bool wantFolder, OutputPlace& place,
            std::string& forbiddenLink) {
        if (path.empty() && !wantFolder) return ENOENT;
        if (!Restart(!path.empty() && path.front() == '/')) return errno;
        std::deque<std::string> left;
        Split(path, left);
        // A name ending in a slash is meant as a folder, which is no file to write.
        bool folderMeant = !path.empty() && path.back() == '/';
        for (int links = 0; !left.empty();) {
            const std::string part = left.front();
            left.pop_front();
            const bool last = left.empty();
            if (part.empty() || part == "." || part == "..") {
                if (part == ".." && !Enter("..")) return errno;
                if (last && !wantFolder) return folderMeant ? ENOTDIR : EISDIR;
                continue;
            }
            const int fd = openat(m_folder, part.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
            if (fd < 0) {
                if (errno != ENOENT) return errno;
                if (m_fallback.folder >= 0) return Take(m_fallback, place);
                if (!last || wantFolder) return ENOENT;
                if (folderMeant) return ENOTDIR;
                return TakeHere(part, place);
            }
            struct stat info {};
            if (fstat(fd, &info) != 0) return Fail(fd);
            if (S_ISLNK(info.st_mode)) {
                if (!MayFollow(info, m_folder)) {
                    close(fd);
                    forbiddenLink = (fs::path(m_path) / part).string();
                    return EPERM;
                }
                if (++links > kMostLinks) return Fail(fd, ELOOP);
                char target[PATH_MAX + 1];
                const ssize_t length = readlinkat(fd, "", target, PATH_MAX);
                close(fd);
                if (length <= 0) return length == 0 ? ENOENT : errno;
                const std::string_view text(target, static_cast<size_t>(length));
                if (!wantFolder && IsProcObject(text) && IsInProc(m_folder)) {
                    return TakeProcObject(part, last, place);
                }
                // A link at the end that points to nothing is itself the file replaced.
                if (last && !wantFolder && m_fallback.folder < 0) {
                    m_fallback.folder = dup(m_folder);
                    m_fallback.folderPath = m_path;
                    m_fallback.name = part;
                }
                Split(text, left);
                if (last && text.back() == '/') folderMeant = true;
                if (text.front() == '/' && !Restart(true)) return errno;
                continue;
            }
            if (last && !(wantFolder && S_ISDIR(info.st_mode))) {
                close(fd);
                if (S_ISDIR(info.st_mode)) return EISDIR;
                if (folderMeant) return ENOTDIR;
                return TakeHere(part, place);
            }
            if (!S_ISDIR(info.st_mode)) return Fail(fd, ENOTDIR);
            close(m_folder);
            m_folder = fd;
            m_path = (fs::path(m_path) / part).string();
        }
        return wantFolder ? TakeHere("", place) : EISDIR;
    }

private:
    bool Restart(bool fromRoot) {
        const int fd = OpenFolder(fromRoot ? "/" : ".");
        if (fd < 0) return false;
        if (m_folder >= 0) close(m_folder);
        m_folder = fd;
        std::error_code failed;
        m_path =
            fromRoot ? fs::path("/").root_directory().string() : fs::current_path(failed).string();
        return true;
    }

    bool Enter(const char* name) {
        const int fd = openat(m_folder, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) return false;
        close(m_folder);
        m_folder = fd;
        m_path = fs::path(m_path).parent_path().string();
        return true;
    }

    static int Fail(int fd, int failure = errno) {
        close(fd);
        return failure;
    }

    static int Take(OutputPlace& from, OutputPlace& place) {
        place = from;
        from = OutputPlace{};
        return 0;
    }

    int TakeHere(const std::string& name, OutputPlace& place) {
        place.folder = m_folder;
        place.folderPath = m_path;
        place.name = name;
        m_folder = -1;
        return 0;
    }

    // The links of /proc/self/fd name pipes and sockets by no path ("pipe:[4026]"): the file is
    // opened through the link, as the kernel does.
    int TakeProcObject(const std::string& name, bool last, OutputPlace& place) {
        const int fd = openat(m_folder, name.c_str(), O_PATH | O_CLOEXEC);
        if (fd < 0) return errno;
        struct stat info {};
        if (fstat(fd, &info) != 0) return Fail(fd);
        if (!last) return Fail(fd, ENOTDIR);
        if (S_ISDIR(info.st_mode)) return Fail(fd, EISDIR);
        place.object = fd;
        return TakeHere(name, place);
    }

    int m_folder = -1;
    std::string m_path;
    OutputPlace m_fallback;
};

}  // namespace

int FindOutputPlace(const std::string& path, OutputPlace& place, std::string& forbiddenLink) {
    ReleaseOutputPlace(place);
    LinkWalk walk;
    return walk.Run(path, false, place, forbiddenLink);
}

int OpenOutputFolder(const std::string& path, OutputPlace& place, std::string& forbiddenLink) {
    ReleaseOutputPlace(place);
    LinkWalk walk;
    return walk.Run(path, true, place, forbiddenLink);
}

void ReleaseOutputPlace(OutputPlace& place) {
    if (place.folder >= 0) close(place.folder);
    if (place.object >= 0) close(place.object);
    place = OutputPlace{};
}
