// Files that cannot be opened, the causes and messages of CFileException, and reporting them the
// way module code does: catch (CException* e) { e->ReportError(MB_OK, 0); e->Delete(); }
#include <afxheadlessdriver.h>
#include <afxwin.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <memory>
#include <string>

#include "mfc_file_fixture.h"

namespace file_test {
namespace {

using FileOpening = FileTest;
using FileExceptionReport = FileTest;

// The exception that opening throws, owned; null when the file opens.
std::unique_ptr<CFileException> OpenFailure(const std::string& path, UINT flags) {
    try {
        CFile file(path.c_str(), flags);
    } catch (CFileException* exception) {
        return std::unique_ptr<CFileException>(exception);
    }
    return nullptr;
}

std::string Message(CFileException& exception) {
    char text[8192];
    EXPECT_TRUE(exception.GetErrorMessage(text, sizeof text));
    return text;
}

struct Refusal {
    int cause = CFileException::none;
    std::string message;
};

#ifndef _WIN32
// Opens for reading as a user without rights to the file: in a child process that gives up root,
// since root reads anything.
Refusal OpenAsUnprivileged(const std::string& path) {
    int channel[2];
    if (::pipe(channel) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
        std::string report = "0";
        if (auto failure = OpenFailure(path, CFile::modeRead))
            report = std::to_string(failure->m_cause) + " " + Message(*failure);
        const ssize_t written = ::write(channel[1], report.data(), report.size());
        ::_exit(written == static_cast<ssize_t>(report.size()) ? 0 : 3);
    }
    ::close(channel[1]);
    std::string report;
    char buffer[4096];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, static_cast<size_t>(got));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
    const size_t blank = report.find(' ');
    return {std::stoi(report.substr(0, blank)),
            blank == std::string::npos ? "" : report.substr(blank + 1)};
}
#endif

TEST_F(FileOpening, MissingFileThrowsFileNotFoundNamingTheFile) {
    const std::string path = PathOf("points.txt");
    auto failure = OpenFailure(path, CFile::modeRead | CFile::shareDenyWrite);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->m_cause, CFileException::fileNotFound);
    EXPECT_EQ(failure->m_lOsError, ENOENT);
    EXPECT_EQ(failure->m_strFileName, path.c_str());
    EXPECT_EQ(failure->m_action, CFileException::actionOpen);
    EXPECT_EQ(Message(*failure), "\"" + path + "\" could not be opened: the file does not exist.");
}

TEST_F(FileOpening, OpenReportsTheSameWithoutThrowing) {
    const std::string path = PathOf("points.txt");
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(path.c_str(), CFile::modeRead, &error));
    EXPECT_EQ(file.m_hFile, CFile::hFileNull);
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_strFileName, path.c_str());
    EXPECT_EQ(Message(error), "\"" + path + "\" could not be opened: the file does not exist.");
    EXPECT_FALSE(file.Open(path.c_str(), CFile::modeRead));
}

TEST_F(FileOpening, DirectoryIsRefusedAtOnceForReadingAndWriting) {
    for (UINT flags : {UINT(CFile::modeRead | CFile::shareDenyWrite), UINT(CFile::modeWrite)}) {
        SCOPED_TRACE(flags);
        auto failure = OpenFailure(m_folder, flags);
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->m_cause, CFileException::accessDenied);
        EXPECT_EQ(failure->m_lOsError, EISDIR);
        EXPECT_EQ(Message(*failure),
                  "\"" + m_folder + "\" could not be opened: it is a directory.");
    }
}

TEST_F(FileOpening, FileWithoutReadPermissionIsAccessDenied) {
#ifdef _WIN32
    GTEST_SKIP() << "needs fork and a user without rights to a file, which Windows has not";
#else
    const std::string path = WriteFile("secret.txt", "1 2\n");
    ASSERT_EQ(::chmod(m_folder.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    const Refusal refusal = OpenAsUnprivileged(path);
    EXPECT_EQ(refusal.cause, CFileException::accessDenied);
    EXPECT_EQ(refusal.message, "\"" + path + "\" could not be opened: access is denied.");
#endif
}

TEST_F(FileOpening, PathThroughAFileIsABadPath) {
    const std::string path = WriteFile("plain.txt", "") + "/points.txt";
    auto failure = OpenFailure(path, CFile::modeRead);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->m_cause, CFileException::badPath);
    EXPECT_EQ(failure->m_lOsError, ENOTDIR);
    EXPECT_EQ(Message(*failure), "\"" + path + "\" could not be opened: the path is not valid.");
}

TEST(FileExceptionMessage, HandMadeExceptionsSayTheCauseAndNoneHasNoMessage) {
    CFileException notFound(CFileException::fileNotFound, -1, "a.txt");
    EXPECT_EQ(Message(notFound),
              "An error occurred while accessing \"a.txt\": the file does not exist.");
    CFileException unnamed(CFileException::diskFull);
    EXPECT_EQ(Message(unnamed),
              "An error occurred while accessing an unnamed file: the disk is full.");

    CFileException none;
    char text[64] = "stale";
    UINT help = 7;
    EXPECT_FALSE(none.GetErrorMessage(text, sizeof text, &help));
    EXPECT_STREQ(text, "");
    EXPECT_EQ(help, 0u);
}

TEST_F(FileExceptionReport, CaughtAsCExceptionItShowsItsMessageWithOK) {
    CHeadlessDriver driver;
    AfxSetDialogDriver(&driver);
    const std::string path = PathOf("points.txt");
    const std::string expected = "\"" + path + "\" could not be opened: the file does not exist.";
    driver.ExpectMessage(expected.c_str());
    bool caught = false;
    try {
        CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
    } catch (CException* exception) {
        caught = true;
        exception->ReportError(MB_OK, 0);
        exception->Delete();
    }
    AfxSetDialogDriver(nullptr);
    EXPECT_TRUE(caught);
    EXPECT_TRUE(driver.Finish()) << driver.GetError();
    ASSERT_EQ(driver.GetMessages().size(), 1u);
    EXPECT_EQ(driver.GetMessages()[0].type, MB_OK);
}

TEST_F(FileExceptionReport, ALongPathIsShownWhole) {
    const std::string path = PathOf(std::string(200, 'd') + "/" + std::string(200, 'e') + "/" +
                                    std::string(200, 'f') + ".txt");
    CHeadlessDriver driver;
    AfxSetDialogDriver(&driver);
    driver.Answer("OK");
    auto failure = OpenFailure(path, CFile::modeRead);
    ASSERT_TRUE(failure);
    failure->ReportError();
    AfxSetDialogDriver(nullptr);
    ASSERT_EQ(driver.GetMessages().size(), 1u);
    // Longer than the buffer that CException::ReportError fills.
    EXPECT_GT(path.size(), 512u);
    EXPECT_EQ(driver.GetMessages()[0].text.str(),
              "\"" + path + "\" could not be opened: the file does not exist.");
}

}  // namespace
}  // namespace file_test
