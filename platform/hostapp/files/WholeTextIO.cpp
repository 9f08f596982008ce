#include "files/WholeTextIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "files/ExitStatus.h"

namespace {

#ifdef _WIN32
// Binary: text mode would read CR LF as LF. Not inherited, as O_CLOEXEC.
constexpr int kReadFlags = O_RDONLY | O_BINARY | O_NOINHERIT;
#else
constexpr int kReadFlags = O_RDONLY | O_CLOEXEC;
#endif

enum class ReadEnd { Complete, Failed, TooLarge };

// Stops one byte past the limit, so that an endless stream ends too.
ReadEnd ReadAll(int fd, std::string& text) {
    struct stat info {};
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        if (static_cast<size_t>(info.st_size) > kMaxInputBytes) return ReadEnd::TooLarge;
        text.reserve(static_cast<size_t>(info.st_size) + 1);
    }
    char buffer[1 << 16];
    for (;;) {
        const size_t room = kMaxInputBytes + 1 - text.size();
        const ssize_t count = read(fd, buffer, std::min(sizeof buffer, room));
        if (count == 0) return ReadEnd::Complete;
        if (count < 0) {
            if (errno == EINTR) continue;
            return ReadEnd::Failed;
        }
        text.append(buffer, static_cast<size_t>(count));
        if (text.size() > kMaxInputBytes) return ReadEnd::TooLarge;
    }
}

}  // namespace

bool ReadWholeTextFrom(int fd, const std::string& name, std::string& text, std::string& error) {
    text.clear();
    ReadEnd end = ReadEnd::Failed;
    try {
        end = ReadAll(fd, text);
    } catch (const std::bad_alloc&) {
        text.clear();
        text.shrink_to_fit();
        error = "cannot read " + name + ": " + kOutOfMemory;
        return false;
    }
    if (end == ReadEnd::Complete) return true;
    const int failure = errno;
    text.clear();
    text.shrink_to_fit();
    if (end == ReadEnd::TooLarge) {
        error = "cannot read " + name + ": it holds more than " +
                std::to_string(kMaxInputBytes >> 20) +
                " MB, far more than any motion, setup, script or points file";
    } else {
        error = "cannot read " + name + ": " +
                (failure == EISDIR ? std::string("it is a directory") : std::strerror(failure));
    }
    return false;
}

bool ReadWholeText(const std::string& path, std::string& text, std::string& error) {
    text.clear();
    if (path == "-") return ReadWholeTextFrom(STDIN_FILENO, InputName(path), text, error);
    const int fd = open(path.c_str(), kReadFlags);
    if (fd < 0) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    const bool complete = ReadWholeTextFrom(fd, path, text, error);
    close(fd);
    return complete;
}

bool SkipByteOrderMark(std::string& text) {
    if (!text.starts_with("\xEF\xBB\xBF")) return false;
    text.erase(0, 3);
    return true;
}
