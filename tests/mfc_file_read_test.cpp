// CFile: reading through its buffer, positions and writes around the read-ahead, the injected
// read failure, and closing.
#include <afx.h>
#include <afxfiletest.h>

#include <cerrno>
#include <memory>
#include <string>

#include "mfc_file_fixture.h"

namespace file_test {
namespace {

using FileReading = FileTest;
using FileReadFailure = FileTest;
using FileClosing = FileTest;

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
    EXPECT_EQ(file.GetLength(), content.size());
    EXPECT_EQ(file.GetPosition(), content.size());
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

TEST_F(FileReading, NamesAndPathOfTheOpenFile) {
    const std::string path = WriteFile("points.txt", "1 2\n");
    CFile file(path.c_str(), CFile::modeRead);
    EXPECT_EQ(file.GetFileName(), "points.txt");
    EXPECT_EQ(file.GetFilePath(), path.c_str());
    EXPECT_NE(file.m_hFile, CFile::hFileNull);
}

TEST_F(FileReading, SeekAndPositionCountWhatTheCallerRead) {
    const std::string content = PatternBytes(100000);
    CFile file(WriteFile("data.bin", content).c_str(), CFile::modeRead);
    char bytes[5];
    ASSERT_EQ(file.Read(bytes, 5), 5u);
    // The buffer holds far more than five bytes; none of that shows.
    EXPECT_EQ(file.GetPosition(), 5u);
    EXPECT_EQ(file.Seek(-2, CFile::current), 3u);
    ASSERT_EQ(file.Read(bytes, 1), 1u);
    EXPECT_EQ(bytes[0], content[3]);
    EXPECT_EQ(file.Seek(70000, CFile::begin), 70000u);
    ASSERT_EQ(file.Read(bytes, 1), 1u);
    EXPECT_EQ(bytes[0], content[70000]);
    EXPECT_EQ(file.SeekToEnd(), content.size());
    EXPECT_EQ(file.Read(bytes, 1), 0u);
    file.SeekToBegin();
    ASSERT_EQ(file.Read(bytes, 1), 1u);
    EXPECT_EQ(bytes[0], content[0]);
}

TEST_F(FileReading, SeekBeforeTheStartIsABadSeek) {
    CFile file(WriteFile("data.bin", "abc").c_str(), CFile::modeRead);
    auto failure = ReadFailure([&] { file.Seek(-1, CFile::begin); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->m_cause, CFileException::badSeek);
    EXPECT_EQ(failure->m_action, CFileException::actionSeek);
    char byte = 0;
    ASSERT_EQ(file.Read(&byte, 1), 1u);
    EXPECT_EQ(byte, 'a');
}

TEST_F(FileReading, WriteAfterAReadLandsWhereTheCallerStands) {
    const std::string path = WriteFile("data.txt", "0123456789");
    {
        CFile file(path.c_str(), CFile::modeReadWrite);
        char bytes[3];
        ASSERT_EQ(file.Read(bytes, 3), 3u);
        file.Write("abc", 3);
        EXPECT_EQ(file.GetPosition(), 6u);
        ASSERT_EQ(file.Read(bytes, 1), 1u);
        EXPECT_EQ(bytes[0], '6');
        file.Close();
    }
    EXPECT_EQ(ReadWholeFile(path), "012abc6789");
}

TEST_F(FileReading, WritesThatFindNoRoomOrNoAccessThrow) {
    CFile full("/dev/full", CFile::modeWrite);
    auto failure = ReadFailure([&] { full.Write("x", 1); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->m_cause, CFileException::diskFull);
    EXPECT_EQ(failure->m_lOsError, ENOSPC);
    EXPECT_EQ(Message(*failure),
              "A write error occurred while accessing \"/dev/full\": No space left on device.");

    CFile readOnly(WriteFile("data.txt", "abc").c_str(), CFile::modeRead);
    failure = ReadFailure([&] { readOnly.Write("x", 1); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->m_cause, CFileException::invalidFile);
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
    EXPECT_EQ(file.GetPosition(), 100000u);
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
    EXPECT_EQ(file.GetFilePath(), "");
    // Closing twice, or aborting a closed file, is harmless, as in MFC.
    file.Close();
    file.Abort();

    char byte = 0;
    auto failure = ReadFailure([&] { file.Read(&byte, 1); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->m_cause, CFileException::invalidFile);

    // The same object opens another file.
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    EXPECT_EQ(ReadByteByByte(file), "abc");
    file.Abort();
    EXPECT_EQ(file.m_hFile, CFile::hFileNull);
    EXPECT_EQ(OpenDescriptorCount(), before);
}

}  // namespace
}  // namespace file_test
