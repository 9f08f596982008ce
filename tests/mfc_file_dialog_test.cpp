// CFileDialog answered by the headless driver: the chosen path, cancel, choices that the flags
// refuse and the dialog asking again, the filter's entries, and the owner while it is up.
#include <afxdlgs.h>
#include <afxheadlessdriver.h>

#include <filesystem>
#include <string>

#include "mfc_dialog_fixture.h"
#include "mfc_file_fixture.h"

namespace file_test {
namespace {

constexpr const char* kTextFilter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";

class FileDialog : public FileTest {
protected:
    void SetUp() override {
        FileTest::SetUp();
        AfxSetDialogDriver(&m_driver);
    }
    void TearDown() override {
        AfxSetDialogDriver(nullptr);
        FileTest::TearDown();
    }

    // The import's dialog: open, existing files only.
    static CFileDialog ImportDialog(CWnd* parent = nullptr) {
        return CFileDialog(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                           kTextFilter, parent, 0, TRUE);
    }

    CHeadlessDriver m_driver;
};

TEST_F(FileDialog, PickedFileComesBackWithItsFolder) {
    const std::string path = WriteFile("points.txt", "1 2\n");
    m_driver.PickFile(path.c_str());
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, kTextFilter,
                       nullptr, 0, TRUE);
    ASSERT_EQ(dialog.DoModal(), IDOK) << m_driver.GetError();
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError();
    EXPECT_EQ(dialog.GetPathName(), path.c_str());
    EXPECT_EQ(dialog.GetFolderPath(), m_folder.c_str());
    EXPECT_TRUE(m_driver.GetMessages().empty());
}

TEST_F(FileDialog, RelativeChoiceBecomesAFullPath) {
    WriteFile("points.txt", "");
    // The tests run in the source folder; reach the file from there.
    const std::string relative =
        std::filesystem::relative(PathOf("points.txt"), std::filesystem::current_path()).string();
    m_driver.PickFile(("./" + relative).c_str());
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, kTextFilter);
    ASSERT_EQ(dialog.DoModal(), IDOK) << m_driver.GetError();
    EXPECT_EQ(dialog.GetPathName(), PathOf("points.txt").c_str());
}

TEST_F(FileDialog, CancelLeavesTheInitialName) {
    m_driver.CancelFile();
    CFileDialog dialog(TRUE, nullptr, "start.txt", OFN_FILEMUSTEXIST, kTextFilter);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError();
    EXPECT_EQ(dialog.GetPathName(), "start.txt");
}

TEST_F(FileDialog, MissingFileIsExplainedAndTheDialogAsksAgain) {
    const std::string missing = PathOf("missing.txt");
    const std::string present = WriteFile("points.txt", "1 2\n");
    const std::string message =
        "File not found: \"" + missing + "\". Check the file name and try again.";
    m_driver.PickFile(missing.c_str()).ExpectMessage(message.c_str()).PickFile(present.c_str());
    CFileDialog dialog = ImportDialog();
    ASSERT_EQ(dialog.DoModal(), IDOK) << m_driver.GetError();
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError();
    EXPECT_EQ(dialog.GetPathName(), present.c_str());
    ASSERT_EQ(m_driver.GetMessages().size(), 1u);
    EXPECT_EQ(m_driver.GetMessages()[0].caption, "Open");
    EXPECT_EQ(m_driver.GetMessages()[0].type, MB_OK | MB_ICONWARNING);
}

TEST_F(FileDialog, MissingFileWithoutAnotherAnswerFailsTheScript) {
    const std::string missing = PathOf("missing.txt");
    const std::string message =
        "File not found: \"" + missing + "\". Check the file name and try again.";
    m_driver.PickFile(missing.c_str()).ExpectMessage(message.c_str());
    CFileDialog dialog = ImportDialog();
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(m_driver.HasFailed());
    EXPECT_NE(m_driver.GetError().str().find("a file dialog is not answered"), std::string::npos)
        << m_driver.GetError();
}

TEST_F(FileDialog, MissingFolderIsExplainedBeforeTheFile) {
    const std::string folder = PathOf("nowhere");
    const std::string message = "Path not found: \"" + folder + "\". Check the path and try again.";
    m_driver.PickFile((folder + "/points.txt").c_str()).ExpectMessage(message.c_str()).CancelFile();
    CFileDialog dialog = ImportDialog();
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError();
}

TEST_F(FileDialog, WithoutTheFlagsAnyNameIsTaken) {
    const std::string missing = PathOf("missing.txt");
    m_driver.PickFile(missing.c_str());
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, kTextFilter);
    ASSERT_EQ(dialog.DoModal(), IDOK) << m_driver.GetError();
    EXPECT_EQ(dialog.GetPathName(), missing.c_str());
    EXPECT_TRUE(m_driver.GetMessages().empty());
}

TEST_F(FileDialog, FlagsSetInTheStructureBeforeDoModalCount) {
    m_driver.PickFile(PathOf("missing.txt").c_str()).Answer("OK").CancelFile();
    CFileDialog dialog(TRUE, nullptr, nullptr, 0, kTextFilter);
    dialog.m_ofn.Flags |= OFN_FILEMUSTEXIST;
    dialog.m_ofn.lpstrTitle = "Import Points";
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError();
    ASSERT_EQ(m_driver.GetMessages().size(), 1u);
    EXPECT_EQ(m_driver.GetMessages()[0].caption, "Import Points");
}

TEST_F(FileDialog, ASaveDialogIsCancelledWithoutAsking) {
    m_driver.PickFile(WriteFile("motion.txt", "old").c_str());
    CFileDialog save(FALSE, "txt", nullptr, 0, kTextFilter);
    EXPECT_EQ(save.DoModal(), IDCANCEL);
    EXPECT_FALSE(m_driver.Finish());  // the choice was never asked for
}

TEST(FileDialogFilter, TheImportFilterHasTwoEntries) {
    const std::vector<CFileFilterEntry> entries = AfxParseFileFilter(kTextFilter);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "Text Files (*.txt)");
    EXPECT_EQ(entries[0].pattern, "*.txt");
    EXPECT_EQ(entries[1].name, "All Files (*.*)");
    EXPECT_EQ(entries[1].pattern, "*.*");
}

TEST(FileDialogFilter, UnusualFiltersGiveTheirCompleteEntries) {
    struct Case {
        const char* filter;
        int count;
        const char* lastPattern;  // of the last entry
    };
    const Case cases[] = {
        {nullptr, 0, ""},
        {"", 0, ""},
        {"Data|*.csv;*.txt", 1, "*.csv;*.txt"},  // no closing "||"
        {"Data|*.csv|Orphan", 1, "*.csv"},       // a name without a pattern
        {"Data|*.csv||All|*.*||", 1, "*.csv"},   // nothing after the end counts
        {"Empty pattern||", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter ? c.filter : "(null)");
        const std::vector<CFileFilterEntry> entries = AfxParseFileFilter(c.filter);
        ASSERT_EQ(static_cast<int>(entries.size()), c.count);
        if (c.count > 0) {
            EXPECT_EQ(entries.back().pattern, c.lastPattern);
        }
    }
}

// Records what a file choice is asked with, and whether the owner took input meanwhile.
class CRecordingDriver : public CHeadlessDriver {
public:
    BOOL ChooseFile(BOOL bOpenFileDialog, LPCTSTR lpszFilter, CString& path) override {
        m_bOpen = bOpenFileDialog;
        m_strFilter = lpszFilter;
        m_bOwnerEnabled = m_pOwner && m_pOwner->IsWindowEnabled();
        return CHeadlessDriver::ChooseFile(bOpenFileDialog, lpszFilter, path);
    }

    CWnd* m_pOwner = nullptr;
    BOOL m_bOpen = FALSE;
    CString m_strFilter;
    bool m_bOwnerEnabled = true;
};

TEST_F(FileDialog, TheOwnerTakesNoInputWhileTheDriverChooses) {
    CResourceTable resources("mfc-file-test");
    resources.AddDialog(dialog_test::IDD_CHILD, dialog_test::MakeChildTemplate());
    AfxJoinResourceChain(&resources);
    CRecordingDriver driver;
    AfxSetDialogDriver(&driver);

    const std::string path = WriteFile("points.txt", "");
    INT_PTR result = 0;
    bool ownerEnabledAfter = false;
    driver
        .Inspect([&](CDialog& owner) {
            driver.m_pOwner = &owner;
            CFileDialog dialog = ImportDialog(&owner);
            result = dialog.DoModal();
            ownerEnabledAfter = owner.IsWindowEnabled();
        })
        .PickFile(path.c_str())
        .Key("Escape");
    dialog_test::CChildDlg owner(nullptr);
    EXPECT_EQ(owner.DoModal(), IDCANCEL);
    AfxSetDialogDriver(nullptr);
    AfxLeaveResourceChain(&resources);

    EXPECT_TRUE(driver.Finish()) << driver.GetError();
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(driver.m_bOpen);
    EXPECT_EQ(driver.m_strFilter, kTextFilter);
    EXPECT_FALSE(driver.m_bOwnerEnabled);
    EXPECT_TRUE(ownerEnabledAfter);
}

}  // namespace
}  // namespace file_test
