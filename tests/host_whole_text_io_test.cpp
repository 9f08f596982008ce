// Output files beyond what the command-line tests reach: links, file modes, devices, and a
// target that cannot be replaced.
#include <WholeTextIO.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <set>
#include <string>

#include "host_scratch_folder.h"

namespace host_test {
namespace {

using WholeTextIO = HostScratchFolder;

TEST_F(WholeTextIO, ReplacedFileKeepsItsLinkAndGetsTheModeOfANewFile) {
    Put("real.txt", "a longer text that was there before");
    fs::create_symlink("real.txt", dir / "link.txt");
    const mode_t mask = umask(022);
    std::string error;
    const bool written = WriteWholeText((dir / "link.txt").string(), "new", error);
    umask(mask);
    ASSERT_TRUE(written) << error;
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_EQ(Contents(dir / "real.txt"), "new");
    EXPECT_EQ(Entries(), (std::set<std::string>{"link.txt", "real.txt"}));
    struct stat info {};
    ASSERT_EQ(stat((dir / "real.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u) << "the temporary file's 0600 stayed";
}

TEST_F(WholeTextIO, DirectoryInTheWayIsAFailureThatLeavesItAsItWas) {
    fs::create_directory(dir / "taken");
    Put("taken/keep.txt", "kept");
    std::string error;
    EXPECT_FALSE(WriteWholeText((dir / "taken").string(), "text", error));
    EXPECT_NE(error.find("taken"), std::string::npos) << error;
    EXPECT_EQ(Contents(dir / "taken" / "keep.txt"), "kept");
    EXPECT_EQ(Entries(), std::set<std::string>{"taken"}) << "a temporary file stayed behind";
}

TEST_F(WholeTextIO, DeviceIsWrittenToNotReplaced) {
    // Renaming over /dev/null would succeed for root and leave a regular file there.
    std::string error;
    EXPECT_TRUE(WriteWholeText("/dev/null", "text", error)) << error;
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST_F(WholeTextIO, ReadingADirectoryFailsWithTheReason) {
    std::string text;
    std::string error;
    EXPECT_FALSE(ReadWholeText(dir.string(), text, error));
    EXPECT_NE(error.find(dir.string()), std::string::npos) << error;
    EXPECT_NE(error.find("directory"), std::string::npos) << error;
}

}  // namespace
}  // namespace host_test
