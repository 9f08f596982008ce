// Shows the dialogs that a script plays on in real windows (travex-host edit --script FILE
// --window): each dialog's window opens with it, shows the framework's state after every
// action, and waits a while between actions so that a person can follow.
#pragma once

#include <afxheadlessdriver.h>

#include <memory>
#include <vector>

class QtDialogDriver;
class QtDialogWindow;

class QtDialogMirror : public CDialogViewer {
public:
    // Needs a QApplication. delayMs: the pause after each action.
    explicit QtDialogMirror(int delayMs);
    ~QtDialogMirror() override;

    void DialogOpened(CDialog& dialog) override;
    void ActionPlayed(CDialog& dialog) override;
    void DialogClosing(CDialog& dialog) override;

private:
    // The window of the dialog in front; null when none is open.
    QtDialogWindow* GetFrontWindow() const;
    void Pause();

    int m_delayMs;
    std::unique_ptr<QtDialogDriver> m_driver;  // lays the windows out
    std::vector<std::unique_ptr<QtDialogWindow>> m_windows;
};
