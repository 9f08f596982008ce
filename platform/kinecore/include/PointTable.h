// The points of a PT motion as its parameter text holds them: positions under TPOS, times
// under ATIME, both in IU, each with the display unit that the text selects.
#pragma once

#include <afx.h>

#include <string>
#include <string_view>
#include <vector>

#include "DriveSetup.h"

struct PointTable {
    std::vector<double> times;
    std::vector<double> positions;
    CMC_Unit timeUnit;
    CMC_Unit positionUnit;
};

// Reads both arrays; a message that names the entry at fault, empty on success.
CString ReadPointTable(std::string_view text, const CDriveSetup& setup, PointTable& table);

// `text`, which ReadPointTable has read, with the times (IU) in place of the ATIME entry's,
// under its unit; every other byte as it was.
std::string WithPointTimes(std::string_view text, const std::vector<double>& times);
// The same with both arrays replaced, positions (IU) under TPOS's unit, times under ATIME's: a
// table whose points were placed anew.
std::string WithPoints(std::string_view text, const std::vector<double>& times,
                       const std::vector<double>& positions);
