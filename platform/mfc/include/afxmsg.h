// Window messages, control notifications and the message maps that route them to handlers.
#pragma once

#include <type_traits>

#include "afxtypes.h"

// Messages
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_PAINT = 0x000F;  // wParam: the CDC* to draw through
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_USER = 0x0400;

// Edit control messages and notifications
constexpr UINT EM_GETSEL = 0x00B0;
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_SCROLLCARET = 0x00B7;
constexpr UINT EM_REPLACESEL = 0x00C2;
constexpr UINT EN_SETFOCUS = 0x0100;
constexpr UINT EN_KILLFOCUS = 0x0200;
constexpr UINT EN_CHANGE = 0x0300;

// Button messages, states and notifications
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_CLICK = 0x00F5;
constexpr UINT BST_UNCHECKED = 0;
constexpr UINT BST_CHECKED = 1;
constexpr UINT BST_INDETERMINATE = 2;
constexpr UINT BN_CLICKED = 0;

// Combo box messages and notifications
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;
constexpr int CB_ERR = -1;
constexpr UINT CBN_SELCHANGE = 1;
constexpr UINT CBN_SETFOCUS = 3;
constexpr UINT CBN_KILLFOCUS = 4;
constexpr UINT CBN_SELENDOK = 9;

// A command from a menu, an accelerator or a button, as message maps see it.
constexpr UINT CN_COMMAND = 0;

// Keys that the dialog manager acts on
constexpr UINT VK_TAB = 0x09;
constexpr UINT VK_RETURN = 0x0D;
constexpr UINT VK_ESCAPE = 0x1B;
constexpr UINT VK_HOME = 0x24;
constexpr UINT VK_LEFT = 0x25;
constexpr UINT VK_UP = 0x26;
constexpr UINT VK_RIGHT = 0x27;
constexpr UINT VK_DOWN = 0x28;

// Mouse messages: the buttons and keys held in wParam's low word, the position (client pixels)
// in lParam; WM_MOUSEWHEEL's high word of wParam is the signed turn, WHEEL_DELTA a notch.
constexpr UINT MK_LBUTTON = 0x0001;
constexpr UINT MK_SHIFT = 0x0004;
constexpr UINT MK_CONTROL = 0x0008;
constexpr int WHEEL_DELTA = 120;
constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM wParam) { return static_cast<short>(HIWORD(wParam)); }

// GetWindow
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_CHILD = 5;

// ShowWindow
constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;

constexpr WPARAM MAKEWPARAM(WORD low, WORD high) {
    return static_cast<WPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}

// Message maps. Each class with a map holds one static table of entries; a class's table ends
// with a link to its base class's table, so a derived class's entries are found first.
class CCmdTarget;
class CWnd;

using AFX_PMSG = void (CCmdTarget::*)();
using AFX_PMSGW = LRESULT (CWnd::*)(WPARAM, LPARAM);

// The signature of an entry's handler, which says which of its two pointers is set.
enum AfxSig : UINT {
    AfxSig_end = 0,  // end of a table
    AfxSigCmd_v,     // void (): commands and control notifications, in pfn
    AfxSig_lwl,      // LRESULT (WPARAM, LPARAM): a window message, in pfnMessage
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // WM_COMMAND or the window message
    UINT nCode;     // notification code for WM_COMMAND
    UINT nID;       // first and last control id for WM_COMMAND
    UINT nLastID;
    UINT nSig;
    AFX_PMSG pfn;
    AFX_PMSGW pfnMessage;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Marks message handlers in class declarations, as in MFC.
#define afx_msg

// clang-format off
#define DECLARE_MESSAGE_MAP()                                                   \
protected:                                                                      \
    static const AFX_MSGMAP* GetThisMessageMap();                               \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                  \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                         \
        return GetThisMessageMap();                                             \
    }                                                                           \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                           \
        using ThisClass = theClass;                                             \
        using TheBaseClass = baseClass;                                         \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                       \
            {0, 0, 0, 0, AfxSig_end, nullptr, nullptr}                          \
        };                                                                      \
        static_assert(std::is_base_of_v<TheBaseClass, ThisClass>,               \
                      "a message map chains to a base class");                  \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, \
                                              _messageEntries};                 \
        return &messageMap;                                                     \
    }
// clang-format on

// Handlers are named with their class, &CMyDialog::OnApply, as standard C++ requires.
#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (id), (id), AfxSigCmd_v, static_cast<AFX_PMSG>(memberFxn), nullptr},

#define ON_CONTROL(wNotifyCode, id, memberFxn) \
    {WM_COMMAND, (wNotifyCode), (id), (id), AfxSigCmd_v, static_cast<AFX_PMSG>(memberFxn), nullptr},

#define ON_MESSAGE(message, memberFxn) \
    {(message), 0, 0, 0, AfxSig_lwl, nullptr, static_cast<AFX_PMSGW>(memberFxn)},

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
