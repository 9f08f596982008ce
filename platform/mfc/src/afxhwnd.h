// What the system keeps behind an HWND: the window's class, its place among its siblings, its
// text and state, and the object that receives its messages. Private to the framework.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "afxwin.h"

using WNDPROC = LRESULT (*)(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

struct HWND__ {
    std::string className;        // "#32770" for a dialog, else the control class in upper case
    WNDPROC classProc = nullptr;  // what every window of the class does
    HWND parent = nullptr;        // a dialog's parent is its owner, which does not list it
    std::vector<HWND> children;   // in template order, which is also the tab order
    CWnd* object = nullptr;       // receives the window's messages
    std::unique_ptr<CWnd> frameworkObject;  // made by the framework for a control
    int id = 0;
    std::string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;  // dialog units, from the template
    RECT pixels;                         // in the parent's client area
    bool needsPaint = true;
    // Dialogs: the template's font and the base units that map dialog units to pixels.
    std::string fontFace;
    int fontPointSize = 0;
    int baseUnitX = 6, baseUnitY = 13;

    UINT check = BST_UNCHECKED;      // buttons
    int selStart = 0, selEnd = 0;    // edits; selStart <= selEnd
    std::vector<std::string> items;  // combo boxes
    int curSel = -1;
};

namespace afximpl {

inline constexpr const char* kDialogClass = "#32770";

// Creates a window of a class; a control gets the framework's object of its class (CEdit for
// "EDIT", ...) and joins the end of its parent's children.
HWND CreateWindowRecord(const std::string& className, HWND parent, bool isChild);
// Destroys the window and its children; objects that had subclassed them are detached.
void DestroyWindowRecord(HWND hWnd);
bool IsWindow(HWND hWnd);

HWND GetFocus();
// Moves the focus with WM_KILLFOCUS and WM_SETFOCUS; returns the window that had it.
HWND SetFocus(HWND hWnd);

bool IsClass(HWND hWnd, const char* className);
UINT ButtonType(HWND hWnd);   // BS_PUSHBUTTON ... for a button
bool IsCheckable(HWND hWnd);  // a check box or a radio button
bool IsRadio(HWND hWnd);
bool IsPushButton(HWND hWnd);

// Sends WM_COMMAND with the notification code from a control to its parent.
void NotifyParent(HWND control, UINT code);

// Maps the dialog's and its controls' template rectangles to pixels with new base units.
void LayOutDialog(HWND dialog, int baseUnitX, int baseUnitY);

// The window whose control notifications UpdateData holds back while it exchanges.
HWND& LockoutNotifyWindow();

// The behaviour of the control classes and of windows without a class of their own.
WNDPROC ClassProcFor(const std::string& className);
std::unique_ptr<CWnd> MakeControlObject(const std::string& className);
LRESULT DefaultWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DialogWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace afximpl
