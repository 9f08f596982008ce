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

protected:
    // EditorDlg.cpp: opening, data exchange, OK, options, event and units.
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnKillFocusValue();
    void OnPositionUnit();
    void OnTimeUnit();
    void OnChangeEvent();
    void OnEditEvent();

    // PointTable.cpp: the selected point, the value edits and the point buttons.
    void OnPrevPoint();
    void OnNextPoint();
    void OnInsertPoint();
    void OnRemovePoint();
    void OnUpdatePoint();
    // Clamps `value` to the parameter's limits and reduces it to what the parameter's type
    // holds, in the selected unit.
    void LimitValue(CMC_ArrayParameter& parameter, double& value);
    bool ReadPositionEdit(double& position);
    bool ReadTimeEdit(double& time);
    // Brings the selection into the table and shows it.
    void UpdateSelection();
    void FocusPositionEdit();
    void FocusTimeEdit();

    // TrajectoryGraph.cpp: the graph's curves, its refresh and the points moved in it.
    // Creates the two curves (times, positions) and the XY curve that pairs them.
    void SetUpGraph();
    // Puts the graph in place of its placeholder control and fills it.
    void AttachGraph();
    // Refills the graph from the table, marks the selected point and shows it in the edits.
    void RefreshGraph();
    // RefreshGraph for a point action that has already put its change into the curves (below),
    // so that they hold what a refill would give: a million points are not copied again.
    void RefreshGraphInStep();
    LRESULT OnGraphSelect(WPARAM wParam, LPARAM lParam);
    // The graph's times: value for value the table's, in the selected unit, between actions.
    const CCurve& GraphTimes() const;
    // Point `index` of the table into the curves: copied over, inserted, or removed from both.
    void CopyPointToGraph(int index);
    void InsertPointIntoGraph(int index);
    void RemovePointFromGraph(int index);

    // PointImport.cpp: the import of points from a text file.
    void OnImportFromFile();
    // `end`: where the line's terminating NUL lies.
    BOOL ParsePointLine(const char* line, const char* end, double& position, double& time);

    DECLARE_MESSAGE_MAP()

private:
    CInternalData m_Data;
    int m_nSelPoint;
    CGraphWindow m_Graph;
    CCurveArray m_Curves;
    CGraphFilter m_GraphFilter;
    // Tests look at the state above through this seam, and nothing else does.
    friend struct CEditorDlgTestSeam;

    // PointTable.cpp
    bool IsNewTimeBetweenNeighbours(int point, double time);
    void FocusEdit(int id);
    // TrajectoryGraph.cpp
    void RedrawGraph(bool refill);
};
