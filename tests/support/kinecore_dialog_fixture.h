// A small motion editor on the host's dialog base, for the kernel's dialog tests: a position
// with its unit, a check box, a graph and an event button, on a template of its own.
#pragma once

#include <DriveSetup.h>
#include <GraphWindow.h>
#include <MC_EditMotionDlg.h>
#include <MotionEvent.h>
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
constexpr int IDC_GRAPH = 414;     // static, taken over by the graph window
constexpr int IDC_EVENT = 415;     // push button "&Event...", edits m_event

using EventLog = std::vector<std::string>;

class CTestRecord : public CMC_EditMotionInternalData {
public:
    using CMC_EditMotionInternalData::CMC_EditMotionInternalData;
    int ReadParameters(CString&, CString&) override { return 1; }
    void WriteParameters(CString&) override {}
};

class CTestEditorDlg : public CMC_EditMotionDlg {
public:
    CTestEditorDlg(CDriveSetup& setup, CMC_Motion& motion, CString& paramText, EventLog& log);
    CMC_EditMotionInternalData* GetInternalData() override { return &m_record; }

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
    CMC_ArrayParameter m_position;  // "TPOS": 0, 1000, -500 IU; value 1 is shown
    CMotionEvent m_event;
    bool m_bWithGraph = true;
    CGraphWindow m_graph{1, 0};
    CCurveArray m_curves;  // times, positions
    CGraphFilter m_filter;

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnUnit();
    afx_msg void OnApply() { m_log.push_back("apply"); }
    afx_msg void OnModuleHelp() { m_log.push_back("module help"); }
    afx_msg void OnEvent() { m_log.push_back("event " + std::to_string(m_event.Edit())); }
    afx_msg LRESULT OnGraphPoint(WPARAM wParam, LPARAM lParam);

    EventLog& m_log;

    DECLARE_MESSAGE_MAP()
};

inline CTestEditorDlg& AsEditor(CDialog& dialog) { return static_cast<CTestEditorDlg&>(dialog); }

// Puts `times` and `positions` into the graph's two curves; the graph hears nothing of it.
void FillCurves(CTestEditorDlg& editor, const std::vector<double>& times,
                const std::vector<double>& positions);

// The template in the resource chain and a headless driver with the graph verbs.
class KernelDialogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void Script(const char* text);

    std::unique_ptr<CDriveSetup> m_setup = CDriveSetup::CreateDefault();
    CMC_Motion m_motion{*m_setup};
    CString m_paramText{"Kept=1\r\n"};
    CResourceTable m_resources{"kinecore-dialog-test"};
    CHeadlessDriver m_driver;
    EventLog m_log;
    CTestEditorDlg m_dialog{*m_setup, m_motion, m_paramText, m_log};
};

}  // namespace kernel_test
