// The ids of the kernel's own dialogs, shared by KernelResources.rc and the dialogs' code.
// Scripts name the controls by these ids or by their captions (docs/dialog-drivers.md).
#pragma once

// The settings of an event's kind.
#define IDD_EVENT_EDIT 30100
#define IDC_EVENT_KIND 1200
#define IDC_EVENT_VALUE 1201
#define IDC_EVENT_UNIT 1202
#define IDC_EVENT_RISING 1203
#define IDC_EVENT_FALLING 1204

// The choice of the kind of event: one radio button a kind, in the order of CMotionEvent::Kind.
#define IDD_EVENT_TYPE 30101
#define IDC_EVENT_WAIT_TIME 1211
#define IDC_EVENT_POSITION_PASSES 1212
#define IDC_EVENT_INPUT_CHANGES 1213
#define IDC_EVENT_MOTION_COMPLETE 1214
