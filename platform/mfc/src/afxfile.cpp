#include "afxfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace {

// One refill serves 64 KiB of one-byte reads.
constexpr UINT kBufferSize = 64 * 1024;

[[noreturn]] void ThrowFileError(int cause, int error, const CString& fileName,
                                 CFileException::Action action) {
    auto* exception = new CFileException(cause, error, fileName);
    exception->m_action = action;
    throw exception;
}

[[noreturn]] void ThrowErrno(int error, const CString& fileName, CFileException::Action action) {
    ThrowFileError(CFileException::ErrnoToException(error), error, fileName, action);
}

#ifdef _WIN32
// Binary, since a text-mode read would turn CR LF into LF; not inherited, as O_CLOEXEC.
constexpr int kOpenFlags = O_BINARY | O_NOINHERIT;
#else
constexpr int kOpenFlags = O_CLOEXEC;
#endif

// open(2) flags for CFile's, or -1 for a combination that MFC would refuse.
int SystemOpenFlags(UINT nOpenFlags) {
    int flags = kOpenFlags;
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

}  // namespace

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) {
    // Held until thrown: Open itself can run out of memory.
    std::unique_ptr<CFileException> exception(new CFileException);
    if (!Open(lpszFileName, nOpenFlags, exception.get())) throw exception.release();
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
#ifdef _WIN32
    // The Windows run-time refuses a directory as it refuses a file without rights.
    if (fd < 0 && error == EACCES && ::stat(fileName, &status) == 0 && S_ISDIR(status.st_mode)) {
        error = EISDIR;
    }
#endif
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
    return TRUE;
}

long CFile::ReadFromSystem(char* into, size_t count) {
    ssize_t got;
    do {
        got = ::read(m_hFile, into, count);
    } while (got < 0 && errno == EINTR);
    return got < 0 ? -errno : static_cast<long>(got);
}

long CFile::FillBuffer() {
    if (!m_pBuffer) AfxMayAllocate([&] { m_pBuffer = std::make_unique<char[]>(kBufferSize); });
    m_nBufferPos = m_nBufferEnd = 0;
    const long got = ReadFromSystem(m_pBuffer.get(), kBufferSize);
    if (got > 0) m_nBufferEnd = static_cast<UINT>(got);
    return got;
}

UINT CFile::ReadBuffered(void* lpBuf, UINT nCount) {
    auto* out = static_cast<char*>(lpBuf);
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

void CFile::Reset() {
    m_hFile = hFileNull;
    m_nBufferPos = m_nBufferEnd = 0;
    m_strFileName.Empty();
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
