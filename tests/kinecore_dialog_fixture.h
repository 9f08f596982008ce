// A small motion editor for the kernel's dialog tests: a position with its unit, a check box,
// a graph area and an event button on a template of its own, built on the host's dialog base.
#pragma once

#include <GraphWindow.h>
#include <MC_EditMotionDlg.h>
#include <MotionEvent.h>
#include <afxdlgtemplate.h>
#include <afxheadlessdriver.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace kernel_test {

constexpr UINT IDD_TEST_EDITOR = 400;
constexpr int IDC_POSITION = 410;  // edit, labelled "Position"
constexpr int IDC_UNIT = 411;      // drop-down list, labelled "Unit"
constexpr int IDC_WAIT = 412;      // auto check box "&Wait"
constexpr int IDC_APPLY = 413;     // push button "&Apply"
constexpr int IDC_GRAPH = 414;     // static "Graph", taken over by the graph window
constexpr int IDC_EVENT = 415;     // push button "&Event...": edits the dialog's event

// What the dialog saw, in order.
using EventLog = std::vector<std::string>;

// A record with nothing to read or write: the dialog base wants one.
class CTestRecord : public CMC_EditMotionInternalData {
public:
    using CMC_EditMotionInternalData::CMC_EditMotionInternalData;
    int ReadParameters(CString&, CString&) override { return 1; }
    void WriteParameters(CString&) override {}
};

class CTestEditorDlg : public CMC_EditMotionDlg {
public:
    CTestEditorDlg(CMC_Setup& setup, CMC_Motion& motion, CString& paramText, EventLog& log);

    CMC_EditMotionInternalData* GetInternalData() override { return &m_record; }

    // The helpers under test, open to the tests.
    using CMC_EditMotionDlg::ChangeParameterUnit;
    using CMC_EditMotionDlg::EnableChild;
    using CMC_EditMotionDlg::GetChildCheck;
    using CMC_EditMotionDlg::GetChildText;
    using CMC_EditMotionDlg::IsChildEnabled;
    using CMC_EditMotionDlg::m_bValidating;
    using CMC_EditMotionDlg::m_pParamText;
    using CMC_EditMotionDlg::SetChildCheck;
    using CMC_EditMotionDlg::SetChildText;
    using CMC_EditMotionDlg::ShowParameter;

    CTestRecord m_record;
    // Bound to "TPOS", IU values 0, 1000, -500 (0, 0.5, -0.25 rot).
    CMC_ArrayParameter m_position;
    int m_nShownPoint = 1;
    CMotionEvent m_event;
    // Times (curve 0) and positions (curve 1) of one XY curve; the window takes over the graph
    // area in OnInitDialog when m_bWithGraph.
    bool m_bWithGraph = true;
    CGraphWindow m_graph{1, 0};
    CCurveArray m_curves;
    CGraphFilter m_filter{nullptr, "test", "Time", "Position"};

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnUnit();
    afx_msg void OnApply();
    afx_msg void OnModuleHelp();
    afx_msg void OnEvent();
    afx_msg LRESULT OnGraphPoint(WPARAM wParam, LPARAM lParam);

    EventLog& m_log;

    DECLARE_MESSAGE_MAP()
};

// The test editor's template in the resource chain, a setup and motion, and a headless driver
// with the graph verbs, set for the process.
class KernelDialogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::vector<std::string> MessageTexts() const;
    // Loads script text into the driver; a fault fails the test.
    void Script(const char* text);

    std::unique_ptr<CMC_Setup> m_setup = CMC_Setup::CreateDefault();
    CMC_Motion m_motion{*m_setup};
    CString m_paramText{"Kept=1\r\n"};
    CResourceTable m_resources{"kinecore-dialog-test"};
    CHeadlessDriver m_driver;
    EventLog m_log;
};

inline CTestEditorDlg& AsEditor(CDialog& dialog) { return static_cast<CTestEditorDlg&>(dialog); }

}  // namespace kernel_test
