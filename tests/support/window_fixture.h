// The editor in its window, run in-process as `travex-host edit MOTION` runs it, under Qt's
// offscreen platform; the user's input comes from Qt's test module, queued for the windows.
#pragma once

#include <QtDialogWindow.h>
#include <QtInputQueue.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <filesystem>
#include <sstream>
#include <string>

#include "commands/EditCommand.h"
#include "editor/resource.h"
#include "scratch_folder.h"

namespace window_test {

namespace fs = std::filesystem;

// The worked example, written by hand: LF line ends, no final line end.
inline const std::string kWorkedExample =
    "MASTERID=3\nClearBuffer=1\nATIME[IU]=3: 0 100 300\nTPOS[IU]=3: 0 2000 5000\nExecute=0\n"
    "WaitForCompletion=1";

// The control's widget in the window in front.
template <typename Widget = QWidget>
Widget* Control(QWidget& window, int id) {
    auto* widget = window.findChild<Widget*>(QString("control_%1").arg(id));
    EXPECT_NE(widget, nullptr) << "control " << id;
    return widget;
}
inline void ClickButton(QWidget& window, int id) {
    QTest::mouseClick(Control<QAbstractButton>(window, id), Qt::LeftButton);
}
// Types into an edit as a user does: select everything, then the keys.
inline void TypeInto(QWidget& window, int id, const char* text) {
    auto* edit = Control<QLineEdit>(window, id);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, text);
}
inline void Press(QWidget& window, int id, Qt::Key key) {
    QTest::keyClick(Control(window, id), key);
}
inline CDialog& DialogOf(QWidget& window) {
    return static_cast<QtDialogWindow&>(window).GetDialog();
}

inline std::function<bool()> Editor() { return QtInputQueue::FrontTitled("Motion - PT"); }

class WindowTest : public ::testing::Test {
protected:
    std::string Put(const std::string& name, const std::string& text) const {
        return scratch.Put(name, text);
    }
    // `travex-host edit MOTION` in-process, while the queue plays; the exit status. Standard
    // output (the message lines) lands in `out`.
    int Edit(const std::string& motion);

    ScratchFolder scratch;
    const fs::path dir = scratch.Path();
    QtInputQueue queue;
    std::string out;
};

}  // namespace window_test
