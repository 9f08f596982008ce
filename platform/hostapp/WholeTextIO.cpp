#include "WholeTextIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

}  // namespace

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
    if (!complete) {
        error = "cannot read " + path + ": " + (errno == EISDIR ? "it is a directory" : Reason());
    }
    close(fd);
    return complete;
}

bool SkipByteOrderMark(std::string& text) {
    if (!text.starts_with("\xEF\xBB\xBF")) return false;
    text.erase(0, 3);
    return true;
}
