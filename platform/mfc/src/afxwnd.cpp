#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>

#include "afxhwnd.h"

namespace afximpl {
namespace {

// Every live window, owned here; children are listed by their parents as well.
std::map<HWND, std::unique_ptr<HWND__>>& Windows() {
    static std::map<HWND, std::unique_ptr<HWND__>> windows;
    return windows;
}

HWND g_focus = nullptr;
HWND g_lockoutNotifyWindow = nullptr;

}  // namespace

HWND CreateWindowRecord(const std::string& className, HWND parent, bool isChild) {
    auto record = std::make_unique<HWND__>();
    HWND hWnd = record.get();
    hWnd->className = className;
    std::transform(hWnd->className.begin(), hWnd->className.end(), hWnd->className.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
    hWnd->classProc = ClassProcFor(hWnd->className);
    hWnd->parent = parent;
    if (parent && isChild) parent->children.push_back(hWnd);
    if (hWnd->className != kDialogClass) {
        hWnd->frameworkObject = MakeControlObject(hWnd->className);
        hWnd->frameworkObject->m_hWnd = hWnd;
        hWnd->object = hWnd->frameworkObject.get();
    }
    Windows()[hWnd] = std::move(record);
    return hWnd;
}

void DestroyWindowRecord(HWND hWnd) {
    if (!IsWindow(hWnd)) return;
    while (!hWnd->children.empty()) DestroyWindowRecord(hWnd->children.back());
    if (g_focus == hWnd) g_focus = nullptr;
    if (hWnd->object) hWnd->object->m_hWnd = nullptr;
    if (hWnd->frameworkObject) hWnd->frameworkObject->m_hWnd = nullptr;
    if (HWND parent = hWnd->parent; parent && IsWindow(parent)) {
        auto& siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), hWnd), siblings.end());
    }
    Windows().erase(hWnd);
}

bool IsWindow(HWND hWnd) { return hWnd && Windows().count(hWnd) != 0; }

HWND GetFocus() { return g_focus; }

HWND SetFocus(HWND hWnd) {
    if (hWnd && !IsWindow(hWnd)) return g_focus;
    HWND previous = g_focus;
    if (previous == hWnd) return previous;
    // The focus moves first, so that a kill-focus handler already sees the new focus.
    g_focus = hWnd;
    if (IsWindow(previous)) {
        ::SendMessage(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
        if (g_focus != hWnd) return previous;  // the handler moved it elsewhere
    }
    if (hWnd) ::SendMessage(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

bool IsClass(HWND hWnd, const char* className) {
    return IsWindow(hWnd) && hWnd->className == className;
}

UINT ButtonType(HWND hWnd) { return hWnd->style & BS_TYPEMASK; }

bool IsRadio(HWND hWnd) {
    return ButtonType(hWnd) == BS_RADIOBUTTON || ButtonType(hWnd) == BS_AUTORADIOBUTTON;
}

bool IsCheckable(HWND hWnd) {
    switch (ButtonType(hWnd)) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_RADIOBUTTON:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_AUTORADIOBUTTON:
            return true;
        default:
            return false;
    }
}

bool IsPushButton(HWND hWnd) {
    return IsClass(hWnd, "BUTTON") &&
           (ButtonType(hWnd) == BS_PUSHBUTTON || ButtonType(hWnd) == BS_DEFPUSHBUTTON);
}

void NotifyParent(HWND control, UINT code) {
    if (!IsWindow(control) || !control->parent) return;
    ::SendMessage(control->parent, WM_COMMAND,
                  MAKEWPARAM(static_cast<WORD>(control->id), static_cast<WORD>(code)),
                  reinterpret_cast<LPARAM>(control));
}

HWND& LockoutNotifyWindow() { return g_lockoutNotifyWindow; }

LRESULT DefaultWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETTEXT:
            hWnd->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
            return TRUE;
        case WM_GETTEXT: {
            if (wParam == 0 || !lParam) return 0;
            const size_t count = std::min(hWnd->text.size(), static_cast<size_t>(wParam) - 1);
            char* buffer = reinterpret_cast<char*>(lParam);
            std::memcpy(buffer, hWnd->text.data(), count);
            buffer[count] = '\0';
            return static_cast<LRESULT>(count);
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(hWnd->text.size());
        default:
            return 0;
    }
}

}  // namespace afximpl

LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!afximpl::IsWindow(hWnd)) return 0;
    if (hWnd->object) return hWnd->object->WindowProc(message, wParam, lParam);
    return hWnd->classProc(hWnd, message, wParam, lParam);
}

CWnd::CWnd() = default;

CWnd::~CWnd() {
    // The window outlives this object: it goes back to the framework's object, if any.
    if (afximpl::IsWindow(m_hWnd) && m_hWnd->object == this)
        m_hWnd->object = m_hWnd->frameworkObject.get();
}

CWnd* CWnd::FromHandle(HWND hWnd) { return afximpl::IsWindow(hWnd) ? hWnd->object : nullptr; }

int CWnd::GetDlgCtrlID() const { return m_hWnd ? m_hWnd->id : 0; }

CWnd* CWnd::GetParent() const { return m_hWnd ? FromHandle(m_hWnd->parent) : nullptr; }

CWnd* CWnd::GetDlgItem(int nID) const {
    if (!m_hWnd) return nullptr;
    for (HWND child : m_hWnd->children) {
        if (child->id == nID) return FromHandle(child);
    }
    return nullptr;
}

CWnd* CWnd::GetWindow(UINT nCmd) const {
    if (!m_hWnd) return nullptr;
    if (nCmd == GW_CHILD)
        return m_hWnd->children.empty() ? nullptr : FromHandle(m_hWnd->children[0]);
    if (nCmd == GW_HWNDNEXT && m_hWnd->parent) {
        const auto& siblings = m_hWnd->parent->children;
        auto it = std::find(siblings.begin(), siblings.end(), m_hWnd);
        if (it != siblings.end() && ++it != siblings.end()) return FromHandle(*it);
    }
    return nullptr;
}

DWORD CWnd::GetStyle() const { return m_hWnd ? m_hWnd->style : 0; }

void CWnd::SetWindowText(LPCTSTR lpszString) {
    ::SendMessage(m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpszString ? lpszString : ""));
}

int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const {
    if (nMaxCount <= 0) return 0;
    return static_cast<int>(::SendMessage(m_hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                          reinterpret_cast<LPARAM>(lpszStringBuf)));
}

void CWnd::GetWindowText(CString& rString) const {
    std::string text(static_cast<size_t>(GetWindowTextLength()) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowText(text.data(), static_cast<int>(text.size()))));
    rString = CString(std::move(text));
}

int CWnd::GetWindowTextLength() const {
    return static_cast<int>(::SendMessage(m_hWnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    if (!m_hWnd) return FALSE;
    const BOOL wasDisabled = (m_hWnd->style & WS_DISABLED) != 0;
    if (bEnable) {
        m_hWnd->style &= ~static_cast<DWORD>(WS_DISABLED);
    } else {
        m_hWnd->style |= WS_DISABLED;
        // A disabled window cannot keep the focus.
        if (afximpl::GetFocus() == m_hWnd) afximpl::SetFocus(nullptr);
    }
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const { return m_hWnd && !(m_hWnd->style & WS_DISABLED); }

BOOL CWnd::ShowWindow(int nCmdShow) {
    if (!m_hWnd) return FALSE;
    const BOOL wasVisible = (m_hWnd->style & WS_VISIBLE) != 0;
    if (nCmdShow == SW_HIDE)
        m_hWnd->style &= ~static_cast<DWORD>(WS_VISIBLE);
    else
        m_hWnd->style |= WS_VISIBLE;
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    if (!m_hWnd) return FALSE;
    for (HWND hWnd = m_hWnd; hWnd;
         hWnd = hWnd->className == afximpl::kDialogClass ? nullptr : hWnd->parent) {
        if (!(hWnd->style & WS_VISIBLE)) return FALSE;
    }
    return TRUE;
}

CWnd* CWnd::GetFocus() { return FromHandle(afximpl::GetFocus()); }

CWnd* CWnd::SetFocus() {
    if (!m_hWnd) return nullptr;
    return FromHandle(afximpl::SetFocus(m_hWnd));
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::SendDlgItemMessage(int nID, UINT message, WPARAM wParam, LPARAM lParam) const {
    CWnd* item = GetDlgItem(nID);
    return item ? item->SendMessage(message, wParam, lParam) : 0;
}

void CWnd::CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton) {
    for (int id = nIDFirstButton; id <= nIDLastButton; ++id)
        CheckDlgButton(id, id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED);
}

UINT CWnd::IsDlgButtonChecked(int nIDButton) const {
    return static_cast<UINT>(SendDlgItemMessage(nIDButton, BM_GETCHECK));
}

void CWnd::CheckDlgButton(int nIDButton, UINT nCheck) {
    SendDlgItemMessage(nIDButton, BM_SETCHECK, nCheck);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const {
    rString.Empty();
    if (CWnd* item = GetDlgItem(nID)) item->GetWindowText(rString);
    return rString.GetLength();
}

void CWnd::SetDlgItemText(int nID, LPCTSTR lpszString) {
    if (CWnd* item = GetDlgItem(nID)) item->SetWindowText(lpszString);
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (m_hWnd || !afximpl::IsWindow(hWnd)) return FALSE;
    if (hWnd->object && hWnd->object != hWnd->frameworkObject.get()) return FALSE;
    // The framework's object stays alive, so that pointers handed out before remain usable.
    hWnd->object = this;
    m_hWnd = hWnd;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    CWnd* item = pParent ? pParent->GetDlgItem(static_cast<int>(nID)) : nullptr;
    return item && SubclassWindow(item->m_hWnd);
}

BOOL CWnd::ContinueModal() { return m_bContinueModal; }

void CWnd::EndModalLoop(int nResult) {
    m_nModalResult = nResult;
    m_bContinueModal = FALSE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

void CWnd::OnDraw(CDC*) {}

void CWnd::GetWindowRect(LPRECT lpRect) const {
    if (lpRect) *lpRect = m_hWnd ? m_hWnd->pixels : RECT{};
}

void CWnd::GetClientRect(LPRECT lpRect) const {
    if (!lpRect) return;
    *lpRect = RECT{};
    if (!m_hWnd) return;
    lpRect->right = m_hWnd->pixels.right - m_hWnd->pixels.left;
    lpRect->bottom = m_hWnd->pixels.bottom - m_hWnd->pixels.top;
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    if (!m_hWnd) return;
    m_hWnd->pixels = RECT{x, y, x + std::max(nWidth, 0), y + std::max(nHeight, 0)};
    if (bRepaint) m_hWnd->needsPaint = true;
}

void CWnd::Invalidate(BOOL) {
    if (m_hWnd) m_hWnd->needsPaint = true;
}

BOOL CWnd::GetUpdateRect(LPRECT lpRect, BOOL) const {
    if (!m_hWnd || !m_hWnd->needsPaint) {
        if (lpRect) *lpRect = RECT{};
        return FALSE;
    }
    GetClientRect(lpRect);
    return TRUE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) return FALSE;
        *pResult = 1;
        return TRUE;
    }
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nSig != AfxSig_end; ++entry) {
            if (entry->nSig == AfxSig_lwl && entry->nMessage == message) {
                *pResult = (this->*entry->pfnMessage)(wParam, lParam);
                return TRUE;
            }
        }
    }
    if (message == WM_PAINT) {
        OnDraw(reinterpret_cast<CDC*>(wParam));
        if (m_hWnd) m_hWnd->needsPaint = false;
        *pResult = 0;
        return TRUE;
    }
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT nID = LOWORD(wParam);
    int nCode = HIWORD(wParam);
    if (lParam == 0) {
        if (nID == 0) return FALSE;
        nCode = CN_COMMAND;  // a menu command or an accelerator
    } else {
        // Controls that UpdateData changes must not run handlers in the middle of the exchange.
        if (afximpl::LockoutNotifyWindow() == m_hWnd) return TRUE;
        if (nID == 0) return FALSE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_hWnd) return 0;
    return m_hWnd->classProc(m_hWnd, message, wParam, lParam);
}
