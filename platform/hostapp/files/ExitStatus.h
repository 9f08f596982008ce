// What travex-host tells its caller through the exit status.
#pragma once

enum ExitStatus : int {
    kExitSuccess = 0,
    // The module refused the motion and said why on standard error.
    kExitRefused = 1,
    // Wrong usage, or a file, setup or module that could not be read or written; for edit, also
    // a script that could not be played to its end.
    kExitFailure = 2,
    // The user left the editor with Cancel (or Escape, or the close box): nothing was written.
    kExitCancelled = 3,
};

// How every message of the host says that memory ran out.
inline constexpr char kOutOfMemory[] = "out of memory";

// Prints "travex-host: <message>" on standard error and returns kExitFailure.
int ReportFailure(const char* message);

// Prints the module's error text on standard error, one fault a line (its CR LF line ends as the
// terminal's), and returns kExitRefused.
int ReportRefusal(const char* errorText);
