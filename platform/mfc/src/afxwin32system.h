// The Windows side of the dialogs on the system's dialog manager: real windows, the modal loop,
// keys through IsDialogMessage and drawing through GDI. Plain types only, since <windows.h>
// and the framework's headers name the same things in different ways.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace afxwin32 {

using Handle = void*;

// What a real dialog reports to the framework's side.
class CDialogEvents {
public:
    virtual ~CDialogEvents() = default;
    // WM_COMMAND: `index` the control's place among the dialog's children (-1 when the command
    // names no control, as Enter without a default button does).
    virtual void Command(int index, int id, unsigned code) = 0;
    // WM_PAINT of a custom control: `surface` draws on its client area, w by h pixels.
    virtual void Paint(int index, Handle surface, int width, int height) = 0;
    // Mouse input to a custom control, in its client pixels.
    virtual void Mouse(int index, unsigned message, unsigned keys, int x, int y) = 0;
};

// Creates a dialog from a compiled template (DLGTEMPLATEEX or DLGTEMPLATE) with
// CreateDialogIndirectParam, hidden, owned by `owner`. `children` gets its controls in template
// order. Null when the system refuses.
Handle CreateDialogFromTemplate(const unsigned char* bytes, std::size_t size, Handle owner,
                                CDialogEvents* events, std::vector<Handle>& children);
void DestroyDialog(Handle dialog);
void ShowDialog(Handle dialog);
// The dialog's base units (average character width and height of its font, in pixels).
void GetBaseUnits(Handle dialog, int& x, int& y);

// The control draws itself through events->Paint and passes its mouse input there too.
void MakeCustomControl(Handle dialog, int index, Handle control);
void Invalidate(Handle window);

std::string ClassOf(Handle window);
std::string GetText(Handle window);
void SetText(Handle window, const std::string& text);
bool IsEnabled(Handle window);
void Enable(Handle window, bool enable);
bool IsVisible(Handle window);
void Show(Handle window, bool show);
Handle GetFocus();
void SetFocus(Handle window);

int GetCheck(Handle button);
void SetCheck(Handle button, int check);
void Click(Handle button);

void GetSelection(Handle edit, int& start, int& end);
void SetSelection(Handle edit, int start, int end);
void ReplaceSelection(Handle edit, const std::string& text);

std::vector<std::string> GetItems(Handle comboBox);
void SetItems(Handle comboBox, const std::vector<std::string>& items);
int GetCurSel(Handle comboBox);
void SetCurSel(Handle comboBox, int index);
// The notification that a control sends its dialog, as the system sends it on a user's choice.
void Notify(Handle dialog, Handle control, unsigned code);

// A key pressed and released on the control with the focus, through IsDialogMessage.
void PressKey(Handle dialog, unsigned virtualKey, bool shift);
// WM_CLOSE, as the close box sends it.
void Close(Handle dialog);
// Runs every message waiting, through the dialog manager.
void Pump(Handle dialog);
// Runs the messages that come within `milliseconds`.
void PumpFor(Handle dialog, int milliseconds);
// The modal loop: GetMessage, IsDialogMessage, until `running` turns false.
void RunModalLoop(Handle dialog, const std::function<bool()>& running);
// Wakes the modal loop so that it looks at `running` again.
void WakeUp();

int ShowMessageBox(Handle owner, const std::string& text, const std::string& caption,
                   unsigned type);
// `filter` as CFileDialog takes it ("Text Files (*.txt)|*.txt||"). False when cancelled.
bool ChooseFile(Handle owner, bool open, const std::string& filter, std::string& path);

// Drawing on a custom control while it paints: the surface that events->Paint received.
struct CFontSpec {
    int height = 0;  // < 0: character height in pixels; 0: the dialog's font
    int escapement = 0;
    int weight = 400;
    bool italic = false;
    std::string face;
};
struct CPenSpec {
    unsigned style = 0;
    int width = 1;
    unsigned color = 0;
};
struct CBrushSpec {
    bool hollow = false;
    unsigned color = 0;
};
void SetClip(Handle surface, int left, int top, int right, int bottom);
void DrawPolyline(Handle surface, const std::vector<int>& xy, const CPenSpec& pen);
void DrawRectangle(Handle surface, int left, int top, int right, int bottom, const CPenSpec& pen,
                   const CBrushSpec& brush);
void DrawEllipse(Handle surface, int left, int top, int right, int bottom, const CPenSpec& pen,
                 const CBrushSpec& brush);
void FillRect(Handle surface, int left, int top, int right, int bottom, unsigned color);
void DrawTextLine(Handle surface, int x, int y, unsigned align, const std::string& text,
                  const CFontSpec& font, unsigned textColor, bool opaque, unsigned bkColor);
void MeasureText(Handle surface, const std::string& text, const CFontSpec& font, int& width,
                 int& height);
int GetDpi(Handle surface);

}  // namespace afxwin32
