#include "mfc_file_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace file_test {

void FileTest::SetUp() {
    std::string pattern = ::testing::TempDir() + "mfc_file_XXXXXX";
#ifdef _WIN32
    ASSERT_EQ(_mktemp_s(pattern.data(), pattern.size() + 1), 0);
    ASSERT_TRUE(std::filesystem::create_directory(pattern));
#else
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
#endif
    m_folder = pattern;
}

void FileTest::TearDown() {
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

std::string FileTest::WriteFile(const std::string& name, const std::string& bytes) const {
    const std::string path = PathOf(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string FileTest::ReadWholeFile(const std::string& path) const {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::string PatternBytes(size_t size) {
    std::string bytes(size, '\0');
    unsigned state = 12345;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 16);
    }
    return bytes;
}

int OpenDescriptorCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

}  // namespace file_test
