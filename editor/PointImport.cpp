// Import of a point table from a text file: one point a line, position then time, in the units
// selected in the dialog. Lines that do not give a later point are dropped without a word.
#include <afxdlgs.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

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
        // A line is its bytes up to and including '\n', or the last bytes of the file. The file
        // is read a block at a time and each line scanned where it lies; only a line that
        // straddles two blocks is gathered into `carried`.
        constexpr UINT kBlockSize = 64 * 1024;
        char block[kBlockSize + 1];
        CString carried;
        const auto take = [&](char* line, char* lineEnd) {
            std::replace(line, lineEnd, ',', '.');
            const char after = *lineEnd;
            *lineEnd = '\0';
            double position = 0;
            double time = 0;
            const BOOL parsed = ParsePointLine(line, lineEnd, position, time);
            *lineEnd = after;
            if (!parsed || !(time > times.GetValue(count - 1))) return;
            times.InsertValueAt(count, time);
            // A point goes in whole or not at all, so that memory running out between the two
            // arrays leaves them of one length.
            try {
                positions.InsertValueAt(count, position);
            } catch (CException*) {
                times.RemoveValueAt(count, 1);
                throw;
            }
            ++count;
        };
        for (;;) {
            const UINT got = file.Read(block, kBlockSize);
            if (got == 0) break;
            char* at = block;
            char* const end = block + got;
            while (at < end) {
                auto* newline = static_cast<char*>(std::memchr(at, '\n', end - at));
                if (!newline) {
                    carried.Append(at, static_cast<int>(end - at));
                    break;
                }
                char* const lineEnd = newline + 1;
                if (carried.IsEmpty()) {
                    take(at, lineEnd);
                } else {
                    carried.Append(at, static_cast<int>(lineEnd - at));
                    std::string& line = carried.str();
                    take(line.data(), line.data() + line.size());
                    carried.Empty();
                }
                at = lineEnd;
            }
        }
        if (!carried.IsEmpty()) {
            std::string& line = carried.str();
            take(line.data(), line.data() + line.size());
        }
        file.Close();
    } catch (CException* exception) {
        exception->ReportError(MB_OK, 0);
        exception->Delete();
    }
    m_nSelPoint = 0;
    RefreshGraph();
}

BOOL CEditorDlg::ParsePointLine(const char* line, const char* end, double& position, double& time) {
    double values[2];
    if (ScanDoubles(line, values, 2, end) != 2) return FALSE;
    position = values[0];
    time = values[1];
    if (time < 0 || std::isnan(time)) return FALSE;
    // "nan" scans as a number; such a position is no point of a trajectory.
    if (std::isnan(position)) return FALSE;
    LimitValue(m_Data.m_Position, position);
    LimitValue(m_Data.m_Time, time);
    return TRUE;
}
