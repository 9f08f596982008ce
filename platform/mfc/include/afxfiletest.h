// Test hooks of CFile, for tests of code that must survive a failing disk. Programs never
// include this header.
#pragma once

#include "afxfile.h"

// From now on every CFile read at file offset nFailAt or beyond fails with EIO (cause hardIO),
// as a bad sector would: the bytes before it read as usual, and a file of exactly nFailAt bytes
// fails at its end. A negative offset switches the failure off. Files that cannot seek (pipes)
// are not affected.
void AfxSetFileReadFailureForTesting(LONGLONG nFailAt);

// The failure for as long as the object lives, so that a failing test cannot leave it behind.
class CFileReadFailureForTesting {
public:
    explicit CFileReadFailureForTesting(LONGLONG nFailAt) {
        AfxSetFileReadFailureForTesting(nFailAt);
    }
    ~CFileReadFailureForTesting() { AfxSetFileReadFailureForTesting(-1); }
    CFileReadFailureForTesting(const CFileReadFailureForTesting&) = delete;
    CFileReadFailureForTesting& operator=(const CFileReadFailureForTesting&) = delete;
};
