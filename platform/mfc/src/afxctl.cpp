// The control classes: what an edit, a button, a static and a combo box do with their messages,
// and the wrapper objects that the framework hands out for them.
#include <strings.h>

#include <algorithm>
#include <cstring>

#include "afxhwnd.h"

namespace afximpl {
namespace {

const char* TextOf(LPARAM lParam) { return lParam ? reinterpret_cast<const char*>(lParam) : ""; }

LRESULT CopyText(const std::string& text, LPARAM buffer) {
    if (buffer) std::memcpy(reinterpret_cast<char*>(buffer), text.c_str(), text.size() + 1);
    return static_cast<LRESULT>(text.size());
}

void SetSelection(HWND hWnd, int start, int end) {
    const int length = static_cast<int>(hWnd->text.size());
    if (start < 0) {  // -1 removes the selection and leaves the caret where it was
        hWnd->selStart = hWnd->selEnd;
        return;
    }
    if (end < 0 || end > length) end = length;
    start = std::min(start, length);
    hWnd->selStart = std::min(start, end);
    hWnd->selEnd = std::max(start, end);
}

LRESULT EditProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETTEXT:
            hWnd->text = TextOf(lParam);
            hWnd->selStart = hWnd->selEnd = 0;
            // As in Windows, only a single-line edit reports a text set by the program.
            if (!(hWnd->style & ES_MULTILINE)) NotifyParent(hWnd, EN_CHANGE);
            return TRUE;
        case EM_SETSEL:
            SetSelection(hWnd, static_cast<int>(wParam), static_cast<int>(lParam));
            return 0;
        case EM_GETSEL:
            if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(hWnd->selStart);
            if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(hWnd->selEnd);
            return MAKELPARAM(static_cast<WORD>(hWnd->selStart), static_cast<WORD>(hWnd->selEnd));
        case EM_REPLACESEL: {
            const std::string replacement = TextOf(lParam);
            const auto start = static_cast<size_t>(hWnd->selStart);
            hWnd->text.replace(start, static_cast<size_t>(hWnd->selEnd - hWnd->selStart),
                               replacement);
            hWnd->selStart = hWnd->selEnd = static_cast<int>(start + replacement.size());
            NotifyParent(hWnd, EN_CHANGE);
            return 0;
        }
        case EM_SCROLLCARET:
            return TRUE;  // the whole text is always in view without a screen
        case WM_SETFOCUS:
            NotifyParent(hWnd, EN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            NotifyParent(hWnd, EN_KILLFOCUS);
            return 0;
        default:
            return DefaultWindowProc(hWnd, message, wParam, lParam);
    }
}

// A radio button is a tab stop while it is checked, so that Tab reaches the checked button of
// each group.
void SetCheck(HWND hWnd, UINT check) {
    if (!IsCheckable(hWnd)) return;
    hWnd->check = check;
    if (!IsRadio(hWnd)) return;
    if (check)
        hWnd->style |= WS_TABSTOP;
    else
        hWnd->style &= ~static_cast<DWORD>(WS_TABSTOP);
}

// An auto radio button's group: from the nearest WS_GROUP control at or before it up to the next
// WS_GROUP control.
void ClearRestOfRadioGroup(HWND button) {
    if (!button->parent) return;
    const auto& siblings = button->parent->children;
    auto at = std::find(siblings.begin(), siblings.end(), button);
    auto first = at;
    while (first != siblings.begin() && !((*first)->style & WS_GROUP)) --first;
    for (auto it = first; it != siblings.end(); ++it) {
        if (it != first && ((*it)->style & WS_GROUP)) break;
        if (*it != button && IsClass(*it, "BUTTON") && ButtonType(*it) == BS_AUTORADIOBUTTON)
            SetCheck(*it, BST_UNCHECKED);
    }
}

LRESULT ButtonProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case BM_GETCHECK:
            return IsCheckable(hWnd) ? hWnd->check : BST_UNCHECKED;
        case BM_SETCHECK:
            SetCheck(hWnd, static_cast<UINT>(wParam));
            return 0;
        case BM_CLICK:
            if ((hWnd->style & WS_DISABLED) || ButtonType(hWnd) == BS_GROUPBOX) return 0;
            switch (ButtonType(hWnd)) {
                case BS_AUTOCHECKBOX:
                    hWnd->check = hWnd->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
                    break;
                case BS_AUTO3STATE:
                    hWnd->check = (hWnd->check + 1) % 3;
                    break;
                case BS_AUTORADIOBUTTON:
                    SetCheck(hWnd, BST_CHECKED);
                    ClearRestOfRadioGroup(hWnd);
                    break;
                default:
                    break;
            }
            NotifyParent(hWnd, BN_CLICKED);
            return 0;
        default:
            return DefaultWindowProc(hWnd, message, wParam, lParam);
    }
}

bool SameTextIgnoringCase(const std::string& a, const char* b) {
    return strcasecmp(a.c_str(), b) == 0;
}

LRESULT ComboBoxProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const int count = static_cast<int>(hWnd->items.size());
    const int index = static_cast<int>(wParam);
    switch (message) {
        case CB_ADDSTRING: {
            const std::string item = TextOf(lParam);
            auto at = hWnd->items.end();
            if (hWnd->style & CBS_SORT) {
                at = std::upper_bound(hWnd->items.begin(), hWnd->items.end(), item,
                                      [](const std::string& a, const std::string& b) {
                                          return strcasecmp(a.c_str(), b.c_str()) < 0;
                                      });
            }
            return hWnd->items.insert(at, item) - hWnd->items.begin();
        }
        case CB_RESETCONTENT:
            hWnd->items.clear();
            hWnd->curSel = -1;
            hWnd->text.clear();
            return 0;
        case CB_GETCOUNT:
            return count;
        case CB_GETCURSEL:
            return hWnd->curSel;
        case CB_SETCURSEL:
            if (index < 0 || index >= count) {
                hWnd->curSel = -1;
                hWnd->text.clear();
                return CB_ERR;
            }
            hWnd->curSel = index;
            hWnd->text = hWnd->items[static_cast<size_t>(index)];
            return index;
        case CB_GETLBTEXT:
        case CB_GETLBTEXTLEN:
            if (index < 0 || index >= count) return CB_ERR;
            return message == CB_GETLBTEXT
                       ? CopyText(hWnd->items[static_cast<size_t>(index)], lParam)
                       : static_cast<LRESULT>(hWnd->items[static_cast<size_t>(index)].size());
        case CB_FINDSTRINGEXACT:
            // Searches after the start item and wraps around, as Windows does.
            for (int step = 1; step <= count; ++step) {
                const int at = ((index < 0 ? -1 : index) + step) % count;
                if (SameTextIgnoringCase(hWnd->items[static_cast<size_t>(at)], TextOf(lParam)))
                    return at;
            }
            return CB_ERR;
        case WM_SETFOCUS:
            NotifyParent(hWnd, CBN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            NotifyParent(hWnd, CBN_KILLFOCUS);
            return 0;
        default:
            return DefaultWindowProc(hWnd, message, wParam, lParam);
    }
}

}  // namespace

WNDPROC ClassProcFor(const std::string& className) {
    if (className == kDialogClass) return DialogWindowProc;
    if (className == "EDIT") return EditProc;
    if (className == "BUTTON") return ButtonProc;
    if (className == "COMBOBOX") return ComboBoxProc;
    return DefaultWindowProc;  // STATIC and classes of the program's own
}

std::unique_ptr<CWnd> MakeControlObject(const std::string& className) {
    if (className == "EDIT") return std::make_unique<CEdit>();
    if (className == "BUTTON") return std::make_unique<CButton>();
    if (className == "COMBOBOX") return std::make_unique<CComboBox>();
    if (className == "STATIC") return std::make_unique<CStatic>();
    return std::make_unique<CWnd>();
}

}  // namespace afximpl

void CEdit::GetSel(int& nStartChar, int& nEndChar) const {
    DWORD start = 0, end = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    nStartChar = static_cast<int>(start);
    nEndChar = static_cast<int>(end);
}

int CComboBox::AddString(LPCTSTR lpszString) {
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszString)));
}

int CComboBox::SetCurSel(int nSelect) {
    return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(nSelect)));
}

int CComboBox::GetLBTextLen(int nIndex) const {
    return static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(nIndex)));
}

void CComboBox::GetLBText(int nIndex, CString& rString) const {
    const int length = GetLBTextLen(nIndex);
    if (length < 0) {
        rString.Empty();
        return;
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    rString = CString(std::move(text));
}

int CComboBox::FindStringExact(int nIndexStart, LPCTSTR lpszFind) const {
    return static_cast<int>(SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(nIndexStart),
                                        reinterpret_cast<LPARAM>(lpszFind)));
}
