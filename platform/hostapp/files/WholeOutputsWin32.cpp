#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include "files/KilledRunLeftovers.h"
#include "files/TemporaryFiles.h"
#include "files/WholeOutputs.h"

// Windows' way of the same: each output is staged in a named temporary file beside it, written
// through to the disk, and put in place with ReplaceFileW (which keeps the replaced file's
// attributes and permissions, and its earlier text under a second name until every output is in
// place) or, for a new file, MoveFileExW. Ctrl-C removes the temporaries (TemporaryFiles).

namespace {

bool IsStandardOutput(const std::string& path) { return path.empty() || path == "-"; }

bool IsDevice(const std::string& path) {
    std::string name = std::filesystem::path(path).stem().string();
    for (char& c : name) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return name == "NUL" || name == "CON" || name == "PRN" || name == "AUX";
}

std::wstring Wide(const std::string& path) { return std::filesystem::path(path).wstring(); }

std::string Target(const OutputPlace& place) {
    return (std::filesystem::path(place.folderPath) / place.name).string();
}

std::string SystemMessage(DWORD error) {
    char* text = nullptr;
    FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string message = text ? text : "error " + std::to_string(error);
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.')) {
        message.pop_back();
    }
    return message;
}

std::string CannotWrite(const std::string& path, const std::string& why) {
    return "cannot write " + path + ": " + why;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1 << 24));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// Standard output in binary mode (main sets it), so that CR LF stays CR LF.
bool WriteStandardOutput(std::string_view bytes) {
    while (!bytes.empty()) {
        const unsigned chunk = static_cast<unsigned>(std::min<size_t>(bytes.size(), 1 << 24));
        const int count = _write(1, bytes.data(), chunk);
        if (count < 0) return false;
        bytes.remove_prefix(static_cast<size_t>(count));
    }
    return true;
}

bool WriteDirect(const std::string& path, std::string_view bytes, std::string& error) {
    if (IsStandardOutput(path)) {
        if (WriteStandardOutput(bytes)) return true;
        error = CannotWrite("standard output", std::strerror(errno));
        return false;
    }
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    bool written = file != INVALID_HANDLE_VALUE && WriteAll(file, bytes);
    const DWORD failure = GetLastError();
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (!written) error = CannotWrite(path, SystemMessage(failure));
    return written;
}

std::string RandomLetters() {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::random_device device;
    std::string letters;
    for (int i = 0; i < 6; ++i) letters += kLetters[device() % (sizeof kLetters - 1)];
    return letters;
}

// A new file `prefix` and six letters holding `bytes` on the disk; the name goes into `name`.
// False with the system's error.
bool WriteTemporary(const std::string& prefix, std::string_view bytes, std::string& name, int& slot,
                    DWORD& failure) {
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        name = prefix + RandomLetters();
        SignalsHeld held;
        file = CreateFileW(Wide(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            slot = RegisterTemporaryFile(-1, name.c_str());
        } else if (GetLastError() != ERROR_FILE_EXISTS) {
            break;
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        failure = GetLastError();
        name.clear();
        return false;
    }
    const bool written = WriteAll(file, bytes) && FlushFileBuffers(file);
    failure = GetLastError();
    if (!CloseHandle(file) && written) failure = GetLastError();
    return written;
}

}  // namespace

WholeOutputs::WholeOutputs() { InstallTemporaryFileCleanup(); }

WholeOutputs::~WholeOutputs() {
    for (Staged& staged : m_staged) Discard(staged);
}

void WholeOutputs::Discard(Staged& staged) {
    if (staged.temporary.empty()) return;
    DeleteFileW(Wide(staged.temporary).c_str());
    ForgetTemporaryFile(staged.cleanupSlot);
    staged.temporary.clear();
}

bool WholeOutputs::Stage(const std::string& path, std::string_view bytes, std::string& error) {
    Staged staged;
    staged.path = path;
    staged.bytes = bytes;
    if (IsStandardOutput(path) || IsDevice(path)) {
        staged.direct = true;
        m_staged.push_back(std::move(staged));
        return true;
    }
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = CannotWrite(path, std::strerror(EISDIR));
        return false;
    }
    // A file that the user may not write is not replaced behind its back.
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY)) {
        error = CannotWrite(path, std::strerror(EACCES));
        return false;
    }
    std::string unused;
    if (FindOutputPlace(path, staged.place, unused) != 0) {
        error = "cannot write " + path + ": not a file name";
        return false;
    }
    staged.existed = exists;
    // Beside the target, so that the move stays within one volume.
    ReportKilledRunLeftovers(-1, staged.place.folderPath);
    DWORD failure = 0;
    if (!WriteTemporary(TemporaryNamePrefix(Target(staged.place)), bytes, staged.temporary,
                        staged.cleanupSlot, failure)) {
        error = CannotWrite(path, SystemMessage(failure));
        Discard(staged);
        return false;
    }
    m_staged.push_back(std::move(staged));
    return true;
}

bool WholeOutputs::Commit(std::string& error) {
    // What cannot be taken back goes first: when it fails, no file has changed yet.
    for (Staged& staged : m_staged) {
        if (staged.direct && !WriteDirect(staged.path, staged.bytes, error)) {
            for (Staged& other : m_staged) Discard(other);
            return false;
        }
    }
    // Each replaced file keeps its earlier text under a second name until every output is in
    // place. Ctrl-C waits until all are in place or all are back.
    SignalsHeld held;
    std::vector<std::string> kept(m_staged.size());
    size_t placed = 0;
    for (; placed < m_staged.size(); ++placed) {
        Staged& staged = m_staged[placed];
        if (staged.direct) continue;
        const std::wstring target = Wide(Target(staged.place));
        const std::wstring temporary = Wide(staged.temporary);
        bool moved = false;
        if (staged.existed) {
            const std::string keep = staged.temporary + ".old";
            moved = ReplaceFileW(target.c_str(), temporary.c_str(), Wide(keep).c_str(),
                                 REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
            if (moved) kept[placed] = keep;
        } else {
            moved = MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
        }
        if (!moved) {
            error = CannotWrite(staged.path, SystemMessage(GetLastError()));
            break;
        }
        ForgetTemporaryFile(staged.cleanupSlot);
        staged.temporary.clear();
    }
    const bool complete = placed == m_staged.size();
    for (size_t i = 0; i < placed; ++i) {
        const Staged& staged = m_staged[i];
        if (staged.direct) continue;
        if (complete) {
            if (!kept[i].empty()) DeleteFileW(Wide(kept[i]).c_str());
        } else if (!kept[i].empty()) {
            MoveFileExW(Wide(kept[i]).c_str(), Wide(Target(staged.place)).c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        } else if (!staged.existed) {
            DeleteFileW(Wide(Target(staged.place)).c_str());  // it did not exist before
        }
    }
    if (!complete) {
        for (Staged& staged : m_staged) Discard(staged);
    }
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
    InstallTemporaryFileCleanup();
    std::string temporary;
    int slot = -1;
    DWORD failure = 0;
    bool done = WriteTemporary(TemporaryNamePrefix(wanted), bytes, temporary, slot, failure);
    // A move that never replaces: the first of the names that is free.
    int number = 1;
    for (; done; ++number) {
        SignalsHeld held;
        if (MoveFileExW(Wide(temporary).c_str(), Wide(name(number)).c_str(),
                        MOVEFILE_WRITE_THROUGH)) {
            ForgetTemporaryFile(slot);
            written = name(number);
            return true;
        }
        failure = GetLastError();
        done = failure == ERROR_ALREADY_EXISTS && number < 1000;
    }
    if (!temporary.empty()) DeleteFileW(Wide(temporary).c_str());
    ForgetTemporaryFile(slot);
    error = CannotWrite(wanted, SystemMessage(failure));
    return false;
}
