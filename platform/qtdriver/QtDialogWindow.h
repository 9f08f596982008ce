// The window of one dialog: a widget for each control at its template rectangle, showing the
// state that the framework holds, and the user's input passed on through the dialog driver.
#pragma once

#include <afxwin.h>

#include <QDialog>
#include <vector>

class QEventLoop;
class QStyle;
class QtDialogDriver;

class QtDialogWindow : public QDialog {
public:
    QtDialogWindow(QtDialogDriver& driver, CDialog& dialog, QWidget* parent);

    CDialog& GetDialog() const { return m_dialog; }
    // Shows the framework's state of the dialog and every control.
    void Sync();

    // Runs until the dialog ends (Finish).
    void RunLoop();
    void Finish();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override {}  // Escape and the close box go to the framework instead
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Kind {
        Label,
        PushButton,
        CheckBox,
        RadioButton,
        GroupBox,
        LineEdit,
        TextEdit,
        ComboBox,
        Painted
    };
    struct Control {
        HWND hWnd;
        QWidget* widget;
        Kind kind;
        int selStart = -1, selEnd = -1;  // the framework's edit selection last shown
    };

    void CreateControls();
    QWidget* CreateWidget(HWND hWnd, CWnd& control, Kind& kind);
    void ConnectInput(Control& control);
    void SyncControl(Control& control, bool focusChanged);
    const Control* ControlOf(const QObject* widget) const;
    // Tab and the arrow keys go to the framework's dialog manager, not to Qt's focus chain.
    // False for a key that the control keeps or that is not one of them.
    bool PassNavigationKey(const QKeyEvent& key, const Control* control);

    QtDialogDriver& m_driver;
    CDialog& m_dialog;
    std::vector<Control> m_controls;
    HWND m_shownFocus = nullptr;  // the framework's focus last shown
    HWND m_typing = nullptr;      // the edit whose text the user is changing
    bool m_syncing = false;
    QEventLoop* m_loop = nullptr;
    QStyle* m_style = nullptr;  // owned by the window
};
