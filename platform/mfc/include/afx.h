// The core of the framework: types, CObject, CString and CFile.
#pragma once

#include "afxstr.h"
#include "afxtypes.h"

class CObject {
public:
    CObject() = default;
    virtual ~CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

// After CObject, which CFile derives from.
#include "afxfile.h"
