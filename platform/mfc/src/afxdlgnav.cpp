// The dialog manager's keyboard navigation: Tab stops and groups, in template order.
#include <algorithm>

#include "afxhwnd.h"

namespace {

// Hidden or disabled controls take no input; statics and group boxes never take the focus from
// the keyboard, except a window that a program made of a static (the kernel's graph) when its
// template makes it a tab stop.
bool TakesKeyboardFocus(HWND control) {
    if (!(control->style & WS_VISIBLE) || (control->style & WS_DISABLED)) return false;
    if (afximpl::IsClass(control, "STATIC"))
        return control->object != control->frameworkObject.get() && (control->style & WS_TABSTOP);
    return !(afximpl::IsClass(control, "BUTTON") && afximpl::ButtonType(control) == BS_GROUPBOX);
}

// The index of the child, or -1.
long IndexOf(const std::vector<HWND>& children, HWND child) {
    const auto at = std::find(children.begin(), children.end(), child);
    return at == children.end() ? -1 : static_cast<long>(at - children.begin());
}

}  // namespace

CWnd* CWnd::GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious) const {
    if (!m_hWnd || m_hWnd->children.empty()) return nullptr;
    const auto& children = m_hWnd->children;
    const long count = static_cast<long>(children.size());
    long at = pWndCtl ? IndexOf(children, pWndCtl->m_hWnd) : -1;
    if (at < 0) at = bPrevious ? 0 : count - 1;
    for (long step = 1; step <= count; ++step) {
        const long index = ((bPrevious ? at - step : at + step) % count + count) % count;
        const HWND child = children[static_cast<size_t>(index)];
        if ((child->style & WS_TABSTOP) && TakesKeyboardFocus(child)) return FromHandle(child);
    }
    return nullptr;
}

CWnd* CWnd::GetNextDlgGroupItem(CWnd* pWndCtl, BOOL bPrevious) const {
    if (!m_hWnd || !pWndCtl) return nullptr;
    const auto& children = m_hWnd->children;
    const long at = IndexOf(children, pWndCtl->m_hWnd);
    if (at < 0) return nullptr;
    long first = at;
    while (first > 0 && !(children[static_cast<size_t>(first)]->style & WS_GROUP)) --first;
    long end = at + 1;
    while (end < static_cast<long>(children.size()) &&
           !(children[static_cast<size_t>(end)]->style & WS_GROUP))
        ++end;
    const long size = end - first;
    for (long step = 1; step < size; ++step) {
        const long offset = ((bPrevious ? at - step : at + step) - first) % size;
        const HWND child = children[static_cast<size_t>(first + (offset + size) % size)];
        if (TakesKeyboardFocus(child)) return FromHandle(child);
    }
    return pWndCtl;
}
