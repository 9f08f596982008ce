#include "WholeTextIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

std::string Reason() { return std::strerror(errno); }

bool ReadAll(int fd, std::string& text) {
    struct stat info {};
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        text.reserve(static_cast<size_t>(info.st_size) + 1);
    }
    char buffer[1 << 16];
    for (;;) {
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count == 0) return true;
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        text.append(buffer, static_cast<size_t>(count));
    }
}

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

// mkstemp creates its file for the owner only; the result should look like any new file.
void GiveNewFileMode(int fd) {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

// Devices and pipes (-o /dev/null) have no whole or half; they take the bytes directly.
bool WriteToSpecialFile(const std::string& path, std::string_view bytes, std::string& error) {
    const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    bool written = fd >= 0 && WriteAll(fd, bytes);
    if (!written) error = "cannot write " + path + ": " + Reason();
    if (fd >= 0 && close(fd) != 0 && written) {
        error = "cannot write " + path + ": " + Reason();
        written = false;
    }
    return written;
}

bool ReplaceRegularFile(const std::string& path, std::string_view bytes, std::string& error) {
    std::error_code ignored;
    // A link stays a link: the file it points to is the one replaced.
    std::filesystem::path target = std::filesystem::canonical(path, ignored);
    if (target.empty()) target = path;
    if (!target.has_filename()) {
        error = "cannot write " + path + ": not a file name";
        return false;
    }
    // Beside the target, so that the rename stays within one file system.
    std::string temporary =
        (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        error = "cannot write " + path + ": " + Reason();
        return false;
    }
    GiveNewFileMode(fd);
    bool written = WriteAll(fd, bytes) && fsync(fd) == 0;
    int failure = written ? 0 : errno;
    if (close(fd) != 0 && written) {
        written = false;
        failure = errno;
    }
    if (written) {
        if (rename(temporary.c_str(), target.c_str()) == 0) return true;
        failure = errno;
    }
    error = "cannot write " + path + ": " + std::strerror(failure);
    unlink(temporary.c_str());
    return false;
}

}  // namespace

bool WriteWholeText(const std::string& path, std::string_view bytes, std::string& error) {
    if (path.empty() || path == "-") {
        if (WriteAll(STDOUT_FILENO, bytes)) return true;
        error = "cannot write standard output: " + Reason();
        return false;
    }
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
        return WriteToSpecialFile(path, bytes, error);
    }
    return ReplaceRegularFile(path, bytes, error);
}

bool ReadWholeText(const std::string& path, std::string& text, std::string& error) {
    text.clear();
    if (path == "-") {
        if (ReadAll(STDIN_FILENO, text)) return true;
        error = "cannot read standard input: " + Reason();
        return false;
    }
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot read " + path + ": " + Reason();
        return false;
    }
    const bool complete = ReadAll(fd, text);
    if (!complete) error = "cannot read " + path + ": " + Reason();
    close(fd);
    return complete;
}
