#include "files/WholeOutputs.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "files/KilledRunLeftovers.h"
#include "files/TemporaryFiles.h"

namespace {

bool IsStandardOutput(const std::string& path) { return path.empty() || path == "-"; }

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t count = write(fd, bytes.data(), bytes.size());
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(count));
    }
    return true;
}

std::string CannotWrite(const std::string& path, int failure) {
    return "cannot write " + path + ": " + std::strerror(failure);
}

// Standard output, or the device or pipe that Stage found, reopened from its held descriptor
// so that nothing renamed since can take its place.
bool WriteDirect(const std::string& path, const OutputPlace& place, std::string_view bytes,
                 std::string& error) {
    if (IsStandardOutput(path)) {
        if (WriteAll(STDOUT_FILENO, bytes)) return true;
        error = CannotWrite("standard output", errno);
        return false;
    }
    const std::string self = "/proc/self/fd/" + std::to_string(place.object);
    int fd = open(self.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        // Without /proc: by name, and only if it is still the file that Stage found.
        fd = openat(place.folder, place.name.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
        struct stat found {};
        struct stat now {};
        if (fd >= 0 && (fstat(place.object, &found) != 0 || fstat(fd, &now) != 0 ||
                        found.st_dev != now.st_dev || found.st_ino != now.st_ino)) {
            close(fd);
            fd = -1;
            errno = EAGAIN;
        }
    }
    bool written = fd >= 0 && WriteAll(fd, bytes);
    int failure = errno;
    if (fd >= 0 && close(fd) != 0 && written) {
        written = false;
        failure = errno;
    }
    if (!written) error = CannotWrite(path, failure);
    return written;
}

// The mode and owner that the replacement takes: the old file's, or a new file's.
void GiveModeAndOwner(int fd, const struct stat* old) {
    if (old) {
        fchmod(fd, old->st_mode & 07777);
        // Only root, or an owner giving the file to a group of its own, may do this.
        if (fchown(fd, old->st_uid, old->st_gid) != 0) fchown(fd, -1, old->st_gid);
        fchmod(fd, old->st_mode & 07777);  // chown clears set-id bits
        return;
    }
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

// A file without a name in `folder`, which vanishes with the process however it ends; -1 where
// the file system cannot make one.
int OpenUnnamedFile(int folder) {
    return openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
}

std::string RandomLetters() {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned char bytes[6] = {};
    if (getrandom(bytes, sizeof bytes, 0) != sizeof bytes) {
        for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(rand());
    }
    std::string letters;
    for (unsigned char byte : bytes) letters += kLetters[byte % (sizeof kLetters - 1)];
    return letters;
}

// Gives the unnamed file `fd` the name `name` in `folder`, which must not exist; false with
// errno set.
bool LinkAs(int fd, int folder, const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        return true;
    }
    // Without /proc: the call that needs the right to find any file.
    return errno == ENOENT && linkat(fd, "", folder, name.c_str(), AT_EMPTY_PATH) == 0;
}

// Gives the unnamed file `fd` the name `prefix` and six letters; false with errno set.
bool LinkUnnamedFile(int fd, int folder, const std::string& prefix, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = prefix + RandomLetters();
        if (LinkAs(fd, folder, name)) return true;
        if (errno != EEXIST) return false;
    }
    return false;
}

// A new file named `prefix` and six letters in `folder`, registered for removal on a signal;
// -1 with errno set.
int CreateNamedTemporary(int folder, const std::string& prefix, std::string& name, int& slot) {
    SignalsHeld held;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = prefix + RandomLetters();
        const int fd = openat(folder, name.c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            slot = RegisterTemporaryFile(folder, name.c_str());
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

}  // namespace

WholeOutputs::WholeOutputs() { InstallTemporaryFileCleanup(); }

WholeOutputs::~WholeOutputs() {
    for (Staged& staged : m_staged) Discard(staged);
}

void WholeOutputs::Discard(Staged& staged) {
    if (staged.unnamed >= 0) close(staged.unnamed);
    staged.unnamed = -1;
    if (!staged.temporary.empty()) {
        unlinkat(staged.place.folder, staged.temporary.c_str(), 0);
        ForgetTemporaryFile(staged.cleanupSlot);
        staged.temporary.clear();
    }
    ReleaseOutputPlace(staged.place);
}

bool WholeOutputs::Stage(const std::string& path, std::string_view bytes, std::string& error) {
    Staged staged;
    staged.path = path;
    staged.bytes = bytes;
    if (IsStandardOutput(path)) {
        staged.direct = true;
        m_staged.push_back(std::move(staged));
        return true;
    }
    // Found once: every later step works relative to the folder held here.
    std::string link;
    const int failure = FindOutputPlace(path, staged.place, link);
    if (!link.empty()) {
        error = "cannot write " + path + ": " + link +
                " is a link that another user made in a folder that anyone may write; "
                "it is not followed";
        return false;
    }
    if (failure != 0) {
        error = failure == ENOTDIR && path.back() == '/'
                    ? "cannot write " + path + ": not a file name"
                    : CannotWrite(path, failure);
        return false;
    }
    OutputPlace& place = staged.place;
    struct stat info {};
    const bool exists = place.object >= 0 ? fstat(place.object, &info) == 0
                                          : fstatat(place.folder, place.name.c_str(), &info,
                                                    AT_SYMLINK_NOFOLLOW) == 0;
    // A link that points to nothing is replaced itself, and put back should the commit fail.
    const bool replacesLink = exists && S_ISLNK(info.st_mode);
    if (place.object >= 0 || (exists && !replacesLink && !S_ISREG(info.st_mode))) {
        // Devices and pipes (-o /dev/null) have no whole or half.
        if (place.object < 0) {
            place.object =
                openat(place.folder, place.name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
        }
        if (place.object < 0) {
            error = CannotWrite(path, errno);
            Discard(staged);
            return false;
        }
        staged.direct = true;
        m_staged.push_back(std::move(staged));
        return true;
    }
    // A file that the user may not write is not replaced behind its back.
    if (exists && !replacesLink &&
        faccessat(place.folder, place.name.c_str(), W_OK, AT_EACCESS) != 0) {
        error = CannotWrite(path, errno);
        Discard(staged);
        return false;
    }
    staged.existed = exists;
    ReportKilledRunLeftovers(place.folder, place.folderPath);
    int fd = OpenUnnamedFile(place.folder);
    if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        error = CannotWrite(path, errno);
        Discard(staged);
        return false;
    }
    if (fd < 0) {
        // Where the file system has no unnamed files: a named one that the signal handler
        // removes, and that a later run finds should SIGKILL leave it.
        fd = CreateNamedTemporary(place.folder, TemporaryNamePrefix(place.name), staged.temporary,
                                  staged.cleanupSlot);
        if (fd < 0) {
            error = CannotWrite(path, errno);
            staged.temporary.clear();
            Discard(staged);
            return false;
        }
    }
    GiveModeAndOwner(fd, exists && !replacesLink ? &info : nullptr);
    const bool written = WriteAll(fd, bytes) && fsync(fd) == 0;
    const int writeFailure = errno;
    if (staged.temporary.empty()) {
        staged.unnamed = fd;  // named only at Commit, when every output is staged
    } else if (close(fd) != 0 && written) {
        error = CannotWrite(path, errno);
        Discard(staged);
        return false;
    }
    if (!written) {
        error = CannotWrite(path, writeFailure);
        Discard(staged);
        return false;
    }
    m_staged.push_back(std::move(staged));
    return true;
}

bool WholeOutputs::Commit(std::string& error) {
    // What cannot be taken back goes first: when it fails, no file has changed yet.
    for (Staged& staged : m_staged) {
        if (staged.direct && !WriteDirect(staged.path, staged.place, staged.bytes, error)) {
            for (Staged& other : m_staged) Discard(other);
            return false;
        }
    }
    // Each replaced file is kept under a second name until every rename has succeeded. A
    // signal waits until all are in place or all are back.
    SignalsHeld held;
    for (Staged& staged : m_staged) {
        if (staged.unnamed < 0) continue;
        std::string name;
        if (!LinkUnnamedFile(staged.unnamed, staged.place.folder,
                             TemporaryNamePrefix(staged.place.name), name)) {
            error = CannotWrite(staged.path, errno);
            for (Staged& other : m_staged) Discard(other);
            return false;
        }
        staged.temporary = name;
        staged.cleanupSlot = RegisterTemporaryFile(staged.place.folder, name.c_str());
        close(staged.unnamed);
        staged.unnamed = -1;
    }
    std::vector<std::string> kept(m_staged.size());
    std::vector<int> keepSlots;
    size_t placed = 0;
    for (; placed < m_staged.size(); ++placed) {
        Staged& staged = m_staged[placed];
        if (staged.direct) continue;
        const int folder = staged.place.folder;
        const char* target = staged.place.name.c_str();
        const std::string keep = staged.temporary + ".old";
        int keepSlot = -1;
        if (staged.existed && linkat(folder, target, folder, keep.c_str(), 0) == 0) {
            kept[placed] = keep;
            keepSlot = RegisterTemporaryFile(folder, keep.c_str());
        }
        if (renameat(folder, staged.temporary.c_str(), folder, target) != 0) {
            error = CannotWrite(staged.path, errno);
            if (!kept[placed].empty()) unlinkat(folder, kept[placed].c_str(), 0);
            ForgetTemporaryFile(keepSlot);
            break;
        }
        keepSlots.push_back(keepSlot);
        ForgetTemporaryFile(staged.cleanupSlot);
        staged.temporary.clear();
    }
    const bool complete = placed == m_staged.size();
    for (size_t i = 0; i < placed; ++i) {
        const Staged& staged = m_staged[i];
        if (staged.direct) continue;
        const int folder = staged.place.folder;
        const char* target = staged.place.name.c_str();
        if (complete) {
            if (!kept[i].empty()) unlinkat(folder, kept[i].c_str(), 0);
        } else if (!kept[i].empty()) {
            renameat(folder, kept[i].c_str(), folder, target);
        } else if (!staged.existed) {
            unlinkat(folder, target, 0);  // it did not exist before
        }
    }
    for (int slot : keepSlots) ForgetTemporaryFile(slot);
    for (Staged& staged : m_staged) Discard(staged);
    return complete;
}

bool WriteWholeText(const std::string& path, std::string_view bytes, std::string& error) {
    WholeOutputs outputs;
    return outputs.Stage(path, bytes, error) && outputs.Commit(error);
}

bool WriteNewText(const std::string& wanted, std::string_view bytes, std::string& written,
                  std::string& error) {
    const auto name = [&wanted](int number) {
        return number == 1 ? wanted : wanted + "-" + std::to_string(number);
    };
    const auto nameInFolder = [&name](int number) {
        return std::filesystem::path(name(number)).filename().string();
    };
    OutputPlace place;
    std::string link;
    const int failure =
        OpenOutputFolder(std::filesystem::path(wanted).parent_path().string(), place, link);
    if (failure != 0) {
        error = link.empty() ? CannotWrite(wanted, failure)
                             : "cannot write " + wanted + ": " + link +
                                   " is a link that another user made in a folder that anyone "
                                   "may write; it is not followed";
        return false;
    }
    int fd = OpenUnnamedFile(place.folder);
    const bool unnamed = fd >= 0;
    int number = 1;
    for (; !unnamed && number < 1000; ++number) {
        // Where the file system has no unnamed files: made under its name, at worst cut short.
        fd = openat(place.folder, nameInFolder(number).c_str(),
                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) break;
    }
    if (fd < 0) {
        error = CannotWrite(wanted, errno);
        ReleaseOutputPlace(place);
        return false;
    }
    if (unnamed) GiveModeAndOwner(fd, nullptr);
    bool done = WriteAll(fd, bytes) && fsync(fd) == 0;
    for (; done && unnamed && !LinkAs(fd, place.folder, nameInFolder(number)); ++number) {
        done = errno == EEXIST && number < 1000;
    }
    const int writeFailure = errno;
    close(fd);
    if (!done && !unnamed) unlinkat(place.folder, nameInFolder(number).c_str(), 0);
    ReleaseOutputPlace(place);
    if (!done) {
        error = CannotWrite(wanted, writeFailure);
        return false;
    }
    written = name(number);
    return true;
}
