// The point table shown one point at a time: selection, the value edits and the point buttons.
// Every change touches both arrays at the same index, and the graph's point with them.
#include <MC_Value.h>

#include "editor/EditorDlg.h"
#include "editor/NumberScan.h"
#include "editor/resource.h"

void CEditorDlg::LimitValue(CMC_ArrayParameter& parameter, double& value) {
    if (parameter.GetMin() > value) {
        value = parameter.GetMin();
    } else if (value > parameter.GetMax()) {
        value = parameter.GetMax();
    }
    parameter.UnitToIU(value);
    // What a CMC_Value of the type holds: reading it back reduces again, which changes nothing.
    value = ReduceToVarType(parameter.GetType(), value);
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
            // The graph's time curve holds the table's times value for value, in one block,
            // where a walk through the table would ask the kernel for each of a million times.
            const CCurve& times = GraphTimes();
            const int count = m_Data.m_Time.GetValuesCount();
            int index = 0;
            while (index < count && times.GetAt(index) < time) ++index;
            if (index < count && times.GetAt(index) == time) {
                m_Data.m_Position.SetValue(index, position);
                CopyPointToGraph(index);
            } else {
                m_Data.m_Time.InsertValueAt(index, time);
                m_Data.m_Position.InsertValueAt(index, position);
                InsertPointIntoGraph(index);
            }
            m_nSelPoint = index;
        }
    }
    RefreshGraphInStep();
    FocusPositionEdit();
}

void CEditorDlg::OnRemovePoint() {
    if (m_nSelPoint <= 0) return;
    const int last = m_Data.m_Time.GetValuesCount() - 1;
    if (last <= 1) m_Graph.SelectPoint(0, -1);
    m_Data.m_Time.RemoveValueAt(m_nSelPoint, 1);
    m_Data.m_Position.RemoveValueAt(m_nSelPoint, 1);
    RemovePointFromGraph(m_nSelPoint);
    if (m_nSelPoint == last) m_nSelPoint = last - 1;
    RefreshGraphInStep();
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
            CopyPointToGraph(point);
        } else {
            AfxMessageBox("Incorrect time value!", MB_OK, 0);
        }
    }
    RefreshGraphInStep();
    FocusPositionEdit();
}
