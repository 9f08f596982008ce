// The keys of a PT motion's parameter text, the host's copy of the module's: the host may not
// include module code, and a test holds these to the module's. "TPOS" and "ATIME" also name the
// drive variables that the PT mode needs.
#pragma once

#include <string_view>

namespace host_pt_keys {

inline constexpr const char* kHostAddress = "MASTERID";
inline constexpr const char* kClearBuffer = "ClearBuffer";
inline constexpr const char* kStartPoint = "StartPoint";
inline constexpr const char* kExecute = "Execute";
inline constexpr const char* kWaitForCompletion = "WaitForCompletion";
inline constexpr const char* kPosition = "TPOS";
inline constexpr const char* kTime = "ATIME";

// Every key a motion's text may hold: the record's, then those that the kernel's event writes
// for a motion on event.
inline constexpr std::string_view kAll[] = {
    kHostAddress,     kClearBuffer, kStartPoint,  kExecute,    kWaitForCompletion,
    kPosition,        kTime,        "Event",      "EventTime", "EventPosition",
    "EventDirection", "EventInput", "EventLevel",
};

}  // namespace host_pt_keys
