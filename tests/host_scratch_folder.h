// What the tests of travex-host and of its file handling share: a scratch folder of the test's
// own, travex-host run as a child process, in the current folder or in another one.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "host_child_process.h"

namespace host_test {

namespace fs = std::filesystem;

inline const std::string kHost = TRAVEX_HOST_PATH;
inline const fs::path kSourceDir = TRAVEX_SOURCE_DIR;

inline constexpr char kTooFewPoints[] =
    "Invalid number of points. You should have at least 2 points.";

inline std::string Contents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// `input` becomes travex-host's standard input.
inline ChildResult Host(const std::vector<std::string>& arguments, const std::string& input = "") {
    return RunChild(kHost, arguments, input);
}

class HostScratchFolder : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("host_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Writes a file into the scratch folder and returns its path.
    std::string Put(const std::string& name, const std::string& text) const {
        std::ofstream(dir / name, std::ios::binary) << text;
        return (dir / name).string();
    }
    std::set<std::string> Entries() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir))
            names.insert(entry.path().filename().string());
        return names;
    }

    // travex-host run in `folder`, for paths relative to it.
    static ChildResult HostIn(const fs::path& folder, const std::vector<std::string>& arguments) {
        std::vector<std::string> shell{"-c", "cd \"$1\" && shift && exec \"$@\"", "sh",
                                       folder.string(), kHost};
        shell.insert(shell.end(), arguments.begin(), arguments.end());
        return RunChild("/bin/sh", shell);
    }

    fs::path dir;
};

}  // namespace host_test
