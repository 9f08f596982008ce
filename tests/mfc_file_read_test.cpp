// CFile: reading through its buffer, a failing disk, and closing.
#include <afx.h>
#include <afxexcept.h>

#include <cerrno>
#include <memory>
#include <string>

#include "FaultInjection.h"
#include "mfc_file_fixture.h"

namespace file_test {
namespace {

using FileReading = FileTest;
using FileReadFailure = FileTest;
using FileClosing = FileTest;
using FileMemory = FileTest;

// Reads one byte a call, as the import does, until the end; what was read stays in `bytes` when
// a read throws.
void ReadByteByByte(CFile& file, std::string& bytes) {
    char byte = 0;
    while (file.Read(&byte, 1) == 1) bytes += byte;
}

std::string ReadByteByByte(CFile& file) {
    std::string bytes;
    ReadByteByByte(file, bytes);
    return bytes;
}

// The exception that `read` throws, owned; null when it throws none.
template <typename Read>
std::unique_ptr<CFileException> ReadFailure(Read read) {
    try {
        read();
    } catch (CFileException* exception) {
        return std::unique_ptr<CFileException>(exception);
    }
    return nullptr;
}

std::string Message(CFileException& exception) {
    char text[1024];
    EXPECT_TRUE(exception.GetErrorMessage(text, sizeof text));
    return text;
}

TEST_F(FileReading, ByteByByteGivesTheWholeFileAcrossBufferRefills) {
    const std::string content = PatternBytes(3 * 65536 + 17);
    const std::string path = WriteFile("data.bin", content);

    CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
    EXPECT_EQ(ReadByteByByte(file), content);
    char byte = 'x';
    // The end stays the end.
    EXPECT_EQ(file.Read(&byte, 1), 0u);
    EXPECT_EQ(file.Read(&byte, 1), 0u);
    EXPECT_EQ(byte, 'x');
}

TEST_F(FileReading, ReadsOfMixedSizesJoinIntoTheFile) {
    const std::string content = PatternBytes(400000);
    const std::string path = WriteFile("data.bin", content);

    CFile file(path.c_str(), CFile::modeRead);
    // Sizes below, at and above the buffer's, so that reads come from the buffer, from the
    // system directly, and from both in one call.
    const UINT sizes[] = {1, 3, 65535, 2, 65536, 70000, 4096, 1, 131072};
    std::string read;
    std::string chunk(131072, '\0');
    for (size_t i = 0;; ++i) {
        const UINT size = sizes[i % std::size(sizes)];
        const UINT got = file.Read(chunk.data(), size);
        read.append(chunk.data(), got);
        if (got < size) break;
    }
    EXPECT_EQ(read, content);
    EXPECT_EQ(file.Read(chunk.data(), 10), 0u);
}

TEST_F(FileReadFailure, StopsByteByByteReadingAtTheOffsetAndKeepsTheBytesBefore) {
    const std::string content = PatternBytes(200000);
    const std::string path = WriteFile("points.txt", content);
    CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
    std::string read;
    std::unique_ptr<CFileException> failure;
    {
        // Past the first buffer refill, so that the failure comes mid-file as a disk's would.
        CFileReadFailureForTesting failAt(100000);
        failure = ReadFailure([&] { ReadByteByByte(file, read); });
        ASSERT_TRUE(failure);
        EXPECT_EQ(read, content.substr(0, 100000));
        // The error stays until the disk mends.
        EXPECT_TRUE(ReadFailure([&] { ReadByteByByte(file); }));
    }
    EXPECT_EQ(failure->m_cause, CFileException::hardIO);
    EXPECT_EQ(failure->m_lOsError, EIO);
    EXPECT_EQ(failure->m_action, CFileException::actionRead);
    EXPECT_EQ(failure->m_strFileName, path.c_str());
    EXPECT_EQ(Message(*failure),
              "A read error occurred while accessing \"" + path + "\": Input/output error.");

    // Nothing was lost: with the failure gone, the rest of the file follows.
    EXPECT_EQ(ReadByteByByte(file), content.substr(100000));
}

TEST_F(FileReadFailure, ALargeReadGivesTheBytesBeforeTheFailureThenThrows) {
    const std::string content = PatternBytes(300000);
    CFile file(WriteFile("data.bin", content).c_str(), CFile::modeRead);
    CFileReadFailureForTesting failAt(150000);
    std::string chunk(200000, '\0');
    ASSERT_EQ(file.Read(chunk.data(), 200000), 150000u);
    EXPECT_EQ(chunk.substr(0, 150000), content.substr(0, 150000));
    auto failure = ReadFailure([&] { file.Read(chunk.data(), 200000); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->m_cause, CFileException::hardIO);
}

TEST_F(FileReadFailure, FilesShorterThanTheOffsetReadToTheirEnd) {
    const std::string content = PatternBytes(1000);
    CFileReadFailureForTesting failAt(1001);
    CFile file(WriteFile("data.bin", content).c_str(), CFile::modeRead);
    EXPECT_EQ(ReadByteByByte(file), content);
}

TEST_F(FileClosing, TheDestructorClosesAlsoWhenAReadThrows) {
    const std::string path = WriteFile("data.bin", PatternBytes(1000));
    const int before = OpenDescriptorCount();
    {
        CFile file(path.c_str(), CFile::modeRead);
        EXPECT_EQ(OpenDescriptorCount(), before + 1);
    }
    EXPECT_EQ(OpenDescriptorCount(), before);

    CFileReadFailureForTesting failAt(10);
    auto failure = ReadFailure([&] {
        CFile file(path.c_str(), CFile::modeRead);
        ReadByteByByte(file);
    });
    EXPECT_TRUE(failure);
    EXPECT_EQ(OpenDescriptorCount(), before);
}

TEST_F(FileClosing, CloseReleasesTheFileAndLaterReadsFail) {
    const std::string path = WriteFile("data.bin", "abc");
    const int before = OpenDescriptorCount();
    CFile file(path.c_str(), CFile::modeRead);
    file.Close();
    EXPECT_EQ(OpenDescriptorCount(), before);
    EXPECT_EQ(file.m_hFile, CFile::hFileNull);
    // Closing twice is harmless, as in MFC.
    file.Close();

    char byte = 0;
    auto failure = ReadFailure([&] { file.Read(&byte, 1); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->m_cause, CFileException::invalidFile);

    // The same object opens another file.
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    EXPECT_EQ(ReadByteByByte(file), "abc");
    file.Close();
    EXPECT_EQ(OpenDescriptorCount(), before);
}

// Memory that runs out comes as MFC's memory exception, which reports "Out of memory." and
// outlives Delete, since a new one could not be made then.
TEST_F(FileMemory, BufferAndStringsThatCannotGrowThrowTheMemoryException) {
    CFile file(WriteFile("data.bin", "abc").c_str(), CFile::modeRead);
    char byte = 0;
    CMemoryException* failure = nullptr;
    try {
        CAllocationFailureForTesting failNext(1);
        file.Read(&byte, 1);
    } catch (CMemoryException* exception) {
        failure = exception;
    }
    ASSERT_TRUE(failure);
    char text[64];
    EXPECT_TRUE(failure->GetErrorMessage(text, sizeof text));
    EXPECT_STREQ(text, "Out of memory.");
    failure->Delete();
    EXPECT_TRUE(failure->GetErrorMessage(text, sizeof text));
    // The file reads on once memory is there again.
    ASSERT_EQ(file.Read(&byte, 1), 1u);
    EXPECT_EQ(byte, 'a');

    CString grown(std::string(100, 'x'));
    const CString before = grown;
    const std::string tail(1000, 'y');
    failure = nullptr;
    try {
        CAllocationFailureForTesting failNext(1);
        grown += tail.c_str();
    } catch (CMemoryException* exception) {
        failure = exception;
    }
    EXPECT_TRUE(failure);
    EXPECT_EQ(grown, before);
}

}  // namespace
}  // namespace file_test
