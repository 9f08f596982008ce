#include "HostGraphics.h"

// The windows and drawings are Qt's, which the Windows build leaves out: edit with a window and
// plot say so, and every other command works.
HostGraphics* LoadHostGraphics(std::string& error) {
    error =
        "windows and drawings are not part of the Windows build of travex-host; edit with "
        "--script, and plot with the Linux build";
    return nullptr;
}
