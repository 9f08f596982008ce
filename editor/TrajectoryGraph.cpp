// The trajectory graph beside the point table: its curves mirror the table in the selected
// units, and a point the user moves in the graph comes back here to be checked and stored.
#include <cstdint>

#include "editor/EditorDlg.h"
#include "editor/resource.h"

namespace {

constexpr int kTimeCurve = 0;
constexpr int kPositionCurve = 1;

}  // namespace

void CEditorDlg::SetUpGraph() {
    m_Curves.Add(new CCurve(0, -1));  // the times
    m_Curves.Add(new CCurve(0, -1));  // the positions
    auto* curve = new CXYCurve;
    curve->m_crColor = RGB16(CR16_CURVE);
    curve->m_nLineWidth = 2;
    curve->m_nXCurve = kTimeCurve;
    curve->m_nYCurve = kPositionCurve;
    m_GraphFilter.Add(curve);
    m_GraphFilter.m_pCurves = &m_Curves;
    m_GraphFilter.m_crColor1 = RGB16(CR16_BACKGROUND);
    m_GraphFilter.m_crColor2 = RGB16(CR16_GRID);
}

void CEditorDlg::AttachGraph() {
    m_Graph.SubclassDlgItem(IDC_GRAPH, this, &m_GraphFilter);
    RefreshGraph();
}

void CEditorDlg::RefreshGraph() { RedrawGraph(true); }

void CEditorDlg::RefreshGraphInStep() { RedrawGraph(false); }

void CEditorDlg::RedrawGraph(bool refill) {
    m_Graph.SelectPoint(0, -1);
    CCurve* times = m_Curves.GetAt(kTimeCurve);
    CCurve* positions = m_Curves.GetAt(kPositionCurve);
    times->m_strTitle = CString("Time[") + m_Data.m_Time.GetSelectedUnit() + "]";
    m_GraphFilter.m_strTitle = CString("Position[") + m_Data.m_Position.GetSelectedUnit() + "]";
    if (refill) {
        const int count = m_Data.m_Time.GetValuesCount();
        times->SetSize(count, -1);
        positions->SetSize(count, -1);
        for (int i = 0; i < count; ++i) {
            times->SetAt(i, m_Data.m_Time.GetValue(i));
            positions->SetAt(i, m_Data.m_Position.GetValue(i));
        }
    }
    m_Graph.OnDataChanged();
    m_Graph.RefreshWindow();
    m_Graph.SelectPoint(0, m_nSelPoint);
    UpdateSelection();
}

const CCurve& CEditorDlg::GraphTimes() const { return *m_Curves.GetAt(kTimeCurve); }

// The curves take the table's values through GetValue, as a refill would, so that the curves
// stay value for value what RefreshGraph would make of them.
void CEditorDlg::CopyPointToGraph(int index) {
    m_Curves.GetAt(kTimeCurve)->SetAt(index, m_Data.m_Time.GetValue(index));
    m_Curves.GetAt(kPositionCurve)->SetAt(index, m_Data.m_Position.GetValue(index));
}

void CEditorDlg::InsertPointIntoGraph(int index) {
    m_Curves.GetAt(kTimeCurve)->InsertAt(index, m_Data.m_Time.GetValue(index), 1);
    m_Curves.GetAt(kPositionCurve)->InsertAt(index, m_Data.m_Position.GetValue(index), 1);
}

void CEditorDlg::RemovePointFromGraph(int index) {
    m_Curves.GetAt(kTimeCurve)->RemoveAt(index, 1);
    m_Curves.GetAt(kPositionCurve)->RemoveAt(index, 1);
}

// The graph has written the point's new coordinates into the curves at `point` and nowhere
// else, so putting that one point back in step is all the refresh needs.
LRESULT CEditorDlg::OnGraphSelect(WPARAM /*wParam*/, LPARAM lParam) {
    if (LOWORD(static_cast<std::uintptr_t>(lParam)) != 0) return 0;
    const int point = HIWORD(static_cast<std::uintptr_t>(lParam));
    const int count = m_Data.m_Time.GetValuesCount();
    if (point >= count) return 0;  // a point that is not in the table changes nothing

    m_nSelPoint = point;
    if (point == 0) {
        // The start point stays where the table has it.
        CopyPointToGraph(0);
        RefreshGraphInStep();
        return 0;
    }
    const CCurve& times = *m_Curves.GetAt(kTimeCurve);
    const CCurve& positions = *m_Curves.GetAt(kPositionCurve);
    double time = times[point];
    const double position = positions[point];
    LimitValue(m_Data.m_Time, time);
    if (IsNewTimeBetweenNeighbours(point, time)) {
        m_Data.m_Time.SetValue(point, time);
        m_Data.m_Position.SetValue(point, position);
    } else {
        AfxMessageBox("Incorrect time value!", MB_OK, 0);
    }
    CopyPointToGraph(point);
    RefreshGraphInStep();
    return 0;
}
