#include <windows.h>

#include <string>

#include "files/TemporaryFiles.h"

// Windows has no signals: Ctrl-C, Ctrl-Break and a closed console reach a handler that the
// system runs on a thread of its own. It removes the registered files and lets the process end.
// SignalsHeld holds it back with a lock, so that a file is never created or renamed unseen.
// No folder is held open here: a file is registered with the folder -1 and its whole path.

namespace {

constexpr int kSlots = 8;

struct Slot {
    bool used = false;
    std::wstring path;
};
Slot g_slots[kSlots];

CRITICAL_SECTION& Lock() {
    static CRITICAL_SECTION lock = [] {
        CRITICAL_SECTION made;
        InitializeCriticalSection(&made);
        return made;
    }();
    return lock;
}

BOOL WINAPI RemoveAndEnd(DWORD) {
    EnterCriticalSection(&Lock());
    for (Slot& slot : g_slots) {
        if (slot.used) DeleteFileW(slot.path.c_str());
        slot.used = false;
    }
    LeaveCriticalSection(&Lock());
    return FALSE;  // the system's own handler ends the process
}

std::wstring Wide(const char* path) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, path, -1, nullptr, 0);
    std::wstring wide(length > 0 ? length - 1 : 0, L'\0');
    if (length > 1) MultiByteToWideChar(CP_UTF8, 0, path, -1, wide.data(), length);
    return wide;
}

}  // namespace

void InstallTemporaryFileCleanup() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    Lock();
    SetConsoleCtrlHandler(RemoveAndEnd, TRUE);
}

int RegisterTemporaryFile(int, const char* path) {
    std::wstring wide = Wide(path);
    EnterCriticalSection(&Lock());
    int taken = -1;
    for (int i = 0; i < kSlots && taken < 0; ++i) {
        if (g_slots[i].used) continue;
        g_slots[i].path = std::move(wide);
        g_slots[i].used = true;
        taken = i;
    }
    LeaveCriticalSection(&Lock());
    return taken;
}

void ForgetTemporaryFile(int slot) {
    if (slot < 0 || slot >= kSlots) return;
    EnterCriticalSection(&Lock());
    g_slots[slot].used = false;
    LeaveCriticalSection(&Lock());
}

SignalsHeld::SignalsHeld() { EnterCriticalSection(&Lock()); }

SignalsHeld::~SignalsHeld() { LeaveCriticalSection(&Lock()); }
