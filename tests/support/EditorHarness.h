// Runs the PT editor in-process on the headless driver, as a user would work it.
#pragma once

#include <afxheadlessdriver.h>
#include <gtest/gtest.h>

#include <string>

#include "TestHost.h"
#include "editor/EditorDlg.h"
#include "editor/resource.h"
#include "editor_test_seam.h"
#include "plugin/TravexApp.h"

class EditorHarness : public ::testing::Test {
protected:
    TestHost host;
    CModuleResources module{TravexResourceTable()};
    CHeadlessDriver driver;

    void SetUp() override { AfxSetDialogDriver(&driver); }
    void TearDown() override { AfxSetDialogDriver(nullptr); }

    // Opens the editor on `text`, plays what the test queued on `driver`, and returns what
    // DoModal returned. The script must play to its end without an error.
    INT_PTR Run(CString& text) {
        CEditorDlg dialog(*host.setup, host.motion, text);
        const INT_PTR result = dialog.DoModal();
        EXPECT_TRUE(driver.Finish()) << driver.GetError().GetString();
        return result;
    }

    static CEditorDlgTestSeam Editor(CDialog& dialog) { return CEditorDlgTestSeam(dialog); }
    static CString Text(CDialog& dialog, int id) {
        CString text;
        dialog.GetDlgItem(id)->GetWindowText(text);
        return text;
    }
    static bool Enabled(CDialog& dialog, int id) {
        return dialog.GetDlgItem(id)->IsWindowEnabled() != FALSE;
    }
    static bool Checked(CDialog& dialog, int id) { return dialog.IsDlgButtonChecked(id) != 0; }
    static int Focus() {
        CWnd* focus = CWnd::GetFocus();
        return focus ? focus->GetDlgCtrlID() : 0;
    }

    // The shown messages' texts, in order.
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& message : driver.GetMessages()) texts.push_back(message.text.str());
        return texts;
    }
};

// A motion of points (position, time) in IU, shown in IU, executing immediately.
inline CString MotionText(const char* times, const char* positions, const char* more = "") {
    return CString("ClearBuffer=1\r\n") + times + "\r\n" + positions + "\r\nExecute=0\r\n" + more;
}
