// Temporary files that a signal must not leave behind: Ctrl-C (SIGINT), SIGTERM or a closed
// terminal (SIGHUP) during a long write removes them before the process ends as the signal
// asks.
#pragma once

#include <signal.h>

// Installs the handlers once. Until then, registered files are only forgotten on a signal.
void InstallTemporaryFileCleanup();

// Registers the temporary file `name` in the open folder `folder` for removal on a signal; the
// folder must stay open until the file is forgotten. Returns its slot, or -1 when every slot is
// taken (the file then stays on a signal, as it would without this). Windows holds no folder
// open: there `folder` is -1 and `name` the whole path.
int RegisterTemporaryFile(int folder, const char* name);
// The file was renamed or removed: nothing to do for it on a signal any more.
void ForgetTemporaryFile(int slot);

// Holds the signals back while it lives, so that a file is never created or renamed unseen
// by the handler: between creating a file and registering it, a signal would leave it behind.
class SignalsHeld {
public:
    SignalsHeld();
    ~SignalsHeld();
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
#ifndef _WIN32
    sigset_t m_previous;  // Windows holds its console handler back with a lock instead
#endif
};
