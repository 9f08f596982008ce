// A file as a command read it, to be written back only while it is still that file: another
// program may save it while the editor is open, and its work must not be replaced unseen.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class EditedFile {
public:
    // Reads the whole file, noting which file it is and what it held.
    bool Read(const std::string& path, std::string& text, std::string& error);

    // Replaces the file with `bytes` (whole or not at all) if it is still the file read with the
    // same bytes; another travex-host that replaces it meanwhile waits for this one. Otherwise
    // leaves it alone, keeps `bytes` in a new file beside it and says where in `error`.
    bool Replace(std::string_view bytes, std::string& error) const;

private:
    bool IsUnchanged(int fd) const;

    std::string m_path;
    // Which file: the device and inode, or on Windows the volume and the file's index.
    std::uint64_t m_device = 0;
    std::uint64_t m_inode = 0;
    size_t m_size = 0;
    size_t m_hash = 0;
};
