// The contract between the host and a motion-type module: the seven functions that a module
// exports with C linkage and undecorated names. This table is the whole interface; the host
// resolves it by name, in a loop, and the module's version script exports exactly these names.
// The host calls every export on its user-interface thread, one call at a time, in any order
// and as often as it likes; none relies on an earlier call.
#pragma once

#include <afx.h>

#include <type_traits>

#include "MC_Motion.h"
#include "MC_Setup.h"

// The exports' calling convention: C's. On 32-bit Windows that is __cdecl (the caller pops the
// arguments, names undecorated in the DLL's export table), whatever default a host or module
// is compiled with; elsewhere there is only one.
#if defined(_WIN32) && defined(__i386__)
#define MOTION_MODULE_CALL __cdecl
#else
#define MOTION_MODULE_CALL
#endif

namespace motion_module {

// The exports of one loaded module, as the host holds them.
struct Exports {
    // The motion type's class ("Motion"): static text that lives as long as the module.
    const char*(MOTION_MODULE_CALL* GetClassName)() = nullptr;
    // The motion type's name ("PT"): static text that lives as long as the module.
    const char*(MOTION_MODULE_CALL* GetName)() = nullptr;
    // Where the host sorts the type among its motions.
    int(MOTION_MODULE_CALL* GetOrderID)() = nullptr;
    // 1 when the type can be used with the setup, else 0; nothing else is reported.
    BOOL(MOTION_MODULE_CALL* IsEnabled)(CMC_Setup& setup) = nullptr;
    // Replaces `text` with the parameters of a new motion of the type.
    void(MOTION_MODULE_CALL* GetDefaultParameters)(CMC_Setup& setup, CMC_Motion& motion,
                                                   CString& text) = nullptr;
    // Runs the module's editor as a modal dialog, in a message loop of its own on the host's
    // thread: it returns when the user closes it. 1 when the user confirmed with OK and `text`
    // holds the edit; 0 when `text` is unchanged.
    BOOL(MOTION_MODULE_CALL* EditMotionSequence)
    (CMC_Setup& setup, CMC_Motion& motion, CString& text) = nullptr;
    // Puts the program for `text` into `output` and returns 1, or an error text and 0.
    BOOL(MOTION_MODULE_CALL* TranslateMotionSequence)
    (CMC_Setup& setup, CMC_Motion& motion, CString& text, CString& output) = nullptr;
};

// One export: its name and how a resolved symbol takes its place in Exports.
struct ExportEntry {
    const char* name;
    void (*bind)(Exports& exports, void* symbol);
};

template <auto Member>
void BindExport(Exports& exports, void* symbol) {
    using Function = std::remove_reference_t<decltype(exports.*Member)>;
    exports.*Member = reinterpret_cast<Function>(symbol);
}

inline constexpr ExportEntry kExports[] = {
    {"GetClassName", &BindExport<&Exports::GetClassName>},
    {"GetName", &BindExport<&Exports::GetName>},
    {"GetOrderID", &BindExport<&Exports::GetOrderID>},
    {"IsEnabled", &BindExport<&Exports::IsEnabled>},
    {"GetDefaultParameters", &BindExport<&Exports::GetDefaultParameters>},
    {"EditMotionSequence", &BindExport<&Exports::EditMotionSequence>},
    {"TranslateMotionSequence", &BindExport<&Exports::TranslateMotionSequence>},
};

// The signature of an export, for a module to check its own definitions against the table.
template <auto Member>
using ExportSignature = std::remove_reference_t<decltype(std::declval<Exports&>().*Member)>;

// String resource that a host supplies: the message for a bad point array, with one string
// argument, the array's key.
inline constexpr UINT IDS_BAD_POINT_ARRAY = 20048;

}  // namespace motion_module
