// Output files beyond what the command-line tests reach: links, file modes, devices, and a
// target that cannot be replaced.
#include <files/WholeTextIO.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <set>
#include <string>

#include "host_scratch_folder.h"

namespace host_test {
namespace {

using WholeTextIO = HostScratchFolder;

TEST_F(WholeTextIO, ReplacedFileKeepsItsLinkAndANewFileGetsTheModeOfANewFile) {
    Put("real.txt", "a longer text that was there before");
    fs::create_symlink("real.txt", dir / "link.txt");
    chmod((dir / "real.txt").c_str(), 0640);
    const mode_t mask = umask(022);
    std::string error;
    const bool written = WriteWholeText((dir / "link.txt").string(), "new", error) &&
                         WriteWholeText((dir / "new.txt").string(), "new", error);
    umask(mask);
    ASSERT_TRUE(written) << error;
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_EQ(Contents(dir / "real.txt"), "new");
    EXPECT_EQ(Entries(), (std::set<std::string>{"link.txt", "new.txt", "real.txt"}));
    struct stat info {};
    ASSERT_EQ(stat((dir / "real.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    ASSERT_EQ(stat((dir / "new.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u) << "the temporary file's 0600 stayed";
}

// A rename that fails after another output is in place puts that one back.
TEST_F(WholeTextIO, OutputsThatCannotAllBePutInPlaceAreAllPutBack) {
    const std::string first = Put("first.txt", "first before");
    const std::string second = Put("second.txt", "second before");
    const std::string fresh = (dir / "fresh.txt").string();
    WholeOutputs outputs;
    std::string error;
    ASSERT_TRUE(outputs.Stage(first, "first after", error)) << error;
    ASSERT_TRUE(outputs.Stage(fresh, "fresh", error)) << error;
    ASSERT_TRUE(outputs.Stage(second, "second after", error)) << error;
    // The last target turns into a folder with something in it: no rename can replace it.
    fs::remove(second);
    fs::create_directory(second);
    Put("second.txt/inside", "x");
    EXPECT_FALSE(outputs.Commit(error));
    EXPECT_NE(error.find("second.txt"), std::string::npos) << error;
    EXPECT_EQ(Contents(first), "first before");
    EXPECT_EQ(Entries(), (std::set<std::string>{"first.txt", "second.txt"}))
        << "a file made, or a temporary or kept file, stayed";
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
