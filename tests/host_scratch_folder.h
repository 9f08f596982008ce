// What the tests of travex-host's file-changing commands share: a scratch folder of the test's
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

// The program of examples/worked-example.ptm.
inline constexpr char kWorkedExampleProgram[] =
    "  MASTERID = 49; // Set host address to 3\r\n"
    "  SETPT 0xCF00; //Clear PT buffer\r\n"
    "  MODE PT; // Set PT Mode\r\n"
    "  TUM1;//Start from actual value of position reference\r\n"
    "  CPR;\r\n"
    "  PTP 2000L, 100U, 0; //PT(2000[IU], 100[IU])\r\n"
    "  UPD; //Execute immediate\r\n"
    "  PTP 3000L, 200U, 0; //PT(5000[IU],300[IU])\r\n"
    "  !MC; WAIT!; //wait for completion\r\n";

inline constexpr char kTooFewPoints[] =
    "Invalid number of points. You should have at least 2 points.";

inline std::string Contents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
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

    static ChildResult Host(const std::vector<std::string>& arguments) {
        return RunChild(kHost, arguments);
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
