// The points of a PT motion as its parameter text holds them: positions under TPOS, times
// under ATIME, both in IU, each with the display unit that the text selects.
#pragma once

#include <DriveSetup.h>
#include <afx.h>

#include <string>
#include <string_view>
#include <vector>

struct PtTable {
    std::vector<double> times;
    std::vector<double> positions;
    CMC_Unit timeUnit;
    CMC_Unit positionUnit;
};

// Reads both arrays; a message that names the entry at fault, empty on success.
CString ReadPtTable(std::string_view text, const CDriveSetup& setup, PtTable& table);

// `text`, which ReadPtTable has read, with both arrays replaced, positions (IU) under TPOS's
// unit, times under ATIME's, every other byte as it was: a table whose points were placed anew.
std::string WithPoints(std::string_view text, const std::vector<double>& times,
                       const std::vector<double>& positions);
