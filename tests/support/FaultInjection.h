// Faults put into a test process from outside the code under test: this object replaces the
// system's read(2) and the global operator new for the whole test program, so the shipping
// libraries carry no hook. Link it only into tests.
#pragma once

#include <cstdint>

// From now on every read of a regular file at file offset nFailAt or beyond fails with EIO, as a
// bad sector would: the bytes before it read as usual, and a file of exactly nFailAt bytes fails
// at its end. A negative offset switches the failure off. Pipes and terminals are not affected.
void SetFileReadFailureForTesting(std::int64_t nFailAt);

// The read failure for as long as the object lives, so that a failing test cannot leave it.
class CFileReadFailureForTesting {
public:
    explicit CFileReadFailureForTesting(std::int64_t nFailAt) {
        SetFileReadFailureForTesting(nFailAt);
    }
    ~CFileReadFailureForTesting() { SetFileReadFailureForTesting(-1); }
    CFileReadFailureForTesting(const CFileReadFailureForTesting&) = delete;
    CFileReadFailureForTesting& operator=(const CFileReadFailureForTesting&) = delete;
};

// Counts the allocations made with operator new while the object lives; the one numbered
// nFailAt (1: the next) throws std::bad_alloc as an exhausted heap would, and the ones after it
// succeed again. 0 only counts.
class CAllocationFailureForTesting {
public:
    explicit CAllocationFailureForTesting(std::int64_t nFailAt);
    ~CAllocationFailureForTesting();
    CAllocationFailureForTesting(const CAllocationFailureForTesting&) = delete;
    CAllocationFailureForTesting& operator=(const CAllocationFailureForTesting&) = delete;

    // The allocations counted so far, the failed one included.
    std::int64_t GetCount() const;
    bool HasFailed() const;
    // The count when a regular file was first and last read, -1 before: the allocations made
    // between the two belong to the reading.
    std::int64_t GetCountAtFirstRead() const;
    std::int64_t GetCountAtLastRead() const;
};
