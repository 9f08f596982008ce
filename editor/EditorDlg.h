// The editor of one PT motion: options, event, point table, trajectory graph and the import of
// points from a text file. It edits a record of its own and writes it back only on OK.
#pragma once

#include <GraphWindow.h>
#include <MC_EditMotionDlg.h>
#include <afxwin.h>

#include "params/InternalData.h"

class CEditorDlg : public CMC_EditMotionDlg {
public:
    CEditorDlg(CMC_Setup& setup, CMC_Motion& motion, CString& paramText, CWnd* parent = nullptr);
    ~CEditorDlg() override;

    CMC_EditMotionInternalData* GetInternalData() override { return &m_Data; }

    CInternalData m_Data;
    int m_nSelPoint;
    CGraphWindow m_Graph;
    CCurveArray m_Curves;
    CGraphFilter m_GraphFilter;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    // Point table and graph.
    void OnPrevPoint();
    void OnNextPoint();
    void OnInsertPoint();
    void OnRemovePoint();
    void OnUpdatePoint();
    LRESULT OnGraphSelect(WPARAM wParam, LPARAM lParam);

    // Options, event and units.
    void OnKillFocusValue();
    void OnPositionUnit();
    void OnTimeUnit();
    void OnChangeEvent();
    void OnEditEvent();

    // Import of points.
    void OnImportFromFile();
    BOOL ParsePointLine(const CString& line, double& position, double& time);

    // Clamps `value` to the parameter's limits and reduces it to what the parameter's type
    // holds, in the selected unit.
    void LimitValue(CMC_ArrayParameter& parameter, double& value);
    bool ReadPositionEdit(double& position);
    bool ReadTimeEdit(double& time);
    // Refills the graph from the table, marks the selected point and shows it in the edits.
    void RefreshGraph();
    // Brings the selection into the table and shows it.
    void UpdateSelection();
    void FocusPositionEdit();
    void FocusTimeEdit();

    DECLARE_MESSAGE_MAP()

private:
    bool IsNewTimeBetweenNeighbours(int point, double time);
    void FocusEdit(int id);
};
