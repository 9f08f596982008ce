#include "files/WholeOutputs.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "files/KilledRunLeftovers.h"
#include "files/ProtectedLinks.h"
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

bool WriteDirect(const std::string& path, std::string_view bytes, std::string& error) {
    if (IsStandardOutput(path)) {
        if (WriteAll(STDOUT_FILENO, bytes)) return true;
        error = CannotWrite("standard output", errno);
        return false;
    }
    const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
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
int OpenUnnamedFile(const std::string& folder) {
    return open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
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

// Gives the unnamed file `fd` the name `name`, which must not exist; false with errno set.
bool LinkAs(int fd, const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        return true;
    }
    // Without /proc: the call that needs the right to find any file.
    return errno == ENOENT && linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0;
}

// Gives the unnamed file `fd` the name `prefix` and six letters; false with errno set.
bool LinkUnnamedFile(int fd, const std::string& prefix, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = prefix + RandomLetters();
        if (LinkAs(fd, name)) return true;
        if (errno != EEXIST) return false;
    }
    return false;
}

}  // namespace

CWholeOutputs::CWholeOutputs() { InstallTemporaryFileCleanup(); }

CWholeOutputs::~CWholeOutputs() {
    for (Staged& staged : m_staged) Discard(staged);
}

void CWholeOutputs::Discard(Staged& staged) {
    if (staged.unnamed >= 0) close(staged.unnamed);
    staged.unnamed = -1;
    if (staged.temporary.empty()) return;
    unlink(staged.temporary.c_str());
    ForgetTemporaryFile(staged.cleanupSlot);
    staged.temporary.clear();
}

bool CWholeOutputs::Stage(const std::string& path, std::string_view bytes, std::string& error) {
    Staged staged;
    staged.path = path;
    staged.bytes = bytes;
    if (!IsStandardOutput(path)) {
        const std::string link = FindForbiddenLink(path);
        if (!link.empty()) {
            error = "cannot write " + path + ": " + link +
                    " is a link that another user made in a folder that anyone may write; "
                    "it is not followed";
            return false;
        }
    }
    struct stat info {};
    const bool exists = !IsStandardOutput(path) && stat(path.c_str(), &info) == 0;
    if (IsStandardOutput(path) || (exists && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode))) {
        // Standard output, devices and pipes (-o /dev/null) have no whole or half.
        staged.direct = true;
        m_staged.push_back(std::move(staged));
        return true;
    }
    if (exists && S_ISDIR(info.st_mode)) {
        error = CannotWrite(path, EISDIR);
        return false;
    }
    // A file that the user may not write is not replaced behind its back.
    if (exists && faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
        error = CannotWrite(path, errno);
        return false;
    }
    std::error_code ignored;
    // A link stays a link: the file it points to is the one replaced. A dangling link is
    // replaced itself, as no file lies behind it.
    std::filesystem::path target = std::filesystem::canonical(path, ignored);
    if (target.empty()) target = path;
    if (!target.has_filename()) {
        error = "cannot write " + path + ": not a file name";
        return false;
    }
    staged.target = target.string();
    staged.existed = exists;
    // Beside the target, so that the rename stays within one file system.
    const std::string folder = target.parent_path().string();
    ReportKilledRunLeftovers(folder);
    int fd = OpenUnnamedFile(folder);
    if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        error = CannotWrite(path, errno);
        return false;
    }
    if (fd < 0) {
        // Where the file system has no unnamed files: a named one that the signal handler
        // removes, and that a later run finds should SIGKILL leave it.
        std::string temporary = TemporaryNamePrefix(staged.target) + "XXXXXX";
        {
            CSignalsHeld held;
            fd = mkostemp(temporary.data(), O_CLOEXEC);
            if (fd >= 0) staged.cleanupSlot = RegisterTemporaryFile(temporary.c_str());
        }
        if (fd < 0) {
            error = CannotWrite(path, errno);
            return false;
        }
        staged.temporary = temporary;
    }
    GiveModeAndOwner(fd, exists ? &info : nullptr);
    const bool written = WriteAll(fd, bytes) && fsync(fd) == 0;
    const int failure = errno;
    if (staged.temporary.empty()) {
        staged.unnamed = fd;  // named only at Commit, when every output is staged
    } else if (close(fd) != 0 && written) {
        error = CannotWrite(path, errno);
        Discard(staged);
        return false;
    }
    if (!written) {
        error = CannotWrite(path, failure);
        Discard(staged);
        return false;
    }
    m_staged.push_back(std::move(staged));
    return true;
}

bool CWholeOutputs::Commit(std::string& error) {
    // What cannot be taken back goes first: when it fails, no file has changed yet.
    for (Staged& staged : m_staged) {
        if (staged.direct && !WriteDirect(staged.path, staged.bytes, error)) {
            for (Staged& other : m_staged) Discard(other);
            return false;
        }
    }
    // Each replaced file is kept under a second name until every rename has succeeded. A
    // signal waits until all are in place or all are back.
    CSignalsHeld held;
    for (Staged& staged : m_staged) {
        if (staged.unnamed < 0) continue;
        std::string name;
        if (!LinkUnnamedFile(staged.unnamed, TemporaryNamePrefix(staged.target), name)) {
            error = CannotWrite(staged.path, errno);
            for (Staged& other : m_staged) Discard(other);
            return false;
        }
        staged.temporary = name;
        staged.cleanupSlot = RegisterTemporaryFile(name.c_str());
        close(staged.unnamed);
        staged.unnamed = -1;
    }
    std::vector<std::string> kept(m_staged.size());
    std::vector<int> keepSlots;
    size_t placed = 0;
    for (; placed < m_staged.size(); ++placed) {
        Staged& staged = m_staged[placed];
        if (staged.direct) continue;
        const std::string keep = staged.temporary + ".old";
        int keepSlot = -1;
        if (staged.existed && link(staged.target.c_str(), keep.c_str()) == 0) {
            kept[placed] = keep;
            keepSlot = RegisterTemporaryFile(keep.c_str());
        }
        if (rename(staged.temporary.c_str(), staged.target.c_str()) != 0) {
            error = CannotWrite(staged.path, errno);
            if (!kept[placed].empty()) unlink(kept[placed].c_str());
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
        if (complete) {
            if (!kept[i].empty()) unlink(kept[i].c_str());
        } else if (!kept[i].empty()) {
            rename(kept[i].c_str(), staged.target.c_str());
        } else if (!staged.existed) {
            unlink(staged.target.c_str());  // it did not exist before
        }
    }
    for (int slot : keepSlots) ForgetTemporaryFile(slot);
    if (!complete) {
        for (Staged& staged : m_staged) Discard(staged);
    }
    return complete;
}

bool WriteWholeText(const std::string& path, std::string_view bytes, std::string& error) {
    CWholeOutputs outputs;
    return outputs.Stage(path, bytes, error) && outputs.Commit(error);
}

bool WriteNewText(const std::string& wanted, std::string_view bytes, std::string& written,
                  std::string& error) {
    const auto name = [&wanted](int number) {
        return number == 1 ? wanted : wanted + "-" + std::to_string(number);
    };
    const std::string folder = std::filesystem::path(wanted).parent_path().string();
    int fd = OpenUnnamedFile(folder);
    const bool unnamed = fd >= 0;
    int number = 1;
    for (; !unnamed && number < 1000; ++number) {
        // Where the file system has no unnamed files: made under its name, at worst cut short.
        fd = open(name(number).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) break;
    }
    if (fd < 0) {
        error = CannotWrite(wanted, errno);
        return false;
    }
    if (unnamed) GiveModeAndOwner(fd, nullptr);
    bool done = WriteAll(fd, bytes) && fsync(fd) == 0;
    for (; done && unnamed && !LinkAs(fd, name(number)); ++number) {
        done = errno == EEXIST && number < 1000;
    }
    const int failure = errno;
    close(fd);
    if (!done) {
        if (!unnamed) unlink(name(number).c_str());
        error = CannotWrite(wanted, failure);
        return false;
    }
    written = name(number);
    return true;
}
