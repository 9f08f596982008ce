#include "files/EditedFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>

#include "files/WholeTextIO.h"

bool EditedFile::Read(const std::string& path, std::string& text, std::string& error) {
    m_path = path;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat info {};
    const bool read = fstat(fd, &info) == 0 && ReadWholeTextFrom(fd, path, text, error);
    close(fd);
    if (!read) return false;
    m_device = info.st_dev;
    m_inode = info.st_ino;
    m_size = text.size();
    m_hash = std::hash<std::string_view>{}(text);
    return true;
}

// `fd` is open on the file that the path names now.
bool EditedFile::IsUnchanged(int fd) const {
    struct stat opened {};
    struct stat named {};
    if (fstat(fd, &opened) != 0 || stat(m_path.c_str(), &named) != 0) return false;
    // Replaced after it was opened here: by the writer that held the lock.
    if (opened.st_dev != named.st_dev || opened.st_ino != named.st_ino) return false;
    if (opened.st_dev != m_device || opened.st_ino != m_inode) return false;
    if (static_cast<size_t>(opened.st_size) != m_size) return false;
    std::string now;
    std::string ignored;
    return ReadWholeTextFrom(fd, m_path, now, ignored) && now.size() == m_size &&
           std::hash<std::string_view>{}(now) == m_hash;
}

bool EditedFile::Replace(std::string_view bytes, std::string& error) const {
    WholeOutputs outputs;
    if (!outputs.Stage(m_path, bytes, error)) return false;
    const int fd = open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    // Held until the file is replaced; closing the file lets it go.
    const bool locked = fd >= 0 && flock(fd, LOCK_EX) == 0;
    if (locked && IsUnchanged(fd)) {
        const bool committed = outputs.Commit(error);
        close(fd);
        return committed;
    }
    if (fd >= 0) close(fd);
    std::string kept;
    if (!WriteNewText(m_path + ".edited", bytes, kept, error)) {
        error = m_path +
                " changed while it was being edited, and the edited text could not be "
                "kept either (" +
                error + "); " + m_path + " is left as it is";
        return false;
    }
    error = m_path + " changed while it was being edited (another program saved it); it is left " +
            "as it is, and the edited text is in " + kept;
    return false;
}
