// What the tests of travex-host and of its file handling share: a scratch folder of the test's
// own, travex-host run as a child process, in the current folder or in another one.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "host_child_process.h"
#include "scratch_folder.h"

namespace host_test {

namespace fs = std::filesystem;

inline const std::string kHost = TRAVEX_HOST_PATH;
inline const fs::path kSourceDir = TRAVEX_SOURCE_DIR;

inline constexpr char kTooFewPoints[] =
    "Invalid number of points. You should have at least 2 points.";

// `input` becomes travex-host's standard input.
inline ChildResult Host(const std::vector<std::string>& arguments, const std::string& input = "") {
    return RunChild(kHost, arguments, input);
}

// The values of an array entry of a motion text, in IU.
inline std::vector<double> MotionArrayValues(const std::string& motion, const std::string& key) {
    std::vector<double> values;
    const size_t at = motion.find(key + "[");
    if (at == std::string::npos) return values;
    size_t cursor = motion.find(':', at) + 1;
    const size_t end = motion.find('\r', at);
    while (cursor < end) {
        char* next = nullptr;
        const double value = std::strtod(motion.c_str() + cursor, &next);
        if (next == motion.c_str() + cursor) break;
        values.push_back(value);
        cursor = static_cast<size_t>(next - motion.c_str());
    }
    return values;
}

class HostScratchFolder : public ::testing::Test {
protected:
    std::string Put(const std::string& name, const std::string& text) const {
        return scratch.Put(name, text);
    }
    std::set<std::string> Entries() const { return scratch.Entries(); }

    // travex-host run in `folder`, for paths relative to it.
    static ChildResult HostIn(const fs::path& folder, const std::vector<std::string>& arguments) {
        std::vector<std::string> shell{"-c", "cd \"$1\" && shift && exec \"$@\"", "sh",
                                       folder.string(), kHost};
        shell.insert(shell.end(), arguments.begin(), arguments.end());
        return RunChild("/bin/sh", shell);
    }

    ScratchFolder scratch;
    const fs::path dir = scratch.Path();
};

}  // namespace host_test
