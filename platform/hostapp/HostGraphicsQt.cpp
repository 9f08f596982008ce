// libhostgraphics.so: the host's graphics support on the Qt driver.
#include <QtApplicationScope.h>
#include <QtDialogDriver.h>
#include <QtDialogMirror.h>

#include "HostGraphics.h"

namespace {

// Knows whether the module opened its dialog at all.
class WatchedWindowDriver : public QtDialogDriver {
public:
    void RunModalLoop(CDialog& dialog) override {
        m_bShownDialog = true;
        QtDialogDriver::RunModalLoop(dialog);
    }
    bool m_bShownDialog = false;
};

class QtWindowApplication : public WindowApplication {
    QtApplicationScope m_scope;
};

class QtHostGraphics : public HostGraphics {
public:
    bool HasDisplay() const override { return QtHasDisplay(); }

    std::unique_ptr<WindowApplication> OpenApplication() override {
        return std::make_unique<QtWindowApplication>();
    }

    BOOL RunWithWindows(const std::function<BOOL()>& openEditor, std::vector<CString>& messages,
                        bool& shownDialog) override {
        WatchedWindowDriver driver;
        CDialogDriver* const previous = AfxGetDialogDriver();
        AfxSetDialogDriver(&driver);
        const BOOL result = openEditor();
        AfxSetDialogDriver(previous);
        messages = driver.GetShownMessages();
        shownDialog = driver.m_bShownDialog;
        return result;
    }

    std::unique_ptr<CDialogViewer> MakeMirror(int delayMs) override {
        return std::make_unique<QtDialogMirror>(delayMs);
    }

    bool FormatOfPath(const std::string& path, DrawingFormat& format) const override {
        return DrawingFormatOfPath(path, format);
    }

    bool Render(DrawingFormat format, CSize size, const DrawFunction& draw,
                const std::string& title, std::string& bytes, std::string& error) override {
        return RenderDrawing(format, size, draw, bytes, error, title);
    }
};

}  // namespace

extern "C" __attribute__((visibility("default"))) HostGraphics* TravexHostGraphics() {
    static QtHostGraphics windows;
    return &windows;
}
