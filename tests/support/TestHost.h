// What a test needs to play the host: the built-in drive setup, a motion on it, and the host's
// resources in the resource chain.
#pragma once

#include <ArrayParameterHost.h>
#include <DriveSetup.h>
#include <HostResources.h>
#include <MC_Motion.h>
#include <afxrestable.h>

#include <memory>
#include <utility>
#include <vector>

#include "params/InternalData.h"

struct TestHost {
    std::unique_ptr<CDriveSetup> setup = CDriveSetup::CreateDefault();
    CMC_Motion motion{*setup};
    CModuleResources resources{HostResourceTable()};
};

// A point as (position, time) in internal units.
using Point = std::pair<double, double>;

// Binds the record's arrays to their keys and fills them with `points`, in IU.
inline void SetPoints(CInternalData& data, const std::vector<Point>& points) {
    CArrayParameterHost::BindToKey(data.m_Position, "TPOS");
    CArrayParameterHost::BindToKey(data.m_Time, "ATIME");
    data.m_Position.SetValuesCount(0);
    data.m_Time.SetValuesCount(0);
    for (const auto& [position, time] : points) {
        CArrayParameterHost::InsertValueInInternalUnitAt(
            data.m_Position, data.m_Position.GetValuesCount(), position);
        CArrayParameterHost::InsertValueInInternalUnitAt(data.m_Time, data.m_Time.GetValuesCount(),
                                                         time);
    }
}

// The limits that reading a text sets on the time array, taken from a record that has read one.
inline void SetReadLimits(CInternalData& data, TestHost& host) {
    CInternalData reader(*host.setup, host.motion);
    CString text = reader.GetDefaultParameterText(), error;
    reader.ReadParameters(text, error);
    data.m_Time.SetMinInInternalUnit(reader.m_Time.GetMinInInternalUnit());
    data.m_Time.SetMaxInInternalUnit(reader.m_Time.GetMaxInInternalUnit());
}
