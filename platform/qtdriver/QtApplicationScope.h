// Qt's application object, made only where windows or drawings need one.
#pragma once

#include <memory>

class QApplication;

// Whether windows can be shown: a display (DISPLAY, WAYLAND_DISPLAY) or a Qt platform named in
// QT_QPA_PLATFORM (offscreen for tests and pictures).
bool QtHasDisplay();

// A QApplication for as long as the scope lives, unless the process has one already.
class QtApplicationScope {
public:
    QtApplicationScope();
    ~QtApplicationScope();
    QtApplicationScope(const QtApplicationScope&) = delete;
    QtApplicationScope& operator=(const QtApplicationScope&) = delete;

private:
    std::unique_ptr<QApplication> m_application;
};
