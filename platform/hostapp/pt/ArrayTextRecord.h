// A record with no parameters of its own: the kernel's text operations on array parameters
// (ReadArrayDataParam, WriteArrayDataParam), for host code that reads or writes a motion's
// arrays itself.
#pragma once

#include <MC_EditMotionInternalData.h>

class CArrayTextRecord : public CMC_EditMotionInternalData {
public:
    using CMC_EditMotionInternalData::CMC_EditMotionInternalData;
    int ReadParameters(CString&, CString&) override { return 0; }
    void WriteParameters(CString&) override {}
};
