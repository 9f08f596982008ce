// How commands, notifications and messages find their handlers.
#include <afxdc.h>

#include <algorithm>

#include "mfc_dialog_fixture.h"

namespace dialog_test {
namespace {

using MessageRouting = DialogTest;

bool Logged(const EventLog& log, const std::string& event) {
    return std::find(log.begin(), log.end(), event) != log.end();
}

// The log with only the given events, in their order.
EventLog Only(const EventLog& log, std::initializer_list<std::string> events) {
    EventLog kept;
    for (const std::string& event : log) {
        if (std::find(events.begin(), events.end(), event) != events.end()) kept.push_back(event);
    }
    return kept;
}

TEST_F(MessageRouting, DerivedMapIsSearchedBeforeTheBaseMap) {
    m_driver.Focus(IDC_COUNT).Focus(IDC_NAME).Focus(IDC_APPLY).Key("Escape");
    CTestDlg dialog(m_log);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << m_driver.GetError();

    // Both maps handle the count's kill focus: the derived entry wins and the base never runs.
    // Only the base handles the name's: the chain reaches it.
    EXPECT_EQ(
        Only(m_log, {"derived KillFocus Count", "base KillFocus Count", "base KillFocus Name"}),
        (EventLog{"derived KillFocus Count", "base KillFocus Name"}));
}

TEST_F(MessageRouting, OnCommandRunsBeforeTheMapsAndCanKeepACommandFromThem) {
    CTestDlg dialog(m_log);
    m_driver.Click("&Apply")
        .Inspect([&](CDialog&) { dialog.m_bSwallowApply = true; })
        .Click("&Apply")
        .Key("Escape");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << m_driver.GetError();
    EXPECT_EQ(Only(m_log, {"OnCommand 230", "base Apply"}),
              (EventLog{"OnCommand 230", "base Apply", "OnCommand 230"}));
}

TEST_F(MessageRouting, OkAndCancelReachTheDialogThroughTheFrameworksMap) {
    {
        m_driver.Type("Count", "17").Click("OK");
        CTestDlg dialog(m_log);
        EXPECT_EQ(dialog.DoModal(), IDOK) << m_driver.GetError();
        EXPECT_EQ(dialog.m_nCount, 17);
        EXPECT_TRUE(Logged(m_log, "OnOK focus=1"));  // a click gives the button the focus
    }
    {
        m_driver.Type("Count", "18").Click("Cancel");
        CTestDlg dialog(m_log);
        EXPECT_EQ(dialog.DoModal(), IDCANCEL) << m_driver.GetError();
        EXPECT_EQ(dialog.m_nCount, 5);
    }
    EXPECT_TRUE(m_driver.Finish()) << m_driver.GetError();
}

TEST_F(MessageRouting, CommandsAreMatchedByIdAndNotificationCode) {
    CTestDlg dialog(m_log);
    m_driver.Inspect([&](CDialog& shown) {
        EXPECT_TRUE(shown.OnCmdMsg(IDC_APPLY, BN_CLICKED, nullptr, nullptr));
        EXPECT_FALSE(shown.OnCmdMsg(IDC_APPLY, EN_CHANGE, nullptr, nullptr));
        EXPECT_FALSE(shown.OnCmdMsg(IDC_LOCKED, BN_CLICKED, nullptr, nullptr));
        // A menu command (no control) with the id of OK still means OK.
        shown.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK) << m_driver.GetError();
    EXPECT_TRUE(Logged(m_log, "base Apply"));
}

TEST_F(MessageRouting, NotificationsWaitWhileUpdateDataExchanges) {
    CTestDlg dialog(m_log);
    m_driver
        .Inspect([&](CDialog& shown) {
            // The load exchange of OnInitDialog set the name's text without a change notification.
            EXPECT_FALSE(Logged(m_log, "change Name"));
            shown.SetDlgItemText(IDC_NAME, "set by code");
            EXPECT_EQ(std::count(m_log.begin(), m_log.end(), "change Name"), 1);
            EXPECT_TRUE(shown.UpdateData(FALSE));
            EXPECT_EQ(std::count(m_log.begin(), m_log.end(), "change Name"), 1);
        })
        .Type("&Name", "typed")
        .Key("Escape");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << m_driver.GetError();
    EXPECT_EQ(std::count(m_log.begin(), m_log.end(), "change Name"), 2);
}

// Records what a window drew through the device context it was handed.
class CRecordingSurface : public CDrawingSurface {
public:
    CRect GetBounds() const override { return CRect(0, 0, 40, 30); }
    void SetClip(const RECT&) override {}
    void DrawPolyline(const POINT*, int count, const LOGPEN&) override {
        drawn.push_back("polyline " + std::to_string(count));
    }
    void DrawRectangle(const RECT&, const LOGPEN&, const LOGBRUSH&) override {}
    void DrawEllipse(const RECT&, const LOGPEN&, const LOGBRUSH&) override {}
    void FillRect(const RECT&, COLORREF) override {}
    void DrawTextLine(int, int, UINT, const CString& text, const LOGFONT&, COLORREF, bool,
                      COLORREF) override {
        drawn.push_back("text " + text.str());
    }
    CSize MeasureText(const CString&, const LOGFONT&) const override { return CSize(); }

    std::vector<std::string> drawn;
};

class CPaintedWnd : public CWnd {
protected:
    void OnDraw(CDC* pDC) override {
        CRect client;
        GetClientRect(&client);
        pDC->MoveTo(0, 0);
        pDC->LineTo(client.right, client.bottom);
        pDC->TextOut(0, 0, "drawn");
    }
};

TEST_F(MessageRouting, PaintMessageDrawsThroughTheDeviceContextItCarries) {
    CTestDlg dialog(m_log);
    CPaintedWnd painted;
    CRecordingSurface surface;
    m_driver
        .Inspect([&](CDialog& shown) {
            ASSERT_TRUE(painted.SubclassDlgItem(IDC_GRAPH, &shown));
            CRect rect(4, 8, 8, 16);
            shown.MapDialogRect(&rect);  // 8-point MS Shell Dlg: 6 by 13 base units
            EXPECT_EQ(rect, CRect(6, 13, 12, 26));
            painted.MoveWindow(10, 20, 40, 30);
            CRect client;
            painted.GetClientRect(&client);
            EXPECT_EQ(client, CRect(0, 0, 40, 30));
            EXPECT_TRUE(painted.GetUpdateRect(nullptr));

            CDC dc(&surface);
            painted.SendMessage(WM_PAINT, reinterpret_cast<WPARAM>(&dc));
            EXPECT_FALSE(painted.GetUpdateRect(nullptr));
            painted.Invalidate();
            EXPECT_TRUE(painted.GetUpdateRect(nullptr));
        })
        .Key("Escape");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << m_driver.GetError();
    EXPECT_EQ(surface.drawn, (std::vector<std::string>{"polyline 2", "text drawn"}));
}

TEST_F(MessageRouting, SubclassedControlSendsMessagesToItsParentsMap) {
    CTestDlg dialog(m_log);
    CPickWnd pick;
    m_driver
        .Inspect([&](CDialog& shown) {
            CWnd* before = shown.GetDlgItem(IDC_GRAPH);
            ASSERT_TRUE(pick.SubclassDlgItem(IDC_GRAPH, &shown));
            EXPECT_EQ(shown.GetDlgItem(IDC_GRAPH), &pick);
            EXPECT_EQ(pick.GetDlgCtrlID(), IDC_GRAPH);
            CString text;
            pick.GetWindowText(text);
            EXPECT_EQ(text, "Graph");  // the static's own behaviour still answers
            EXPECT_EQ(pick.Pick(3), 42);
            // A window can be taken over once only; the framework's object is still usable.
            CPickWnd second;
            EXPECT_FALSE(second.SubclassDlgItem(IDC_GRAPH, &shown));
            EXPECT_TRUE(before->IsWindowVisible());
        })
        .Key("Escape");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << m_driver.GetError();
    EXPECT_TRUE(Logged(m_log, "pick 3"));
    EXPECT_EQ(pick.m_hWnd, nullptr);  // the window went with the dialog
}

TEST_F(MessageRouting, MessagesWithoutAnEntryGoToTheWindowsOwnBehaviour) {
    CTestDlg dialog(m_log);
    m_driver
        .Inspect([&](CDialog& shown) {
            EXPECT_EQ(shown.SendMessage(WM_USER + 1, 0, 0), 0);
            EXPECT_EQ(shown.GetDlgItem(IDC_COUNT)->SendMessage(WM_GETTEXTLENGTH), 1);  // "5"
        })
        .Key("Escape");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << m_driver.GetError();
}

}  // namespace
}  // namespace dialog_test
