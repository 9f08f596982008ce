// The parameter record of one PT motion: options, the point list as two parallel arrays, and
// the event that starts the motion; its text form, its defaults and the repair of its points.
#pragma once

#include <MC_ArrayParameter.h>
#include <MC_EditMotionInternalData.h>
#include <MotionEvent.h>
#include <afx.h>

class CInternalData : public CMC_EditMotionInternalData {
public:
    // The record and its text: params/InternalData.cpp.
    CInternalData(CMC_Setup& setup, CMC_Motion& motion);
    ~CInternalData() override;

    // Reads every key, collecting all faults (point validation included) in `error`.
    int ReadParameters(CString& text, CString& error) override;
    // Appends the record to `text`; the caller empties it first when it wants a new text.
    void WriteParameters(CString& text) override;

    // The parameter text of a new PT motion: one point (0, 0), buffer cleared, wait on.
    CString GetDefaultParameterText();
    // Makes the point list editable: both arrays of one length (at least 1), point 0 at (0, 0).
    void MatchPointCounts();

    // The validation: params/PointValidation.cpp.
    // The first fault of the point list, empty when it is valid; `badPoint` receives the index
    // of the point at fault and is left alone when there is none.
    CString ValidatePoints(int& badPoint);

    // The generator: codegen/ProgramGenerator.cpp.
    // The motion-language program of a read and validated record. A long record's points are
    // used up as the program is written: afterwards it keeps only the last part of them.
    CString GenerateCode();

    int m_bSetHostAddress;
    int m_nHostAddress;
    int m_nClearBuffer;
    int m_nStartPoint;
    CMC_ArrayParameter m_Position;
    CMC_ArrayParameter m_Time;
    int m_nExecute;
    int m_nWaitForCompletion;
    CMotionEvent m_Event;

private:
    CString m_strWork;  // the message of the piece being read
};
