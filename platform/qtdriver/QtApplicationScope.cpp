#include "QtApplicationScope.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

bool QtHasDisplay() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return true;
    }
    return false;
}

QtApplicationScope::QtApplicationScope() {
    if (QApplication::instance()) return;
    // Standard error belongs to the host's own messages; Qt's notes about the platform (a
    // runtime folder, a missing font config) would mix into them.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "travex-host: %s\n", text.toLocal8Bit().constData());
    });
    static int argc = 1;
    static char name[] = "travex-host";
    static char* argv[] = {name, nullptr};
    m_application = std::make_unique<QApplication>(argc, argv);
}

QtApplicationScope::~QtApplicationScope() = default;
