// What travex-host needs of a window system: the editor in a window, a script's actions shown on
// one, and drawings saved as files. It lives in libhostgraphics.so with the host's libraries,
// loaded only by the commands that use it: the toolkit's libraries take longer to load than a short
// translation takes to run.
#pragma once

#include <DrawingFile.h>
#include <afxheadlessdriver.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Keeps the toolkit's application, which windows need, while it lives.
class WindowApplication {
public:
    virtual ~WindowApplication() = default;
};

class HostGraphics {
public:
    virtual ~HostGraphics() = default;

    // Whether there is a desktop (or an offscreen platform) to show windows on.
    virtual bool HasDisplay() const = 0;
    virtual std::unique_ptr<WindowApplication> OpenApplication() = 0;

    // Runs `openEditor` with the windowed dialog driver in place, so that the dialog it opens is
    // a window for the user to work. `messages` gets the texts of the message boxes shown;
    // `shownDialog` whether a dialog was opened at all. Returns what `openEditor` returned.
    virtual BOOL RunWithWindows(const std::function<BOOL()>& openEditor,
                                std::vector<CString>& messages, bool& shownDialog) = 0;
    // A viewer that shows the dialogs of a played script in windows, pausing `delayMs` after each
    // action. Needs the application.
    virtual std::unique_ptr<CDialogViewer> MakeMirror(int delayMs) = 0;

    // The format that the extension of `path` asks for; false for another.
    virtual bool FormatOfPath(const std::string& path, DrawingFormat& format) const = 0;
    // The bytes of a file of `format` showing draw() on `size` pixels, with `title` as the
    // document's title where the format has one; false with a message.
    virtual bool Render(DrawingFormat format, CSize size, const DrawFunction& draw,
                        const std::string& title, std::string& bytes, std::string& error) = 0;
};

// The library's one export: its HostGraphics, which lives as long as the process.
extern "C" HostGraphics* TravexHostGraphics();

// Loads libhostgraphics.so from the program's directory the first time; null with a message when
// it cannot be loaded.
HostGraphics* LoadHostGraphics(std::string& error);
