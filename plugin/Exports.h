// The functions through which the host uses the module: C linkage, undecorated names, and the
// only symbols that the module makes visible.
#pragma once

#include <MC_Motion.h>
#include <MC_Setup.h>
#include <MotionModule.h>
#include <afx.h>

// On Windows, Travex.def names the exports; elsewhere the version script keeps them visible.
#define TRAVEX_EXPORT extern "C" __attribute__((visibility("default")))

// The motion type's class, "Motion".
TRAVEX_EXPORT const char* MOTION_MODULE_CALL GetClassName();
// The motion type's name, "PT".
TRAVEX_EXPORT const char* MOTION_MODULE_CALL GetName();
// Where the host sorts the type among its motions: 4144 (0x1030).
TRAVEX_EXPORT int MOTION_MODULE_CALL GetOrderID();
// 1 when the setup is a drive with a closed position loop and the PT variables, else 0.
TRAVEX_EXPORT BOOL MOTION_MODULE_CALL IsEnabled(CMC_Setup& setup);
// Replaces `text` with the parameter text of a new PT motion.
TRAVEX_EXPORT void MOTION_MODULE_CALL GetDefaultParameters(CMC_Setup& setup, CMC_Motion& motion,
                                                           CString& text);
// Runs the editor on `text`; 1 when the user confirmed with OK (and `text` holds the edited
// parameters), 0 otherwise (and `text` is unchanged).
TRAVEX_EXPORT BOOL MOTION_MODULE_CALL EditMotionSequence(CMC_Setup& setup, CMC_Motion& motion,
                                                         CString& text);
// Translates `text` into motion-language code in `output` and returns 1, or puts the error
// text into `output` and returns 0.
TRAVEX_EXPORT BOOL MOTION_MODULE_CALL TranslateMotionSequence(CMC_Setup& setup, CMC_Motion& motion,
                                                              CString& text, CString& output);
