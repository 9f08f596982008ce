// The outputs of one command, written all or not at all: each file is staged in a temporary
// file beside it, without a name where the file system allows (so that it vanishes with the
// process, even on SIGKILL), and only when every output is staged are they named and put in
// place together. A file that is replaced keeps its permission bits, and its owner where the
// process may set it. A link that the protected-links rule forbids is not followed, and the
// folder found at Stage is the one written at Commit, whatever is renamed on the way meanwhile.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "files/ProtectedLinks.h"

class WholeOutputs {
public:
    WholeOutputs();
    // Removes whatever was staged and not committed.
    ~WholeOutputs();
    WholeOutputs(const WholeOutputs&) = delete;
    WholeOutputs& operator=(const WholeOutputs&) = delete;

    // Stages `bytes` for `path`; an empty path or "-" is standard output, which is written
    // first at Commit. The bytes of standard output and of devices must stay alive until
    // Commit. False with a message that names the file when it cannot be staged.
    bool Stage(const std::string& path, std::string_view bytes, std::string& error);

    // Writes standard output and devices, then puts every staged file in place. On failure
    // no file has changed (a file already put in place is put back) and `error` says why.
    bool Commit(std::string& error);

private:
    struct Staged {
        std::string path;       // as the user named it
        OutputPlace place;      // the file to replace (a link's target), its folder held open
        std::string temporary;  // named, in the folder; empty for standard output, devices and
                                // unnamed files
        int unnamed = -1;       // a file without a name yet, staged in the target's folder
        std::string_view bytes;
        bool direct = false;   // standard output or a device: written, not replaced
        bool existed = false;  // a file is replaced, not created
        int cleanupSlot = -1;
    };
    void Discard(Staged& staged);

    std::vector<Staged> m_staged;
};

// One output, whole or not at all.
bool WriteWholeText(const std::string& path, std::string_view bytes, std::string& error);

// A new file, whole or not at all, that never replaces one: `wanted`, or where that exists
// `wanted-2`, `wanted-3`, ... The name taken goes into `written`.
bool WriteNewText(const std::string& wanted, std::string_view bytes, std::string& written,
                  std::string& error);
