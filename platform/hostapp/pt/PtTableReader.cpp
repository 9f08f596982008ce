#include "pt/PtTableReader.h"

#include <DataArrayText.h>

#include "pt/PtKeys.h"

CString ReadPtTable(std::string_view text, const CDriveSetup& setup, PtTable& table) {
    CString message =
        ReadDataArray(text, host_pt_keys::kPosition, setup, table.positions, table.positionUnit);
    if (message.IsEmpty()) {
        message = ReadDataArray(text, host_pt_keys::kTime, setup, table.times, table.timeUnit);
    }
    return message;
}

std::string WithPoints(std::string_view text, const std::vector<double>& times,
                       const std::vector<double>& positions) {
    return WithDataArray(WithDataArray(text, host_pt_keys::kTime, times), host_pt_keys::kPosition,
                         positions);
}
