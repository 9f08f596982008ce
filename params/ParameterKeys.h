// The keys of a PT motion's parameter text. "MASTERID" also names the drive variable of the
// host-address line, and "TPOS" and "ATIME" the drive variables that the PT mode needs.
#pragma once

namespace pt_keys {

inline constexpr const char* kHostAddress = "MASTERID";
inline constexpr const char* kClearBuffer = "ClearBuffer";
inline constexpr const char* kStartPoint = "StartPoint";
inline constexpr const char* kExecute = "Execute";
inline constexpr const char* kWaitForCompletion = "WaitForCompletion";
inline constexpr const char* kPosition = "TPOS";
inline constexpr const char* kTime = "ATIME";

}  // namespace pt_keys
