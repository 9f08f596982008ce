#include "afxwin32system.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commdlg.h>

#include <algorithm>
#include <memory>

namespace afxwin32 {
namespace {

// What a dialog keeps in DWLP_USER.
struct CDialogData {
    CDialogEvents* events = nullptr;
    std::vector<HWND> children;
};

constexpr const char* kIndexProperty = "TravexControlIndex";
constexpr const char* kProcProperty = "TravexControlProc";

HWND H(Handle handle) { return static_cast<HWND>(handle); }

CDialogData* DataOf(HWND dialog) {
    return reinterpret_cast<CDialogData*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

int IndexOf(HWND dialog, HWND control) {
    const CDialogData* data = DataOf(dialog);
    if (!data || !control) return -1;
    const auto at = std::find(data->children.begin(), data->children.end(), control);
    return at == data->children.end() ? -1 : static_cast<int>(at - data->children.begin());
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            return FALSE;  // the framework gives the focus
        case WM_COMMAND:
            if (CDialogData* data = DataOf(dialog); data && data->events) {
                const HWND control = reinterpret_cast<HWND>(lParam);
                data->events->Command(IndexOf(dialog, control), LOWORD(wParam), HIWORD(wParam));
            }
            return TRUE;
        default:
            return FALSE;
    }
}

// A control on a custom control's paint: its device context and the dialog's font.
struct CSurface {
    HDC dc = nullptr;
    HWND window = nullptr;
};

LRESULT CALLBACK CustomControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto original = reinterpret_cast<WNDPROC>(GetPropA(window, kProcProperty));
    const int index = static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(window, kIndexProperty)));
    CDialogData* data = DataOf(GetParent(window));
    CDialogEvents* events = data ? data->events : nullptr;
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT client;
            GetClientRect(window, &client);
            if (events) {
                const int saved = SaveDC(dc);
                CSurface surface{dc, window};
                events->Paint(index, &surface, client.right, client.bottom);
                RestoreDC(dc, saved);
            }
            EndPaint(window, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return TRUE;  // the paint covers the whole client area
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MOUSEMOVE:
            if (events) {
                if (message == WM_LBUTTONDOWN) SetCapture(window);
                if (message == WM_LBUTTONUP && GetCapture() == window) ReleaseCapture();
                events->Mouse(index, message, static_cast<unsigned>(wParam),
                              static_cast<short>(LOWORD(lParam)),
                              static_cast<short>(HIWORD(lParam)));
                return 0;
            }
            break;
        case WM_NCHITTEST:
            return HTCLIENT;  // a static is transparent to the mouse otherwise
        case WM_NCDESTROY:
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
            RemovePropA(window, kProcProperty);
            RemovePropA(window, kIndexProperty);
            break;
        default:
            break;
    }
    return CallWindowProcA(original, window, message, wParam, lParam);
}

HFONT MakeFont(const CSurface& surface, const CFontSpec& spec) {
    LOGFONTA font{};
    if (HFONT dialogFont =
            reinterpret_cast<HFONT>(SendMessageA(surface.window, WM_GETFONT, 0, 0))) {
        GetObjectA(dialogFont, sizeof font, &font);
    } else {
        font.lfHeight = -11;
        lstrcpynA(font.lfFaceName, "MS Shell Dlg", LF_FACESIZE);
    }
    if (spec.height != 0) font.lfHeight = spec.height;
    if (!spec.face.empty()) lstrcpynA(font.lfFaceName, spec.face.c_str(), LF_FACESIZE);
    font.lfWidth = 0;
    font.lfEscapement = font.lfOrientation = spec.escapement;
    font.lfWeight = spec.weight;
    font.lfItalic = spec.italic ? TRUE : FALSE;
    return CreateFontIndirectA(&font);
}

// Selects a pen and brush for an outline and inside, and puts the previous ones back.
class CSelectedOutline {
public:
    CSelectedOutline(HDC dc, const CPenSpec& pen, const CBrushSpec& brush) : m_dc(dc) {
        m_pen = pen.style == PS_NULL ? nullptr
                                     : CreatePen(static_cast<int>(pen.style), pen.width, pen.color);
        m_brush = brush.hollow ? nullptr : CreateSolidBrush(brush.color);
        m_oldPen = SelectObject(dc, m_pen ? static_cast<HGDIOBJ>(m_pen) : GetStockObject(NULL_PEN));
        m_oldBrush =
            SelectObject(dc, m_brush ? static_cast<HGDIOBJ>(m_brush) : GetStockObject(NULL_BRUSH));
    }
    ~CSelectedOutline() {
        SelectObject(m_dc, m_oldPen);
        SelectObject(m_dc, m_oldBrush);
        if (m_pen) DeleteObject(m_pen);
        if (m_brush) DeleteObject(m_brush);
    }
    CSelectedOutline(const CSelectedOutline&) = delete;
    CSelectedOutline& operator=(const CSelectedOutline&) = delete;

private:
    HDC m_dc;
    HPEN m_pen;
    HBRUSH m_brush;
    HGDIOBJ m_oldPen;
    HGDIOBJ m_oldBrush;
};

const CSurface& S(Handle surface) { return *static_cast<const CSurface*>(surface); }

}  // namespace

Handle CreateDialogFromTemplate(const unsigned char* bytes, std::size_t size, Handle owner,
                                CDialogEvents* events, std::vector<Handle>& children) {
    children.clear();
    if (!bytes || size < sizeof(DLGTEMPLATE)) return nullptr;
    // The template is read in place; DWORD alignment is what the system asks of it.
    std::vector<DWORD> aligned((size + sizeof(DWORD) - 1) / sizeof(DWORD));
    std::copy(bytes, bytes + size, reinterpret_cast<unsigned char*>(aligned.data()));
    auto data = std::make_unique<CDialogData>();
    data->events = events;
    HWND dialog = CreateDialogIndirectParamA(
        GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(aligned.data()), H(owner),
        DialogProc, reinterpret_cast<LPARAM>(data.get()));
    if (!dialog) return nullptr;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        data->children.push_back(child);
    children.assign(data->children.begin(), data->children.end());
    data.release();  // the dialog's now, freed by DestroyDialog
    return dialog;
}

void DestroyDialog(Handle dialog) {
    if (!IsWindow(H(dialog))) return;
    std::unique_ptr<CDialogData> data(DataOf(H(dialog)));
    // Whatever the controls say while they go is not the user's input.
    if (data) data->events = nullptr;
    DestroyWindow(H(dialog));
}

void ShowDialog(Handle dialog) {
    ShowWindow(H(dialog), SW_SHOW);
    UpdateWindow(H(dialog));
}

void GetBaseUnits(Handle dialog, int& x, int& y) {
    RECT rect{0, 0, 4, 8};
    MapDialogRect(H(dialog), &rect);
    x = rect.right;
    y = rect.bottom;
}

void MakeCustomControl(Handle dialog, int index, Handle control) {
    (void)dialog;
    HWND window = H(control);
    SetPropA(window, kIndexProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(index)));
    SetPropA(window, kProcProperty,
             reinterpret_cast<HANDLE>(GetWindowLongPtrA(window, GWLP_WNDPROC)));
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CustomControlProc));
}

void Invalidate(Handle window) { InvalidateRect(H(window), nullptr, TRUE); }

std::string ClassOf(Handle window) {
    char name[256] = {};
    GetClassNameA(H(window), name, sizeof name);
    return name;
}

std::string GetText(Handle window) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(H(window))) + 1, '\0');
    text.resize(
        static_cast<size_t>(GetWindowTextA(H(window), text.data(), static_cast<int>(text.size()))));
    return text;
}

void SetText(Handle window, const std::string& text) { SetWindowTextA(H(window), text.c_str()); }

bool IsEnabled(Handle window) { return IsWindowEnabled(H(window)) != FALSE; }

void Enable(Handle window, bool enable) { EnableWindow(H(window), enable ? TRUE : FALSE); }

bool IsVisible(Handle window) { return (GetWindowLongA(H(window), GWL_STYLE) & WS_VISIBLE) != 0; }

void Show(Handle window, bool show) { ShowWindow(H(window), show ? SW_SHOWNA : SW_HIDE); }

Handle GetFocus() { return ::GetFocus(); }

void SetFocus(Handle window) { ::SetFocus(H(window)); }

int GetCheck(Handle button) { return static_cast<int>(SendMessageA(H(button), BM_GETCHECK, 0, 0)); }

void SetCheck(Handle button, int check) {
    SendMessageA(H(button), BM_SETCHECK, static_cast<WPARAM>(check), 0);
}

void Click(Handle button) { SendMessageA(H(button), BM_CLICK, 0, 0); }

void GetSelection(Handle edit, int& start, int& end) {
    DWORD first = 0, last = 0;
    SendMessageA(H(edit), EM_GETSEL, reinterpret_cast<WPARAM>(&first),
                 reinterpret_cast<LPARAM>(&last));
    start = static_cast<int>(first);
    end = static_cast<int>(last);
}

void SetSelection(Handle edit, int start, int end) {
    SendMessageA(H(edit), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void ReplaceSelection(Handle edit, const std::string& text) {
    SendMessageA(H(edit), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

std::vector<std::string> GetItems(Handle comboBox) {
    std::vector<std::string> items;
    const auto count = SendMessageA(H(comboBox), CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = SendMessageA(H(comboBox), CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::string text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
        SendMessageA(H(comboBox), CB_GETLBTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(std::max<LRESULT>(length, 0)));
        items.push_back(std::move(text));
    }
    return items;
}

void SetItems(Handle comboBox, const std::vector<std::string>& items) {
    SendMessageA(H(comboBox), CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items)
        SendMessageA(H(comboBox), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int GetCurSel(Handle comboBox) {
    return static_cast<int>(SendMessageA(H(comboBox), CB_GETCURSEL, 0, 0));
}

void SetCurSel(Handle comboBox, int index) {
    SendMessageA(H(comboBox), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Notify(Handle dialog, Handle control, unsigned code) {
    const int id = GetDlgCtrlID(H(control));
    SendMessageA(H(dialog), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

void PressKey(Handle dialog, unsigned virtualKey, bool shift) {
    BYTE keys[256];
    GetKeyboardState(keys);
    const BYTE shiftBefore = keys[VK_SHIFT];
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    HWND focus = ::GetFocus();
    HWND target = focus && IsChild(H(dialog), focus) ? focus : H(dialog);
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
        MSG msg{};
        msg.hwnd = target;
        msg.message = message;
        msg.wParam = virtualKey;
        msg.lParam = scan | 1 | (message == WM_KEYUP ? LPARAM{3} << 30 : 0);
        if (!IsWindow(H(dialog)) || !IsDialogMessageA(H(dialog), &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Pump(dialog);
        if (!IsWindow(target)) break;
    }
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shiftBefore;
    SetKeyboardState(keys);
}

void Close(Handle dialog) { SendMessageA(H(dialog), WM_CLOSE, 0, 0); }

void Pump(Handle dialog) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (!IsWindow(H(dialog)) || !IsDialogMessageA(H(dialog), &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void PumpFor(Handle dialog, int milliseconds) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        Pump(dialog);
    }
}

void RunModalLoop(Handle dialog, const std::function<bool()>& running) {
    MSG msg;
    while (running()) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {  // WM_QUIT belongs to the loop outside, as in MFC
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (got < 0) return;
        if (!IsWindow(H(dialog)) || !IsDialogMessageA(H(dialog), &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void WakeUp() { PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0); }

int ShowMessageBox(Handle owner, const std::string& text, const std::string& caption,
                   unsigned type) {
    return MessageBoxA(H(owner), text.c_str(), caption.c_str(), type);
}

bool ChooseFile(Handle owner, bool open, const std::string& filter, std::string& path) {
    std::string filters = filter;
    std::replace(filters.begin(), filters.end(), '|', '\0');
    filters.push_back('\0');
    char file[MAX_PATH] = {};
    lstrcpynA(file, path.c_str(), MAX_PATH);
    OPENFILENAMEA choice{};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = H(owner);
    choice.lpstrFilter = filters.c_str();
    choice.lpstrFile = file;
    choice.nMaxFile = MAX_PATH;
    choice.Flags = OFN_HIDEREADONLY | (open ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT);
    if (!(open ? GetOpenFileNameA(&choice) : GetSaveFileNameA(&choice))) return false;
    path = file;
    return true;
}

void SetClip(Handle surface, int left, int top, int right, int bottom) {
    HRGN region = CreateRectRgn(left, top, right, bottom);
    SelectClipRgn(S(surface).dc, region);
    DeleteObject(region);
}

void DrawPolyline(Handle surface, const std::vector<int>& xy, const CPenSpec& pen) {
    if (xy.size() < 4) return;
    std::vector<POINT> points(xy.size() / 2);
    for (size_t i = 0; i < points.size(); ++i) points[i] = POINT{xy[2 * i], xy[2 * i + 1]};
    CSelectedOutline outline(S(surface).dc, pen, CBrushSpec{true, 0});
    Polyline(S(surface).dc, points.data(), static_cast<int>(points.size()));
}

void DrawRectangle(Handle surface, int left, int top, int right, int bottom, const CPenSpec& pen,
                   const CBrushSpec& brush) {
    CSelectedOutline outline(S(surface).dc, pen, brush);
    // With a null pen GDI leaves the right and bottom pixels out of the inside as well.
    const int grow = pen.style == PS_NULL ? 1 : 0;
    Rectangle(S(surface).dc, left, top, right + grow, bottom + grow);
}

void DrawEllipse(Handle surface, int left, int top, int right, int bottom, const CPenSpec& pen,
                 const CBrushSpec& brush) {
    CSelectedOutline outline(S(surface).dc, pen, brush);
    Ellipse(S(surface).dc, left, top, right, bottom);
}

void FillRect(Handle surface, int left, int top, int right, int bottom, unsigned color) {
    HBRUSH brush = CreateSolidBrush(color);
    RECT rect{left, top, right, bottom};
    ::FillRect(S(surface).dc, &rect, brush);
    DeleteObject(brush);
}

void DrawTextLine(Handle surface, int x, int y, unsigned align, const std::string& text,
                  const CFontSpec& font, unsigned textColor, bool opaque, unsigned bkColor) {
    HDC dc = S(surface).dc;
    HFONT made = MakeFont(S(surface), font);
    HGDIOBJ old = SelectObject(dc, made);
    SetTextAlign(dc, align);
    SetTextColor(dc, textColor);
    SetBkColor(dc, bkColor);
    SetBkMode(dc, opaque ? OPAQUE : TRANSPARENT);
    TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    SelectObject(dc, old);
    DeleteObject(made);
}

void MeasureText(Handle surface, const std::string& text, const CFontSpec& font, int& width,
                 int& height) {
    CFontSpec upright = font;
    upright.escapement = 0;
    HDC dc = S(surface).dc;
    HFONT made = MakeFont(S(surface), upright);
    HGDIOBJ old = SelectObject(dc, made);
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    if (text.empty()) {
        TEXTMETRICA metrics{};
        GetTextMetricsA(dc, &metrics);
        size.cy = metrics.tmHeight;
    }
    SelectObject(dc, old);
    DeleteObject(made);
    width = size.cx;
    height = size.cy;
}

int GetDpi(Handle surface) { return GetDeviceCaps(S(surface).dc, LOGPIXELSY); }

}  // namespace afxwin32
