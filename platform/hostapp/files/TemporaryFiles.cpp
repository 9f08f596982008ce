#include "files/TemporaryFiles.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstring>

namespace {

constexpr int kSlots = 8;
constexpr int kCaughtSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// A handler may run between any two instructions: it reads only fixed buffers behind a flag.
struct Slot {
    std::atomic<bool> used{false};
    int folder = -1;
    char name[PATH_MAX + 1];
};
Slot g_slots[kSlots];

void RemoveAndDie(int signal) {
    for (Slot& slot : g_slots) {
        if (slot.used.load()) unlinkat(slot.folder, slot.name, 0);
    }
    ::signal(signal, SIG_DFL);
    raise(signal);
}

}  // namespace

void InstallTemporaryFileCleanup() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    for (int caught : kCaughtSignals) {
        struct sigaction action {};
        sigaction(caught, nullptr, &action);
        // A signal that the caller chose to ignore (nohup) stays ignored.
        if (action.sa_handler == SIG_IGN) continue;
        action.sa_handler = RemoveAndDie;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;
        sigaction(caught, &action, nullptr);
    }
}

int RegisterTemporaryFile(int folder, const char* name) {
    if (std::strlen(name) > PATH_MAX) return -1;
    for (int i = 0; i < kSlots; ++i) {
        if (g_slots[i].used.load()) continue;
        g_slots[i].folder = folder;
        std::strcpy(g_slots[i].name, name);
        g_slots[i].used.store(true);
        return i;
    }
    return -1;
}

void ForgetTemporaryFile(int slot) {
    if (slot >= 0 && slot < kSlots) g_slots[slot].used.store(false);
}

SignalsHeld::SignalsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (int caught : kCaughtSignals) sigaddset(&held, caught);
    sigprocmask(SIG_BLOCK, &held, &m_previous);
}

SignalsHeld::~SignalsHeld() { sigprocmask(SIG_SETMASK, &m_previous, nullptr); }
