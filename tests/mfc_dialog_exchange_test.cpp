// Data exchange between controls and members, and validation that refuses the user's input.
#include "mfc_dialog_fixture.h"

namespace dialog_test {
namespace {

using DataExchange = DialogTest;

const char* const kRangeMessage = "Enter an integer between 1 and 255.";

TEST_F(DataExchange, OutOfRangeValueIsRefusedWithTheRangeAndTheEditSelected) {
    CTestDlg dialog(m_log);
    m_driver.Type("Count", "300")
        .Type("&Name", "second")
        .Click("OK")
        .ExpectMessage(kRangeMessage)
        .Inspect([&](CDialog& shown) {
            // Still open, the count edit has the focus back with all its text selected, and the
            // exchange stopped before the name.
            EXPECT_EQ(CWnd::GetFocus(), shown.GetDlgItem(IDC_COUNT));
            int start = -1, end = -1;
            static_cast<CEdit*>(shown.GetDlgItem(IDC_COUNT))->GetSel(start, end);
            EXPECT_EQ(start, 0);
            EXPECT_EQ(end, 3);
            EXPECT_EQ(dialog.m_strName, "first");
            EXPECT_FALSE(shown.UpdateData(TRUE));
        })
        .Answer("OK")  // the box shown by the UpdateData just above
        .Type("Count", "255")
        .Click("OK");
    EXPECT_EQ(dialog.DoModal(), IDOK) << m_driver.GetError();
    EXPECT_EQ(dialog.m_nCount, 255);
    EXPECT_EQ(dialog.m_strName, "second");

    ASSERT_EQ(m_driver.GetMessages().size(), 2u);
    const auto& shown = m_driver.GetMessages().front();
    EXPECT_EQ(shown.text, kRangeMessage);
    EXPECT_EQ(shown.type, MB_ICONEXCLAMATION);
    EXPECT_EQ(shown.answer, IDOK);
}

TEST_F(DataExchange, IntegerFieldTakesOneWholeIntegerBetweenBlanks) {
    struct Case {
        const char* typed;
        const char* message;  // null when OK closes the dialog
        int countAfter;
    };
    const Case cases[] = {
        {" 7 ", nullptr, 7},
        {"\t42", nullptr, 42},
        {"12abc", "Enter an integer.", 5},
        {"", "Enter an integer.", 5},
        {"99999999999", "Enter an integer.", 5},
        // An integer is stored before its range is checked, as MFC does.
        {"-0", kRangeMessage, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        CHeadlessDriver driver;
        AfxSetDialogDriver(&driver);
        driver.Type("Count", c.typed).Click("OK");
        if (c.message) driver.ExpectMessage(c.message).Key("Escape");
        CTestDlg dialog(m_log);
        EXPECT_EQ(dialog.DoModal(), c.message ? IDCANCEL : IDOK) << driver.GetError();
        EXPECT_EQ(dialog.m_nCount, c.countAfter);
        EXPECT_EQ(driver.GetMessages().size(), c.message ? 1u : 0u);
    }
    AfxSetDialogDriver(&m_driver);
}

TEST_F(DataExchange, LoadingNeverValidates) {
    CTestDlg dialog(m_log);
    dialog.m_nCount = 999;
    m_driver
        .Inspect([&](CDialog& shown) {
            CString text;
            shown.GetDlgItemText(IDC_COUNT, text);
            EXPECT_EQ(text, "999");
            dialog.m_nCount = 12;
            dialog.m_strName = "reloaded";
            EXPECT_TRUE(shown.UpdateData(FALSE));
            shown.GetDlgItemText(IDC_NAME, text);
            EXPECT_EQ(text, "reloaded");
        })
        .Key("Enter");
    EXPECT_EQ(dialog.DoModal(), IDOK) << m_driver.GetError();
    EXPECT_TRUE(m_driver.GetMessages().empty());
    EXPECT_EQ(dialog.m_nCount, 12);
}

TEST_F(DataExchange, ValidationCanBeLeftOutOfAnExchange) {
    CTestDlg dialog(m_log);
    dialog.m_bValidateCount = false;
    m_driver.Type("Count", "0").Key("Enter");
    EXPECT_EQ(dialog.DoModal(), IDOK) << m_driver.GetError();
    EXPECT_EQ(dialog.m_nCount, 0);
}

TEST_F(DataExchange, ExchangeWithAMissingControlFailsTheDialogWithAMessage) {
    CTestDlg dialog(m_log);
    dialog.m_bExchangeMissingControl = true;
    m_driver.ExpectMessage("An unsupported operation was attempted.");
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError();
}

TEST_F(DataExchange, FailWhileLoadingStillStopsTheExchangeButMovesNoFocus) {
    CTestDlg dialog(m_log);
    m_driver
        .Inspect([&](CDialog& shown) {
            CDataExchange exchange(&shown, FALSE);
            exchange.PrepareEditCtrl(IDC_NAME);
            bool thrown = false;
            try {
                exchange.Fail();
            } catch (CUserException* e) {
                e->Delete();
                thrown = true;
            }
            EXPECT_TRUE(thrown);
            EXPECT_EQ(CWnd::GetFocus(), shown.GetDlgItem(IDC_VERBOSE));
        })
        .Key("Escape");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << m_driver.GetError();
}

}  // namespace
}  // namespace dialog_test
