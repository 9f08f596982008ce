// User input prepared in advance for windows that are not up yet: each step waits until the
// window it acts on is in front, then runs inside the event loop of whatever modal window is
// up, so a step may open a dialog and the next one act on it. For screenshots and tests.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QtInputQueue {
public:
    // The window in front: an open pop-up menu, else the modal window (a dialog's window, a
    // message box or a file dialog).
    static QWidget* Front();
    // Whether the window in front has this title.
    static std::function<bool()> FrontTitled(const QString& title);
    // Whether a pop-up menu is in front.
    static std::function<bool()> FrontMenu();

    // Appends a step that runs once ready() holds, on the window then in front.
    QtInputQueue& Then(std::function<bool()> ready, std::function<void(QWidget& front)> step);
    // Schedules the first step; the rest follow as the event loops turn.
    void Start();
    bool IsDone() const { return m_next == m_steps.size(); }
    // Why the queue stopped: a step whose window did not come up in time. The windows still up
    // are closed then, so that the run ends.
    const QString& GetError() const { return m_error; }

private:
    struct Step {
        std::function<bool()> ready;
        std::function<void(QWidget&)> run;
    };
    void RunNext();
    // Gives up: closes the modal windows one after the other.
    void CloseAll();

    // The steps' timers stop with it: a queue that goes leaves nothing due.
    std::unique_ptr<QObject> m_timers = std::make_unique<QObject>();
    std::vector<Step> m_steps;
    size_t m_next = 0;
    int m_waitedMs = 0;
    QString m_error;
};
