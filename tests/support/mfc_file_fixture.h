// Files for the tests of the file classes: a fresh folder per test, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace file_test {

class FileTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string PathOf(const std::string& name) const { return m_folder + "/" + name; }
    // Writes the file and returns its path.
    std::string WriteFile(const std::string& name, const std::string& bytes) const;
    std::string ReadWholeFile(const std::string& path) const;

    std::string m_folder;
};

// Pseudo-random bytes, so that a byte read from the wrong place of a buffer shows.
std::string PatternBytes(size_t size);

// The file descriptors this process has open.
int OpenDescriptorCount();

}  // namespace file_test
