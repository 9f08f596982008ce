// The contract between the host and a motion-type module: the seven functions that a module
// exports with C linkage, by name, and their signatures as the host resolves them.
#pragma once

#include <afx.h>

#include "MC_Motion.h"
#include "MC_Setup.h"

namespace motion_module {

using GetClassNameFn = const char* (*)();
using GetNameFn = const char* (*)();
using GetOrderIDFn = int (*)();
using IsEnabledFn = BOOL (*)(CMC_Setup& setup);
using GetDefaultParametersFn = void (*)(CMC_Setup& setup, CMC_Motion& motion, CString& text);
using EditMotionSequenceFn = BOOL (*)(CMC_Setup& setup, CMC_Motion& motion, CString& text);
using TranslateMotionSequenceFn = BOOL (*)(CMC_Setup& setup, CMC_Motion& motion, CString& text,
                                           CString& output);

inline constexpr const char* kGetClassName = "GetClassName";
inline constexpr const char* kGetName = "GetName";
inline constexpr const char* kGetOrderID = "GetOrderID";
inline constexpr const char* kIsEnabled = "IsEnabled";
inline constexpr const char* kGetDefaultParameters = "GetDefaultParameters";
inline constexpr const char* kEditMotionSequence = "EditMotionSequence";
inline constexpr const char* kTranslateMotionSequence = "TranslateMotionSequence";

// String resource that a host supplies: the message for a bad point array, with one string
// argument, the array's key.
inline constexpr UINT IDS_BAD_POINT_ARRAY = 20048;

}  // namespace motion_module
