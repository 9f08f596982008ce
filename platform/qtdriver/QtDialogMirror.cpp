#include "QtDialogMirror.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include "QtDialogDriver.h"
#include "QtDialogWindow.h"

QtDialogMirror::QtDialogMirror(int delayMs)
    : m_delayMs(std::max(0, delayMs)), m_driver(std::make_unique<QtDialogDriver>()) {}

QtDialogMirror::~QtDialogMirror() = default;

QtDialogWindow* QtDialogMirror::GetFrontWindow() const {
    return m_windows.empty() ? nullptr : m_windows.back().get();
}

void QtDialogMirror::DialogOpened(CDialog& dialog) {
    auto window = std::make_unique<QtDialogWindow>(*m_driver, dialog, GetFrontWindow());
    // The script plays the input; the window only shows it.
    window->setAttribute(Qt::WA_TransparentForMouseEvents);
    window->show();
    m_windows.push_back(std::move(window));
    Pause();
}

void QtDialogMirror::ActionPlayed(CDialog& dialog) {
    for (auto& window : m_windows) {
        if (&window->GetDialog() == &dialog && dialog.m_hWnd) window->Sync();
    }
    Pause();
}

void QtDialogMirror::DialogClosing(CDialog& dialog) {
    if (!m_windows.empty() && &m_windows.back()->GetDialog() == &dialog) {
        m_windows.back()->hide();
        m_windows.pop_back();
    }
    QApplication::processEvents();
}

void QtDialogMirror::Pause() {
    QApplication::processEvents();
    if (m_delayMs == 0) return;
    QEventLoop loop;
    QTimer::singleShot(m_delayMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}
