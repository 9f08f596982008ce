// The point table shown one point at a time, and the trajectory graph beside it. Every change
// touches both arrays at the same index, and both curve arrays with them.
#include <MC_Value.h>

#include "editor/EditorDlg.h"
#include "editor/NumberScan.h"
#include "editor/resource.h"

namespace {

constexpr int kTimeCurve = 0;
constexpr int kPositionCurve = 1;

}  // namespace

BOOL CEditorDlg::OnInitDialog() {
    m_nSelPoint = 0;
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

    CDialog::OnInitDialog();
    FocusPositionEdit();
    m_Graph.SubclassDlgItem(IDC_GRAPH, this, &m_GraphFilter);
    RefreshGraph();
    return TRUE;
}

void CEditorDlg::LimitValue(CMC_ArrayParameter& parameter, double& value) {
    if (parameter.GetMin() > value) {
        value = parameter.GetMin();
    } else if (value > parameter.GetMax()) {
        value = parameter.GetMax();
    }
    parameter.UnitToIU(value);
    CMC_Value reduced;
    reduced.SetValue(parameter.GetType(), value);
    value = reduced.GetValue(parameter.GetType());
    parameter.IUToUnit(value);
}

bool CEditorDlg::ReadPositionEdit(double& position) {
    if (ScanDoubles(GetChildText(IDC_POSITION_VALUE), &position, 1) != 1) return false;
    LimitValue(m_Data.m_Position, position);
    return true;
}

bool CEditorDlg::ReadTimeEdit(double& time) {
    if (ScanDoubles(GetChildText(IDC_TIME_VALUE), &time, 1) != 1) return false;
    LimitValue(m_Data.m_Time, time);
    return time >= 0;
}

void CEditorDlg::UpdateSelection() {
    const int count = m_Data.m_Time.GetValuesCount();
    if (m_nSelPoint >= count) {
        m_nSelPoint = count - 1;
    } else if (m_nSelPoint < 0) {
        m_nSelPoint = 0;
    }
    UpdateData(FALSE);
}

void CEditorDlg::RefreshGraph() {
    m_Graph.SelectPoint(0, -1);
    CCurve* times = m_Curves.GetAt(kTimeCurve);
    CCurve* positions = m_Curves.GetAt(kPositionCurve);
    times->m_strTitle = CString("Time[") + m_Data.m_Time.GetSelectedUnit() + "]";
    m_GraphFilter.m_strTitle = CString("Position[") + m_Data.m_Position.GetSelectedUnit() + "]";
    const int count = m_Data.m_Time.GetValuesCount();
    times->SetSize(count, -1);
    positions->SetSize(count, -1);
    for (int i = 0; i < count; ++i) {
        times->SetAt(i, m_Data.m_Time.GetValue(i));
        positions->SetAt(i, m_Data.m_Position.GetValue(i));
    }
    m_Graph.OnDataChanged();
    m_Graph.RefreshWindow();
    m_Graph.SelectPoint(0, m_nSelPoint);
    UpdateSelection();
}

void CEditorDlg::FocusEdit(int id) {
    if (CWnd* edit = GetDlgItem(id)) {
        edit->SetFocus();
        edit->SendMessage(EM_SETSEL, 0, -1);
        edit->SendMessage(EM_SCROLLCARET, 0, 0);
    }
}

void CEditorDlg::FocusPositionEdit() { FocusEdit(IDC_POSITION_VALUE); }

void CEditorDlg::FocusTimeEdit() { FocusEdit(IDC_TIME_VALUE); }

void CEditorDlg::OnPrevPoint() {
    --m_nSelPoint;
    UpdateSelection();
    m_Graph.SelectPoint(0, m_nSelPoint);
    FocusTimeEdit();
}

void CEditorDlg::OnNextPoint() {
    ++m_nSelPoint;
    UpdateSelection();
    m_Graph.SelectPoint(0, m_nSelPoint);
    FocusTimeEdit();
}

void CEditorDlg::OnInsertPoint() {
    double position = 0;
    double time = 0;
    if (ReadPositionEdit(position) && ReadTimeEdit(time)) {
        if (time == 0) {
            // The start point's time: nothing to insert, the start point is only selected.
            m_nSelPoint = 0;
        } else {
            const int count = m_Data.m_Time.GetValuesCount();
            int index = 0;
            while (index < count && m_Data.m_Time.GetValue(index) < time) ++index;
            if (index < count && m_Data.m_Time.GetValue(index) == time) {
                m_Data.m_Position.SetValue(index, position);
                m_Curves.GetAt(kPositionCurve)->SetAt(index, position);
            } else {
                m_Data.m_Time.InsertValueAt(index, time);
                m_Data.m_Position.InsertValueAt(index, position);
                m_Curves.GetAt(kTimeCurve)->InsertAt(index, time, 1);
                m_Curves.GetAt(kPositionCurve)->InsertAt(index, position, 1);
            }
            m_nSelPoint = index;
        }
    }
    RefreshGraph();
    FocusPositionEdit();
}

void CEditorDlg::OnRemovePoint() {
    if (m_nSelPoint <= 0) return;
    const int last = m_Data.m_Time.GetValuesCount() - 1;
    if (last <= 1) m_Graph.SelectPoint(0, -1);
    m_Data.m_Time.RemoveValueAt(m_nSelPoint, 1);
    m_Data.m_Position.RemoveValueAt(m_nSelPoint, 1);
    m_Curves.GetAt(kTimeCurve)->RemoveAt(m_nSelPoint, 1);
    m_Curves.GetAt(kPositionCurve)->RemoveAt(m_nSelPoint, 1);
    if (m_nSelPoint == last) m_nSelPoint = last - 1;
    RefreshGraph();
    FocusPositionEdit();
}

// Point 0 is the fixed start point and has no earlier neighbour: no time is accepted for it.
bool CEditorDlg::IsNewTimeBetweenNeighbours(int point, double time) {
    const int count = m_Data.m_Time.GetValuesCount();
    if (point <= 0 || point >= count) return false;
    if (!(m_Data.m_Time.GetValue(point - 1) < time)) return false;
    return point == count - 1 || time < m_Data.m_Time.GetValue(point + 1);
}

void CEditorDlg::OnUpdatePoint() {
    double position = 0;
    double time = 0;
    if (m_nSelPoint >= 0 && ReadPositionEdit(position) && ReadTimeEdit(time)) {
        const int point = m_nSelPoint;
        if (IsNewTimeBetweenNeighbours(point, time)) {
            m_Data.m_Time.SetValue(point, time);
            m_Data.m_Position.SetValue(point, position);
            m_Curves.GetAt(kTimeCurve)->SetAt(point, time);
            m_Curves.GetAt(kPositionCurve)->SetAt(point, position);
        } else {
            AfxMessageBox("Incorrect time value!", MB_OK, 0);
        }
    }
    RefreshGraph();
    FocusPositionEdit();
}

LRESULT CEditorDlg::OnGraphSelect(WPARAM /*wParam*/, LPARAM lParam) {
    if (LOWORD(static_cast<std::uintptr_t>(lParam)) != 0) return 0;
    const int point = HIWORD(static_cast<std::uintptr_t>(lParam));
    const int count = m_Data.m_Time.GetValuesCount();
    if (point >= count) return 0;  // a point that is not in the table changes nothing

    m_nSelPoint = point;
    CCurve* times = m_Curves.GetAt(kTimeCurve);
    CCurve* positions = m_Curves.GetAt(kPositionCurve);
    if (point == 0) {
        // The start point stays where the table has it.
        times->SetAt(0, m_Data.m_Time.GetValue(0));
        positions->SetAt(0, m_Data.m_Position.GetValue(0));
        RefreshGraph();
        return 0;
    }
    double time = (*times)[point];
    const double position = (*positions)[point];
    LimitValue(m_Data.m_Time, time);
    if (IsNewTimeBetweenNeighbours(point, time)) {
        m_Data.m_Time.SetValue(point, time);
        m_Data.m_Position.SetValue(point, position);
        times->SetAt(point, m_Data.m_Time.GetValue(point));
        positions->SetAt(point, m_Data.m_Position.GetValue(point));
    } else {
        AfxMessageBox("Incorrect time value!", MB_OK, 0);
    }
    RefreshGraph();
    return 0;
}
