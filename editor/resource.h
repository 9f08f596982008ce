// The ids of the module's resources, shared by Travex.rc and the editor's code.
#pragma once

// The PT editor dialog (template 214) and its controls, in tab order.
#define IDD_PT_EDITOR 214
#define IDC_HOST_ADDRESS_CHECK 1507
#define IDC_HOST_ADDRESS 1508
#define IDC_CLEAR_BUFFER 1506
#define IDC_POSITION_VALUE 1010
#define IDC_POSITION_UNIT 1018
#define IDC_TIME_VALUE 1009
#define IDC_TIME_UNIT 1017
#define IDC_PREV_POINT 1013
#define IDC_NEXT_POINT 1014
#define IDC_REMOVE_POINT 1000
#define IDC_UPDATE_POINT 1001
#define IDC_INSERT_POINT 1002
#define IDC_RELATIVE_NOTE 1015
#define IDC_GRAPH 1016
#define IDC_EXECUTE_IMMEDIATE 1011
#define IDC_EXECUTE_ON_EVENT 1012
#define IDC_WAIT_FOR_COMPLETION 1021
#define IDC_CHANGE_EVENT 1503
#define IDC_EDIT_EVENT 1504
#define IDC_EVENT_DESCRIPTION 1505
#define IDC_IMPORT_FROM_FILE 1003
#define IDC_START_FROM_REFERENCE 1019
#define IDC_START_FROM_ACTUAL 1020
// OK, Cancel and Help use the framework's IDOK, IDCANCEL and ID_DEFAULT_HELP (afxres.h).
