// CFile: reading a file, with MFC's interface; only what the module uses (open, read, close).
// Failures come as CFileException*, except from Open, which fills in the caller's exception and
// returns FALSE. Reads go through a buffer of the object's own, so that code reading one byte
// at a time, common with MFC, stays fast.
#pragma once

#include <memory>

#include "afx.h"
#include "afxexcept.h"

class CFileException;

class CFile : public CObject {
public:
    enum OpenFlags {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        // Linux has advisory locks only, so the share modes are accepted and not enforced.
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        // Files are never handed to child processes here, with or without this flag.
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        // Linux knows no text mode: both read and write the bytes as they are.
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    static constexpr int hFileNull = -1;

    CFile() = default;
    // Opens the file or throws the CFileException* that Open would have filled in.
    CFile(LPCTSTR lpszFileName, UINT nOpenFlags);
    // Closes an open file; an error on closing goes unreported.
    ~CFile() override;

    // FALSE when the file cannot be opened, with the cause in *pError when given. A directory is
    // refused (accessDenied, m_lOsError EISDIR). An open file is closed first.
    virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    // Returns the number of bytes read: fewer than nCount only at the end of the file, 0 there.
    // A buffer that cannot be had throws CMemoryException*.
    // A byte read ahead goes out without a call, as a file is often read a byte at a time.
    virtual UINT Read(void* lpBuf, UINT nCount) {
        if (nCount == 1 && m_nBufferPos < m_nBufferEnd) {
            *static_cast<char*>(lpBuf) = m_pBuffer[m_nBufferPos++];
            return 1;
        }
        return ReadBuffered(lpBuf, nCount);
    }
    // Throws when the system reports an error on closing; closing a closed file does nothing.
    virtual void Close();

    int m_hFile = hFileNull;

private:
    // Closes without throwing, for cleaning up after a failure.
    void Abort();
    UINT ReadBuffered(void* lpBuf, UINT nCount);
    // The bytes read ahead of the caller; a one-byte Read is a copy out of this buffer.
    long FillBuffer();
    // read(2) with EINTR retried; -errno on error.
    long ReadFromSystem(char* into, size_t count);
    UINT ReadAheadCount() const { return m_nBufferEnd - m_nBufferPos; }
    void Reset();

    std::unique_ptr<char[]> m_pBuffer;
    UINT m_nBufferPos = 0;
    UINT m_nBufferEnd = 0;
    CString m_strFileName;
};
