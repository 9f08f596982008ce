#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

#include "files/EditedFile.h"
#include "files/WholeOutputs.h"
#include "files/WholeTextIO.h"

namespace {

bool Identify(int fd, std::uint64_t& volume, std::uint64_t& index) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), &info)) {
        return false;
    }
    volume = info.dwVolumeSerialNumber;
    index = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    return true;
}

int OpenForReading(const std::string& path) {
    return _wopen(std::filesystem::path(path).wstring().c_str(),
                  _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

}  // namespace

bool EditedFile::Read(const std::string& path, std::string& text, std::string& error) {
    m_path = path;
    const int fd = OpenForReading(path);
    if (fd < 0) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    const bool read = Identify(fd, m_device, m_inode) && ReadWholeTextFrom(fd, path, text, error);
    _close(fd);
    if (!read) return false;
    m_size = text.size();
    m_hash = std::hash<std::string_view>{}(text);
    return true;
}

bool EditedFile::IsUnchanged(int fd) const {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    if (!Identify(fd, volume, index) || volume != m_device || index != m_inode) return false;
    std::string now;
    std::string ignored;
    return ReadWholeTextFrom(fd, m_path, now, ignored) && now.size() == m_size &&
           std::hash<std::string_view>{}(now) == m_hash;
}

bool EditedFile::Replace(std::string_view bytes, std::string& error) const {
    WholeOutputs outputs;
    if (!outputs.Stage(m_path, bytes, error)) return false;
    const int fd = OpenForReading(m_path);
    // Held until the file is replaced, as flock does on Linux: another travex-host that wants to
    // replace it waits here.
    HANDLE file = fd >= 0 ? reinterpret_cast<HANDLE>(_get_osfhandle(fd)) : INVALID_HANDLE_VALUE;
    OVERLAPPED whole{};
    const bool locked =
        fd >= 0 && LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole);
    if (locked && IsUnchanged(fd)) {
        // Windows does not replace a file that is open without sharing its deletion: the lock
        // goes with the handle, after the check and before the replacement.
        UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole);
        _close(fd);
        return outputs.Commit(error);
    }
    if (fd >= 0) _close(fd);
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
