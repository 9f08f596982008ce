#include "FaultInjection.h"

#ifndef _WIN32
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::int64_t> g_readFailureOffset{-1};

std::atomic<bool> g_counting{false};
std::atomic<std::int64_t> g_allocations{0};
std::atomic<std::int64_t> g_failAt{0};
std::atomic<bool> g_failed{false};
std::atomic<std::int64_t> g_countAtFirstRead{-1};
std::atomic<std::int64_t> g_countAtLastRead{-1};

#ifndef _WIN32
using ReadFunction = ssize_t (*)(int, void*, size_t);

ReadFunction SystemRead() {
    static const auto read = reinterpret_cast<ReadFunction>(dlsym(RTLD_NEXT, "read"));
    return read;
}

bool IsRegularFile(int fd) {
    struct stat status {};
    return ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
}

#endif

}  // namespace

void SetFileReadFailureForTesting(std::int64_t nFailAt) { g_readFailureOffset.store(nFailAt); }

// On Windows the libraries call msvcrt.dll's read directly: nothing here can take its place, and
// the tests of read failures are left out there (windows-check.sh says which).
#ifndef _WIN32

// Takes the place of the C library's read(2) for the whole test program, libraries included.
extern "C" ssize_t read(int fd, void* buffer, size_t count) {
    if (g_counting.load(std::memory_order_relaxed) && IsRegularFile(fd)) {
        std::int64_t none = -1;
        g_countAtFirstRead.compare_exchange_strong(none, g_allocations.load());
        g_countAtLastRead.store(g_allocations.load());
    }
    const std::int64_t failAt = g_readFailureOffset.load(std::memory_order_relaxed);
    if (failAt >= 0 && IsRegularFile(fd)) {
        const off_t position = ::lseek(fd, 0, SEEK_CUR);
        if (position >= 0) {
            if (position >= failAt) {
                errno = EIO;
                return -1;
            }
            count = std::min<size_t>(count, static_cast<size_t>(failAt - position));
        }
    }
    return SystemRead()(fd, buffer, count);
}
#endif

CAllocationFailureForTesting::CAllocationFailureForTesting(std::int64_t nFailAt) {
    g_allocations.store(0);
    g_failed.store(false);
    g_countAtFirstRead.store(-1);
    g_countAtLastRead.store(-1);
    g_failAt.store(nFailAt);
    g_counting.store(true);
}

CAllocationFailureForTesting::~CAllocationFailureForTesting() { g_counting.store(false); }

std::int64_t CAllocationFailureForTesting::GetCount() const { return g_allocations.load(); }

bool CAllocationFailureForTesting::HasFailed() const { return g_failed.load(); }

std::int64_t CAllocationFailureForTesting::GetCountAtFirstRead() const {
    return g_countAtFirstRead.load();
}

std::int64_t CAllocationFailureForTesting::GetCountAtLastRead() const {
    return g_countAtLastRead.load();
}

namespace {

void* Allocate(std::size_t size) {
    if (g_counting.load(std::memory_order_relaxed)) {
        const std::int64_t number = g_allocations.fetch_add(1) + 1;
        if (number == g_failAt.load()) {
            g_failed.store(true);
            throw std::bad_alloc();
        }
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}

}  // namespace

// The global operators new of the test program, with the failure above, and delete to match.
// Both forms, since a sanitizer's run-time library supplies both and new[] would not come here.
void* operator new(std::size_t size) { return Allocate(size); }

void* operator new[](std::size_t size) { return Allocate(size); }

void operator delete(void* memory) noexcept { std::free(memory); }

void operator delete[](void* memory) noexcept { std::free(memory); }

void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
