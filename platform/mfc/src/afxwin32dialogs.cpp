#include "afxwin32dialogs.h"

#include <algorithm>

#include "afxdc.h"
#include "afxhwnd.h"
#include "afxrestable.h"
#include "afxwin32system.h"

namespace {

// A static that the program has taken over (the kernel's graph) paints itself.
bool IsCustomControl(HWND control) {
    return afximpl::IsClass(control, "STATIC") && control->object != control->frameworkObject.get();
}

// The focus notifications stand for a move of the focus, which the framework's windows follow
// with their own notifications.
bool IsFocusNotification(HWND control, unsigned code) {
    if (afximpl::IsClass(control, "EDIT")) return code == EN_SETFOCUS || code == EN_KILLFOCUS;
    if (afximpl::IsClass(control, "COMBOBOX")) return code == CBN_SETFOCUS || code == CBN_KILLFOCUS;
    if (afximpl::IsClass(control, "BUTTON")) return code == 6 || code == 7;  // BN_(KILL)FOCUS
    return false;
}

// The compiled template of a dialog, from the first module in the resource chain that has it.
std::span<const BYTE> TemplateBytes(const CDialog& dialog) {
    const CResourceName name = dialog.m_lpszTemplateName ? CResourceName(dialog.m_lpszTemplateName)
                                                         : CResourceName(dialog.m_nIDHelp);
    for (const CResourceTable* table : AfxGetResourceChain()) {
        if (const CResourceEntry* entry = table->FindResource(CResourceName(RT_DIALOG), name))
            return entry->data;
    }
    return {};
}

afxwin32::CPenSpec PenOf(const LOGPEN& pen) {
    return {pen.lopnStyle, pen.lopnWidth, pen.lopnColor};
}

afxwin32::CBrushSpec BrushOf(const LOGBRUSH& brush) {
    return {brush.lbStyle == BS_NULL, brush.lbColor};
}

afxwin32::CFontSpec FontOf(const LOGFONT& font) {
    return {static_cast<int>(font.lfHeight), static_cast<int>(font.lfEscapement),
            static_cast<int>(font.lfWeight), font.lfItalic != 0, font.lfFaceName};
}

// A custom control's client area while it paints, drawn through GDI.
class CGdiSurface : public CDrawingSurface {
public:
    CGdiSurface(afxwin32::Handle surface, int width, int height)
        : m_surface(surface), m_bounds(0, 0, width, height) {}

    CRect GetBounds() const override { return m_bounds; }
    int GetDpi() const override { return afxwin32::GetDpi(m_surface); }
    void SetClip(const RECT& rect) override {
        afxwin32::SetClip(m_surface, rect.left, rect.top, rect.right, rect.bottom);
    }
    void DrawPolyline(const POINT* points, int count, const LOGPEN& pen) override {
        std::vector<int> xy;
        for (int i = 0; i < count; ++i) {
            xy.push_back(points[i].x);
            xy.push_back(points[i].y);
        }
        afxwin32::DrawPolyline(m_surface, xy, PenOf(pen));
    }
    void DrawRectangle(const RECT& rect, const LOGPEN& pen, const LOGBRUSH& brush) override {
        afxwin32::DrawRectangle(m_surface, rect.left, rect.top, rect.right, rect.bottom, PenOf(pen),
                                BrushOf(brush));
    }
    void DrawEllipse(const RECT& rect, const LOGPEN& pen, const LOGBRUSH& brush) override {
        afxwin32::DrawEllipse(m_surface, rect.left, rect.top, rect.right, rect.bottom, PenOf(pen),
                              BrushOf(brush));
    }
    void FillRect(const RECT& rect, COLORREF color) override {
        afxwin32::FillRect(m_surface, rect.left, rect.top, rect.right, rect.bottom, color);
    }
    void DrawTextLine(int x, int y, UINT nAlign, const CString& text, const LOGFONT& font,
                      COLORREF textColor, bool opaque, COLORREF bkColor) override {
        afxwin32::DrawTextLine(m_surface, x, y, nAlign, text.str(), FontOf(font), textColor, opaque,
                               bkColor);
    }
    CSize MeasureText(const CString& text, const LOGFONT& font) const override {
        int width = 0, height = 0;
        afxwin32::MeasureText(m_surface, text.str(), FontOf(font), width, height);
        return CSize(width, height);
    }

private:
    afxwin32::Handle m_surface;
    CRect m_bounds;
};

}  // namespace

// One open dialog: the framework's window and the system's, control by control in template
// order.
class CWin32Dialogs::CMirror : public afxwin32::CDialogEvents {
public:
    CDialog* dialog = nullptr;
    afxwin32::Handle window = nullptr;
    afxwin32::Handle owner = nullptr;
    std::vector<HWND> controls;
    std::vector<afxwin32::Handle> systemControls;

    ~CMirror() override { afxwin32::DestroyDialog(window); }

    bool Open(CDialog& opened, afxwin32::Handle ownerWindow) {
        dialog = &opened;
        owner = ownerWindow;
        const std::span<const BYTE> bytes = TemplateBytes(opened);
        if (bytes.empty() || !opened.m_hWnd) return false;
        controls = opened.m_hWnd->children;
        window = afxwin32::CreateDialogFromTemplate(bytes.data(), bytes.size(), ownerWindow, this,
                                                    systemControls);
        if (!window) return false;
        if (systemControls.size() != controls.size()) {
            afxwin32::DestroyDialog(window);
            window = nullptr;
            return false;
        }
        for (size_t i = 0; i < controls.size(); ++i) {
            if (IsCustomControl(controls[i]))
                afxwin32::MakeCustomControl(window, static_cast<int>(i), systemControls[i]);
        }
        return true;
    }

    bool Alive() const { return dialog && dialog->m_hWnd && window; }

    afxwin32::Handle SystemOf(HWND control) const {
        const auto at = std::find(controls.begin(), controls.end(), control);
        return at == controls.end() ? nullptr
                                    : systemControls[static_cast<size_t>(at - controls.begin())];
    }

    // What the user changed on the system's controls, into the framework's, without
    // notifications: those come as the system sends them.
    void Pull() {
        for (size_t i = 0; i < controls.size(); ++i) {
            HWND control = controls[i];
            afxwin32::Handle system = systemControls[i];
            if (afximpl::IsClass(control, "EDIT")) {
                control->text = afxwin32::GetText(system);
                afxwin32::GetSelection(system, control->selStart, control->selEnd);
            } else if (afximpl::IsClass(control, "BUTTON") && afximpl::IsCheckable(control)) {
                control->check = static_cast<UINT>(afxwin32::GetCheck(system));
                // A radio button is a tab stop while it is checked, as the system keeps it.
                if (afximpl::IsRadio(control)) {
                    if (control->check)
                        control->style |= WS_TABSTOP;
                    else
                        control->style &= ~static_cast<DWORD>(WS_TABSTOP);
                }
            } else if (afximpl::IsClass(control, "COMBOBOX")) {
                const int selected = afxwin32::GetCurSel(system);
                const bool valid =
                    selected >= 0 && selected < static_cast<int>(control->items.size());
                control->curSel = valid ? selected : -1;
                control->text = valid ? control->items[static_cast<size_t>(selected)] : "";
            }
        }
    }

    // What the dialog's code set, onto the system's controls; the system's notifications of it
    // are not the user's and do not come back.
    void Push() {
        if (!Alive()) return;
        ++m_pushing;
        HWND record = dialog->m_hWnd;
        if (afxwin32::GetText(window) != record->text) afxwin32::SetText(window, record->text);
        const bool enabled = !(record->style & WS_DISABLED);
        if (afxwin32::IsEnabled(window) != enabled) afxwin32::Enable(window, enabled);
        for (size_t i = 0; i < controls.size(); ++i) {
            HWND control = controls[i];
            afxwin32::Handle system = systemControls[i];
            if (IsCustomControl(control)) {
                if (control->needsPaint) afxwin32::Invalidate(system);
            } else if (afximpl::IsClass(control, "COMBOBOX")) {
                if (afxwin32::GetItems(system) != control->items)
                    afxwin32::SetItems(system, control->items);
                if (afxwin32::GetCurSel(system) != control->curSel)
                    afxwin32::SetCurSel(system, control->curSel);
            } else if (afxwin32::GetText(system) != control->text) {
                afxwin32::SetText(system, control->text);
            }
            if (afximpl::IsClass(control, "EDIT")) {
                int start = 0, end = 0;
                afxwin32::GetSelection(system, start, end);
                if (start != control->selStart || end != control->selEnd)
                    afxwin32::SetSelection(system, control->selStart, control->selEnd);
            }
            if (afximpl::IsClass(control, "BUTTON") && afximpl::IsCheckable(control) &&
                afxwin32::GetCheck(system) != static_cast<int>(control->check))
                afxwin32::SetCheck(system, static_cast<int>(control->check));
            const bool controlEnabled = !(control->style & WS_DISABLED);
            if (afxwin32::IsEnabled(system) != controlEnabled)
                afxwin32::Enable(system, controlEnabled);
            const bool visible = (control->style & WS_VISIBLE) != 0;
            if (afxwin32::IsVisible(system) != visible) afxwin32::Show(system, visible);
        }
        if (afxwin32::Handle focus = SystemOf(afximpl::GetFocus());
            focus && afxwin32::GetFocus() != focus)
            afxwin32::SetFocus(focus);
        --m_pushing;
    }

    // The framework's focus follows the system's, with the framework's own notifications.
    void FollowFocus() {
        const afxwin32::Handle focus = afxwin32::GetFocus();
        const auto at = std::find(systemControls.begin(), systemControls.end(), focus);
        if (at == systemControls.end()) return;
        HWND control = controls[static_cast<size_t>(at - systemControls.begin())];
        if (afximpl::GetFocus() != control) afximpl::SetFocus(control);
    }

    void Command(int index, int id, unsigned code) override {
        if (m_pushing || !Alive()) return;
        HWND control = index >= 0 ? controls[static_cast<size_t>(index)] : nullptr;
        Pull();
        FollowFocus();
        if (Alive() && !(control && IsFocusNotification(control, code))) {
            // Enter without a default button names no control: the button with the id, if any.
            if (!control) {
                for (HWND child : controls) {
                    if (child->id == id) control = child;
                }
            }
            ::SendMessage(dialog->m_hWnd, WM_COMMAND,
                          MAKEWPARAM(static_cast<WORD>(id), static_cast<WORD>(code)),
                          reinterpret_cast<LPARAM>(control));
        }
        Push();
        afxwin32::WakeUp();  // the dialog may have ended
    }

    void Paint(int index, afxwin32::Handle surface, int width, int height) override {
        if (!Alive() || index < 0) return;
        HWND control = controls[static_cast<size_t>(index)];
        CGdiSurface gdi(surface, width, height);
        CDC dc(&gdi);
        ::SendMessage(control, WM_PAINT, reinterpret_cast<WPARAM>(&dc), 0);
    }

    void Mouse(int index, unsigned message, unsigned keys, int x, int y) override {
        if (m_pushing || !Alive() || index < 0) return;
        Pull();
        ::SendMessage(controls[static_cast<size_t>(index)], message, keys,
                      MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
        Push();
        afxwin32::WakeUp();
    }

    // After an input: the messages it caused, then what the code changed.
    void Settle() {
        afxwin32::Pump(window);
        Push();
    }

private:
    int m_pushing = 0;
};

CWin32Dialogs::CWin32Dialogs() = default;

CWin32Dialogs::~CWin32Dialogs() = default;

CWin32Dialogs::CMirror* CWin32Dialogs::MirrorOf(const CWnd& window) const {
    HWND hWnd = window.m_hWnd;
    for (const auto& mirror : m_open) {
        if (!mirror->Alive()) continue;
        if (mirror->dialog->m_hWnd == hWnd || mirror->SystemOf(hWnd)) return mirror.get();
    }
    return nullptr;
}

void* CWin32Dialogs::GetSystemWindow(const CDialog& dialog) const {
    CMirror* mirror = MirrorOf(dialog);
    return mirror ? mirror->window : nullptr;
}

void* CWin32Dialogs::GetSystemControl(const CWnd& control) const {
    CMirror* mirror = MirrorOf(control);
    return mirror ? mirror->SystemOf(control.m_hWnd) : nullptr;
}

void CWin32Dialogs::DialogOpened(CDialog& dialog) {
    auto mirror = std::make_unique<CMirror>();
    afxwin32::Handle owner = m_open.empty() ? nullptr : m_open.back()->window;
    if (!mirror->Open(dialog, owner)) {
        if (m_failure.IsEmpty()) {
            CString caption;
            dialog.GetWindowText(caption);
            m_failure =
                "dialog \"" + caption + "\" cannot be created on the Windows dialog manager";
        }
        return;
    }
    int baseX = 0, baseY = 0;
    afxwin32::GetBaseUnits(mirror->window, baseX, baseY);
    LayOutDialog(dialog, baseX, baseY);
    // The owner takes no input while its modal dialog is up.
    if (owner) afxwin32::Enable(owner, false);
    mirror->Push();
    afxwin32::ShowDialog(mirror->window);
    mirror->Settle();
    m_open.push_back(std::move(mirror));
}

void CWin32Dialogs::ActionPlayed(CDialog& dialog) {
    CMirror* mirror = MirrorOf(dialog);
    if (!mirror) return;
    mirror->Settle();
    if (m_pauseMs > 0) afxwin32::PumpFor(mirror->window, m_pauseMs);
}

void CWin32Dialogs::DialogClosing(CDialog& dialog) {
    const auto at = std::find_if(m_open.begin(), m_open.end(), [&dialog](const auto& mirror) {
        return mirror->dialog == &dialog;
    });
    if (at == m_open.end()) return;
    std::unique_ptr<CMirror> mirror = std::move(*at);
    m_open.erase(at);
    if (mirror->owner) afxwin32::Enable(mirror->owner, true);
    afxwin32::Handle owner = mirror->owner;
    mirror.reset();
    if (owner) afxwin32::Pump(owner);
}

CString CWin32Dialogs::Click(CWnd& control) {
    CMirror* mirror = MirrorOf(control);
    if (!mirror) return ClickControl(control);
    if (CString refusal = InputRefusal(control); !refusal.IsEmpty()) return refusal;
    HWND hWnd = control.m_hWnd;
    afxwin32::Handle system = mirror->SystemOf(hWnd);
    if (afximpl::IsClass(hWnd, "BUTTON") && afximpl::ButtonType(hWnd) != BS_GROUPBOX) {
        afxwin32::Click(system);
    } else if (afximpl::IsClass(hWnd, "EDIT") || afximpl::IsClass(hWnd, "COMBOBOX")) {
        afxwin32::SetFocus(system);
    } else {
        return "control " + DescribeControl(control) + " takes no clicks";
    }
    mirror->Settle();
    return CString();
}

CString CWin32Dialogs::Type(CWnd& edit, LPCTSTR text) {
    CMirror* mirror = MirrorOf(edit);
    if (!mirror) return TypeText(edit, text);
    if (CString refusal = InputRefusal(edit); !refusal.IsEmpty()) return refusal;
    HWND hWnd = edit.m_hWnd;
    if (!afximpl::IsClass(hWnd, "EDIT"))
        return "control " + DescribeControl(edit) + " is not an edit";
    if (hWnd->style & ES_READONLY) return "control " + DescribeControl(edit) + " is read-only";
    afxwin32::Handle system = mirror->SystemOf(hWnd);
    afxwin32::SetFocus(system);
    afxwin32::SetSelection(system, 0, -1);
    afxwin32::ReplaceSelection(system, text ? text : "");
    mirror->Settle();
    return CString();
}

CString CWin32Dialogs::Select(CWnd& comboBox, int index) {
    CMirror* mirror = MirrorOf(comboBox);
    if (!mirror) return SelectItem(comboBox, index);
    if (CString refusal = InputRefusal(comboBox); !refusal.IsEmpty()) return refusal;
    HWND hWnd = comboBox.m_hWnd;
    if (!afximpl::IsClass(hWnd, "COMBOBOX"))
        return "control " + DescribeControl(comboBox) + " is not a combo box";
    if (index < 0 || index >= static_cast<int>(hWnd->items.size())) {
        CString text;
        text.Format("control %s has no item %d", DescribeControl(comboBox).GetString(), index);
        return text;
    }
    // A choice from the list: the system tells the dialog of the new item, then that the choice
    // is made.
    afxwin32::Handle system = mirror->SystemOf(hWnd);
    afxwin32::SetFocus(system);
    afxwin32::SetCurSel(system, index);
    afxwin32::Notify(mirror->window, system, CBN_SELCHANGE);
    afxwin32::Notify(mirror->window, system, CBN_SELENDOK);
    mirror->Settle();
    return CString();
}

CString CWin32Dialogs::Focus(CWnd& control) {
    CMirror* mirror = MirrorOf(control);
    if (!mirror) return FocusControl(control);
    if (CString refusal = InputRefusal(control); !refusal.IsEmpty()) return refusal;
    HWND hWnd = control.m_hWnd;
    if (afximpl::IsClass(hWnd, "STATIC") ||
        (afximpl::IsClass(hWnd, "BUTTON") && afximpl::ButtonType(hWnd) == BS_GROUPBOX))
        return "control " + DescribeControl(control) + " takes no focus";
    afxwin32::Handle system = mirror->SystemOf(hWnd);
    afxwin32::SetFocus(system);
    if (afximpl::IsClass(hWnd, "EDIT")) afxwin32::SetSelection(system, 0, -1);
    mirror->Settle();
    return CString();
}

CString CWin32Dialogs::PressKey(CDialog& dialog, UINT nVirtKey, BOOL bShift) {
    CMirror* mirror = MirrorOf(dialog);
    if (!mirror) return CDialogDriver::PressKey(dialog, nVirtKey, bShift);
    afxwin32::PressKey(mirror->window, nVirtKey, bShift != FALSE);
    mirror->Settle();
    return CString();
}

CString CWin32Dialogs::Close(CDialog& dialog) {
    CMirror* mirror = MirrorOf(dialog);
    if (!mirror) return CloseDialog(dialog);
    afxwin32::Close(mirror->window);
    mirror->Settle();
    return CString();
}

void CWin32Dialogs::RunModalLoop(CDialog& dialog) {
    DialogOpened(dialog);
    CMirror* mirror = MirrorOf(dialog);
    if (!mirror) {
        dialog.EndDialog(-1);
        return;
    }
    afxwin32::RunModalLoop(mirror->window, [&dialog] { return dialog.ContinueModal() != FALSE; });
    if (dialog.ContinueModal()) dialog.EndDialog(-1);  // the application is quitting
    DialogClosing(dialog);
}

int CWin32Dialogs::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
    m_shownMessages.emplace_back(lpszText ? lpszText : "");
    afxwin32::Handle owner = m_open.empty() ? nullptr : m_open.back()->window;
    return afxwin32::ShowMessageBox(owner, lpszText ? lpszText : "", lpszCaption ? lpszCaption : "",
                                    nType);
}

BOOL CWin32Dialogs::ChooseFile(BOOL bOpenFileDialog, LPCTSTR lpszFilter, CString& path) {
    afxwin32::Handle owner = m_open.empty() ? nullptr : m_open.back()->window;
    std::string chosen = path.str();
    if (!afxwin32::ChooseFile(owner, bOpenFileDialog != FALSE, lpszFilter ? lpszFilter : "",
                              chosen))
        return FALSE;
    path = CString(chosen);
    return TRUE;
}
