#include "QtInputQueue.h"

#include <QApplication>
#include <QMenu>
#include <QTimer>

namespace {

constexpr int kPollMs = 5;
constexpr int kPatienceMs = 5000;

}  // namespace

QWidget* QtInputQueue::Front() {
    // A menu runs its own loop under the window that opened it; the steps for that window must
    // wait until it has gone, or they would act behind it and close it unchosen.
    if (QWidget* popup = QApplication::activePopupWidget()) return popup;
    return QApplication::activeModalWidget();
}

std::function<bool()> QtInputQueue::FrontMenu() {
    return [] { return qobject_cast<QMenu*>(Front()) != nullptr; };
}

std::function<bool()> QtInputQueue::FrontTitled(const QString& title) {
    return [title] {
        QWidget* front = Front();
        return front && front->isVisible() && front->windowTitle() == title;
    };
}

QtInputQueue& QtInputQueue::Then(std::function<bool()> ready, std::function<void(QWidget&)> step) {
    m_steps.push_back(Step{std::move(ready), std::move(step)});
    return *this;
}

void QtInputQueue::Start() {
    QTimer::singleShot(0, m_timers.get(), [this] { RunNext(); });
}

void QtInputQueue::CloseAll() {
    // The close box of each window in turn, so that whatever waits on them returns.
    if (QWidget* front = Front()) {
        front->close();
        QTimer::singleShot(kPollMs, m_timers.get(), [this] { CloseAll(); });
    }
}

void QtInputQueue::RunNext() {
    if (IsDone() || !m_error.isEmpty()) return;
    Step& step = m_steps[m_next];
    QWidget* front = Front();
    if (!front || !step.ready()) {
        m_waitedMs += kPollMs;
        if (m_waitedMs > kPatienceMs) {
            m_error = QString("step %1: its window did not come up (in front: \"%2\")")
                          .arg(m_next + 1)
                          .arg(front ? front->windowTitle() : QString("nothing"));
            CloseAll();
            return;
        }
        QTimer::singleShot(kPollMs, m_timers.get(), [this] { RunNext(); });
        return;
    }
    m_waitedMs = 0;
    ++m_next;
    // The next step is due before this one runs: a step that opens a modal window returns only
    // when that window has gone, and the next step is meant for it.
    QTimer::singleShot(0, m_timers.get(), [this] { RunNext(); });
    step.run(*front);
}
