// A host verb that opens a file dialog and answers it itself (an "import FILE" action): the
// answer goes before the script's own lines, serves one action only, and a refused choice falls
// back to the script.
#include <afxdlgs.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "mfc_dialog_fixture.h"

namespace dialog_test {
namespace {

constexpr const char* kFilter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";

class FileAnswer : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        m_dir = ::testing::TempDir() + "mfc_file_answer_" + std::to_string(getpid()) + "/";
        std::filesystem::create_directories(m_dir);
        std::ofstream(m_dir + "a.txt") << "1 2\n";
        std::ofstream(m_dir + "b.txt") << "3 4\n";
        // `open FILE` answers its own dialog; `open` leaves the answer to the script; `arm FILE`
        // sets an answer and opens nothing.
        m_driver.RegisterVerb("open", [this](CDialog& dialog, const std::vector<CString>& args) {
            if (!args.empty()) m_driver.AnswerNextFileChoice(args[0]);
            CFileDialog files(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, kFilter, &dialog);
            m_log.push_back(
                files.DoModal() == IDOK
                    ? "opened " +
                          std::filesystem::path(files.GetPathName().str()).filename().string()
                    : std::string("cancelled"));
            return CString();
        });
        m_driver.RegisterVerb("arm", [this](CDialog&, const std::vector<CString>& args) {
            m_driver.AnswerNextFileChoice(args.at(0));
            return CString();
        });
    }
    void TearDown() override {
        std::filesystem::remove_all(m_dir);
        DialogTest::TearDown();
    }

    std::string m_dir;
};

TEST_F(FileAnswer, VerbAnswersItsOwnDialogAndRefusalsAskTheScript) {
    const std::string missing = m_dir + "missing.txt";
    const std::string script = "open " + m_dir + "a.txt\n" + "open " + missing + "\n" +
                               "expect-message \"File not found: \\\"" + missing +
                               "\\\". Check the file name and try again.\"\n" + "choose-file " +
                               m_dir + "b.txt\n" + "key Escape\n";
    CString error;
    ASSERT_TRUE(m_driver.LoadScriptText(script, "answers", error)) << error.GetString();
    CTestDlg dialog(m_log);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
    const auto opened = std::count_if(m_log.begin(), m_log.end(), [](const std::string& event) {
        return event.starts_with("opened") || event == "cancelled";
    });
    EXPECT_EQ(opened, 2);
    EXPECT_NE(std::find(m_log.begin(), m_log.end(), "opened a.txt"), m_log.end());
    EXPECT_NE(std::find(m_log.begin(), m_log.end(), "opened b.txt"), m_log.end());
    EXPECT_EQ(MessageTexts().size(), 1u);
}

TEST_F(FileAnswer, AnswerLastsOnlyForTheActionThatGaveIt) {
    // The armed answer is gone when `open` comes: its dialog takes the script's cancel-file.
    const std::string script = "arm " + m_dir + "a.txt\nopen\ncancel-file\nkey Escape\n";
    CString error;
    ASSERT_TRUE(m_driver.LoadScriptText(script, "answers", error)) << error.GetString();
    CTestDlg dialog(m_log);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError().GetString();
    EXPECT_NE(std::find(m_log.begin(), m_log.end(), "cancelled"), m_log.end());
}

TEST_F(FileAnswer, UnansweredRefusalStopsAtTheVerbsLine) {
    const std::string missing = m_dir + "missing.txt";
    CString error;
    ASSERT_TRUE(m_driver.LoadScriptText("click &Apply\nopen " + missing + "\nkey Escape\n",
                                        "answers", error))
        << error.GetString();
    CTestDlg dialog(m_log);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(m_driver.GetError(), "answers:2: message box \"File not found: \"" + missing +
                                       "\". Check the file name and try again.\" is not answered");
}

}  // namespace
}  // namespace dialog_test
