#include "afxfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "afxfiletest.h"

namespace {

// One refill serves 64 KiB of one-byte reads.
constexpr UINT kBufferSize = 64 * 1024;

std::atomic<LONGLONG> g_readFailureOffset{-1};

[[noreturn]] void ThrowFileError(int cause, int error, const CString& fileName,
                                 CFileException::Action action) {
    auto* exception = new CFileException(cause, error, fileName);
    exception->m_action = action;
    throw exception;
}

[[noreturn]] void ThrowErrno(int error, const CString& fileName, CFileException::Action action) {
    ThrowFileError(CFileException::ErrnoToException(error), error, fileName, action);
}

// open(2) flags for CFile's, or -1 for a combination that MFC would refuse.
int SystemOpenFlags(UINT nOpenFlags) {
    int flags = O_CLOEXEC;
    switch (nOpenFlags & 0x3) {
        case CFile::modeRead:
            flags |= O_RDONLY;
            break;
        case CFile::modeWrite:
            flags |= O_WRONLY;
            break;
        case CFile::modeReadWrite:
            flags |= O_RDWR;
            break;
        default:
            return -1;
    }
    if ((nOpenFlags & 0x70) > CFile::shareDenyNone) return -1;
    if (nOpenFlags & CFile::modeCreate) {
        flags |= O_CREAT;
        if (!(nOpenFlags & CFile::modeNoTruncate)) flags |= O_TRUNC;
    }
    return flags;
}

CString AbsolutePath(const CString& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path.str(), error);
    return error ? path : CString(absolute.lexically_normal().string());
}

}  // namespace

void AfxSetFileReadFailureForTesting(LONGLONG nFailAt) { g_readFailureOffset.store(nFailAt); }

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) {
    auto* exception = new CFileException;
    if (!Open(lpszFileName, nOpenFlags, exception)) throw exception;
    delete exception;
}

CFile::~CFile() { Abort(); }

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
    Abort();
    const CString fileName = lpszFileName;
    const int flags = SystemOpenFlags(nOpenFlags);
    int error = EINVAL;
    int fd = -1;
    if (flags != -1) {
        do {
            fd = ::open(fileName, flags, 0666);
        } while (fd < 0 && errno == EINTR);
        error = errno;
    }
    // Linux opens a directory for reading and only its reads fail; Windows refuses it at once.
    struct stat status {};
    if (fd >= 0 && ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
        ::close(fd);
        fd = -1;
        error = EISDIR;
    }
    if (fd < 0) {
        if (pError) {
            pError->m_cause = CFileException::ErrnoToException(error);
            pError->m_lOsError = error;
            pError->m_strFileName = fileName;
            pError->m_action = CFileException::actionOpen;
        }
        return FALSE;
    }
    m_hFile = fd;
    m_strFileName = fileName;
    m_strFilePath = AbsolutePath(fileName);
    return TRUE;
}

long CFile::ReadFromSystem(char* into, size_t count) {
    const LONGLONG failAt = g_readFailureOffset.load(std::memory_order_relaxed);
    if (failAt >= 0) {
        const off_t position = ::lseek(m_hFile, 0, SEEK_CUR);
        if (position >= 0) {
            if (position >= failAt) return -EIO;
            count = std::min<size_t>(count, static_cast<size_t>(failAt - position));
        }
    }
    ssize_t got;
    do {
        got = ::read(m_hFile, into, count);
    } while (got < 0 && errno == EINTR);
    return got < 0 ? -errno : static_cast<long>(got);
}

long CFile::FillBuffer() {
    if (!m_pBuffer) m_pBuffer = std::make_unique<char[]>(kBufferSize);
    m_nBufferPos = m_nBufferEnd = 0;
    const long got = ReadFromSystem(m_pBuffer.get(), kBufferSize);
    if (got > 0) m_nBufferEnd = static_cast<UINT>(got);
    return got;
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
    auto* out = static_cast<char*>(lpBuf);
    if (nCount == 1 && m_nBufferPos < m_nBufferEnd) {
        *out = m_pBuffer[m_nBufferPos++];
        return 1;
    }
    UINT done = 0;
    while (done < nCount) {
        if (ReadAheadCount() == 0) {
            // A request as large as the buffer gains nothing from it.
            const bool direct = nCount - done >= kBufferSize;
            const long got = direct ? ReadFromSystem(out + done, nCount - done) : FillBuffer();
            // The bytes read so far are the caller's; the error comes again on the next call.
            if (got < 0 && done > 0) break;
            if (got < 0)
                ThrowErrno(static_cast<int>(-got), m_strFileName, CFileException::actionRead);
            if (got == 0) break;
            if (direct) {
                done += static_cast<UINT>(got);
                continue;
            }
        }
        const UINT count = std::min(ReadAheadCount(), nCount - done);
        std::memcpy(out + done, m_pBuffer.get() + m_nBufferPos, count);
        m_nBufferPos += count;
        done += count;
    }
    return done;
}

void CFile::DropReadAhead() {
    if (ReadAheadCount() > 0) ::lseek(m_hFile, -static_cast<off_t>(ReadAheadCount()), SEEK_CUR);
    m_nBufferPos = m_nBufferEnd = 0;
}

void CFile::Write(const void* lpBuf, UINT nCount) {
    DropReadAhead();
    const auto* in = static_cast<const char*>(lpBuf);
    while (nCount > 0) {
        const ssize_t written = ::write(m_hFile, in, nCount);
        if (written < 0 && errno == EINTR) continue;
        // A write that takes nothing without an error has run out of room.
        if (written <= 0)
            ThrowErrno(written < 0 ? errno : ENOSPC, m_strFileName, CFileException::actionWrite);
        in += written;
        nCount -= static_cast<UINT>(written);
    }
}

void CFile::Flush() {
    if (m_hFile == hFileNull) return;
    // Pipes and terminals have nothing to flush to a disk.
    if (::fsync(m_hFile) != 0 && errno != EINVAL && errno != EROFS)
        ThrowErrno(errno, m_strFileName, CFileException::actionWrite);
}

void CFile::Reset() {
    m_hFile = hFileNull;
    m_nBufferPos = m_nBufferEnd = 0;
    m_strFileName.Empty();
    m_strFilePath.Empty();
}

void CFile::Close() {
    if (m_hFile == hFileNull) return;
    const int fd = m_hFile;
    const CString fileName = m_strFileName;
    Reset();
    // After EINTR the descriptor is gone all the same on Linux.
    if (::close(fd) != 0 && errno != EINTR)
        ThrowErrno(errno, fileName, CFileException::actionClose);
}

void CFile::Abort() {
    if (m_hFile == hFileNull) return;
    ::close(m_hFile);
    Reset();
}

ULONGLONG CFile::GetLength() const {
    struct stat status {};
    if (::fstat(m_hFile, &status) != 0)
        ThrowErrno(errno, m_strFileName, CFileException::actionUnknown);
    return static_cast<ULONGLONG>(status.st_size);
}

ULONGLONG CFile::GetPosition() const {
    const off_t position = ::lseek(m_hFile, 0, SEEK_CUR);
    if (position < 0) ThrowErrno(errno, m_strFileName, CFileException::actionSeek);
    return static_cast<ULONGLONG>(position) - ReadAheadCount();
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom) {
    int whence = SEEK_SET;
    if (nFrom == current) {
        whence = SEEK_CUR;
        // The system's position is ahead of the caller's by the read-ahead.
        lOff -= ReadAheadCount();
    } else if (nFrom == end) {
        whence = SEEK_END;
    } else if (nFrom != begin) {
        ThrowFileError(CFileException::badSeek, EINVAL, m_strFileName, CFileException::actionSeek);
    }
    const off_t position = ::lseek(m_hFile, static_cast<off_t>(lOff), whence);
    if (position < 0) {
        const int error = errno;
        const int cause = error == EBADF ? CFileException::invalidFile : CFileException::badSeek;
        ThrowFileError(cause, error, m_strFileName, CFileException::actionSeek);
    }
    m_nBufferPos = m_nBufferEnd = 0;
    return static_cast<ULONGLONG>(position);
}

CString CFile::GetFileName() const {
    const std::string& path = m_strFileName.str();
    return CString(path.substr(path.find_last_of('/') + 1));
}

CString CFile::GetFilePath() const { return m_strFilePath; }
