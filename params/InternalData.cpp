#include "params/InternalData.h"

#include <MotionModule.h>

#include "params/ParameterKeys.h"

using namespace pt_keys;

namespace {

// The time array's limits in IU once a text has been read: a time must fit the drive's
// 32-bit time counter with room for one step.
constexpr double kMinTimeIU = 0.0;
constexpr double kMaxTimeIU = 2147483646.0;

}  // namespace

CInternalData::CInternalData(CMC_Setup& setup, CMC_Motion& motion)
    : CMC_EditMotionInternalData(setup, motion),
      m_Position(setup),
      m_Time(setup),
      m_Event(setup, motion) {
    // A motion controller runs the event logic itself, so the drive-side flag must be off.
    if (setup.IsMotionController()) m_Event.m_wFlags &= static_cast<WORD>(~CMotionEvent::FLAG_BIT0);
    m_bSetHostAddress = 0;
    m_nHostAddress = 255;
    m_nClearBuffer = 0;
    m_nStartPoint = 0;
    m_nExecute = 0;
    m_nWaitForCompletion = 0;
}

CInternalData::~CInternalData() = default;

int CInternalData::ReadParameters(CString& text, CString& error) {
    error.Empty();
    m_strWork.Empty();

    ReadOptionalRadioParam(text, kHostAddress, m_nHostAddress, 0, 255);
    if (m_nHostAddress >= 1 && m_nHostAddress <= 255) {
        m_bSetHostAddress = 1;
    } else {
        m_bSetHostAddress = 0;
        m_nHostAddress = 255;
    }
    ReadOptionalRadioParam(text, kClearBuffer, m_nClearBuffer, 0, 1);
    ReadOptionalRadioParam(text, kStartPoint, m_nStartPoint, 0, 1);

    // Times first: the position array is checked against the number of times.
    m_strWork = ReadArrayDataParam(text, kTime, nullptr, nullptr, m_Time);
    const int timeCount = m_Time.GetValuesCount();
    if (m_strWork.IsEmpty() && (timeCount < 1 || m_Time.GetValueInInternalUnit(0) != 0.0)) {
        m_strWork.Format(motion_module::IDS_BAD_POINT_ARRAY, kTime);
    }
    m_Time.SetMinInInternalUnit(kMinTimeIU);
    m_Time.SetMaxInInternalUnit(kMaxTimeIU);
    error += m_strWork;

    m_strWork = ReadArrayDataParam(text, kPosition, nullptr, nullptr, m_Position);
    if (m_strWork.IsEmpty()) {
        const int positionCount = m_Position.GetValuesCount();
        // With both arrays empty there is no first position to look at; the time array has
        // already been reported, and the validation reports the list as a whole.
        if (positionCount != timeCount ||
            (positionCount > 0 && m_Position.GetValueInInternalUnit(0) != 0.0)) {
            m_strWork.Format(motion_module::IDS_BAD_POINT_ARRAY, kPosition);
        }
    }
    error += m_strWork;

    error += ReadRadioParam(text, kExecute, m_nExecute, 0, 1);
    ReadOptionalRadioParam(text, kWaitForCompletion, m_nWaitForCompletion, 0, 1);
    if (m_nExecute == 1 && !m_Event.ReadParameters(text, m_strWork)) error += m_strWork;

    int badPoint = 0;
    error += ValidatePoints(badPoint);
    return error.IsEmpty() ? 1 : 0;
}

void CInternalData::WriteParameters(CString& text) {
    if (m_bSetHostAddress) WriteRadioParam(text, kHostAddress, m_nHostAddress);
    WriteRadioParam(text, kClearBuffer, m_nClearBuffer);
    WriteRadioParam(text, kStartPoint, m_nStartPoint);
    WriteArrayDataParam(text, m_Time);
    WriteArrayDataParam(text, m_Position);
    WriteRadioParam(text, kExecute, m_nExecute);
    if (m_nExecute == 0) {
        WriteRadioParam(text, kWaitForCompletion, m_nWaitForCompletion);
    } else if (m_nExecute == 1) {
        m_Event.WriteParameters(text);
    }
}

CString CInternalData::GetDefaultParameterText() {
    CString text;
    WriteRadioParam(text, kClearBuffer, 1);
    for (const char* key : {kTime, kPosition}) {
        const CString name = GetDataParamName(key, nullptr, nullptr);
        const char* unit = GetDefaultUnit(key, nullptr, nullptr);
        GetMotion().AddToElemParameters(text, name, unit, "0");
    }
    WriteRadioParam(text, kExecute, 0);
    WriteRadioParam(text, kWaitForCompletion, 1);
    return text;
}

namespace {

// At least one value, and value 0 exactly 0 in IU. Returns the count.
int RepairFirstValue(CMC_ArrayParameter& array) {
    int count = array.GetValuesCount();
    if (count < 1) {
        array.InsertValueAt(0, 0.0);
        count = 1;
    }
    if (array.GetValueInInternalUnit(0) != 0.0) array.SetValueInInternalUnit(0, 0.0);
    return count;
}

}  // namespace

void CInternalData::MatchPointCounts() {
    const int timeCount = RepairFirstValue(m_Time);
    const int positionCount = RepairFirstValue(m_Position);
    if (timeCount > positionCount) {
        m_Time.RemoveValueAt(positionCount, timeCount - positionCount);
    } else if (positionCount > timeCount) {
        m_Position.RemoveValueAt(timeCount, positionCount - timeCount);
    }
}
