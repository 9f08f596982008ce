// Whole-text input and output: a file is replaced only when every byte is in it, and a failure
// leaves the directory as it was.
#include <WholeTextIO.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

class WholeTextIO : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("host_io_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::set<std::string> Entries() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }
    static std::string Contents(const fs::path& path) {
        std::ifstream file(path, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }
    static void Put(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    fs::path dir;
};

TEST_F(WholeTextIO, WritesEveryByteAndLeavesOnlyTheTarget) {
    const std::string bytes("line\r\nwith a \0 inside\r\n", 23);
    std::string error;
    ASSERT_TRUE(WriteWholeText((dir / "out.txt").string(), bytes, error)) << error;
    EXPECT_EQ(Contents(dir / "out.txt"), bytes);
    EXPECT_EQ(Entries(), std::set<std::string>{"out.txt"});
}

TEST_F(WholeTextIO, ReplacesAnExistingFileWithTheModeOfANewOne) {
    Put(dir / "out.txt", "a much longer text that was there before");
    const mode_t mask = umask(022);
    std::string error;
    const bool written = WriteWholeText((dir / "out.txt").string(), "new", error);
    umask(mask);
    ASSERT_TRUE(written) << error;
    EXPECT_EQ(Contents(dir / "out.txt"), "new");
    EXPECT_EQ(Entries(), std::set<std::string>{"out.txt"});
    struct stat info {};
    ASSERT_EQ(stat((dir / "out.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST_F(WholeTextIO, WritingThroughALinkReplacesWhatItPointsTo) {
    Put(dir / "real.txt", "old");
    fs::create_symlink("real.txt", dir / "link.txt");
    std::string error;
    ASSERT_TRUE(WriteWholeText((dir / "link.txt").string(), "new", error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_EQ(Contents(dir / "real.txt"), "new");
    EXPECT_EQ(Entries(), (std::set<std::string>{"link.txt", "real.txt"}));
}

TEST_F(WholeTextIO, FailureNamesTheFileAndLeavesNothingBehind) {
    std::string error;
    const std::string missingDir = (dir / "no such dir" / "out.txt").string();
    EXPECT_FALSE(WriteWholeText(missingDir, "text", error));
    EXPECT_NE(error.find(missingDir), std::string::npos) << error;

    fs::create_directory(dir / "taken");
    Put(dir / "taken" / "keep.txt", "kept");
    error.clear();
    EXPECT_FALSE(WriteWholeText((dir / "taken").string(), "text", error));
    EXPECT_NE(error.find("taken"), std::string::npos) << error;
    EXPECT_EQ(Contents(dir / "taken" / "keep.txt"), "kept");
    EXPECT_EQ(Entries(), std::set<std::string>{"taken"}) << "a temporary file stayed behind";
}

TEST_F(WholeTextIO, DevicesTakeTheBytesDirectly) {
    std::string error;
    EXPECT_TRUE(WriteWholeText("/dev/null", "text", error)) << error;
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST_F(WholeTextIO, ReadsWholeFilesAndNamesTheOnesItCannot) {
    const std::string bytes(200000, 'x');
    Put(dir / "in.txt", bytes);
    std::string text = "stale";
    std::string error;
    ASSERT_TRUE(ReadWholeText((dir / "in.txt").string(), text, error)) << error;
    EXPECT_EQ(text, bytes);

    const std::string missing = (dir / "missing.ptm").string();
    EXPECT_FALSE(ReadWholeText(missing, text, error));
    EXPECT_NE(error.find(missing), std::string::npos) << error;
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;

    EXPECT_FALSE(ReadWholeText(dir.string(), text, error));
    EXPECT_NE(error.find("directory"), std::string::npos) << error;
}

}  // namespace
