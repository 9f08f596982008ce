// Import of a point table from a text file: one point a line, position then time, in the units
// selected in the dialog. Lines that do not give a later point are dropped without a word.
#include <afxdlgs.h>

#include <cmath>

#include "editor/EditorDlg.h"
#include "editor/NumberScan.h"

void CEditorDlg::OnImportFromFile() {
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                       "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||", this, 0, TRUE);
    if (dialog.DoModal() != IDOK) return;

    CMC_ArrayParameter& times = m_Data.m_Time;
    CMC_ArrayParameter& positions = m_Data.m_Position;
    try {
        CFile file(dialog.GetPathName(), CFile::modeRead | CFile::shareDenyWrite);
        times.SetValuesCount(1);
        positions.SetValuesCount(1);
        times.SetValueInInternalUnit(0, 0.0);
        positions.SetValueInInternalUnit(0, 0.0);
        int count = 1;
        CString line;
        for (;;) {
            line.Empty();
            char byte = 0;
            while (file.Read(&byte, 1) == 1) {
                line += byte;
                if (byte == '\n') break;
            }
            if (line.IsEmpty()) break;
            line.Replace(',', '.');
            double position = 0;
            double time = 0;
            if (!ParsePointLine(line, position, time)) continue;
            if (time > times.GetValue(count - 1)) {
                times.InsertValueAt(count, time);
                // A point goes in whole or not at all, so that memory running out between the
                // two arrays leaves them of one length.
                try {
                    positions.InsertValueAt(count, position);
                } catch (CException*) {
                    times.RemoveValueAt(count, 1);
                    throw;
                }
                ++count;
            }
        }
        file.Close();
    } catch (CException* exception) {
        exception->ReportError(MB_OK, 0);
        exception->Delete();
    }
    m_nSelPoint = 0;
    RefreshGraph();
}

BOOL CEditorDlg::ParsePointLine(const CString& line, double& position, double& time) {
    double values[2];
    if (ScanDoubles(line, values, 2) != 2) return FALSE;
    position = values[0];
    time = values[1];
    if (time < 0 || std::isnan(time)) return FALSE;
    // "nan" scans as a number; such a position is no point of a trajectory.
    if (std::isnan(position)) return FALSE;
    LimitValue(m_Data.m_Position, position);
    LimitValue(m_Data.m_Time, time);
    return TRUE;
}
