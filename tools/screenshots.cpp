// travex-screenshots MOTION FOLDER: the PT editor on MOTION (also with the graph's speed curve,
// with a unit list opened and with the focus on it)
// and the event dialogs it opens, rendered to PNG files in FOLDER with Qt's offscreen platform
// (make screenshots).
#include <QtApplicationScope.h>
#include <QtInputQueue.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

#include "EditInWindow.h"
#include "files/WholeTextIO.h"

namespace {

template <typename Widget>
Widget* Control(QWidget& window, int id) {
    return window.findChild<Widget*>(QString("control_%1").arg(id));
}

void Click(QWidget& window, int id) {
    if (auto* button = Control<QAbstractButton>(window, id)) button->click();
}

constexpr int kFrameBorder = 1, kFrameTitle = 24;

// The window as a desktop frames it: the offscreen platform draws no title bar, so one is drawn
// here with the window's title and, for a window that has one, its close box.
QImage Framed(QWidget& window) {
    // The window in front has the keyboard, and shows where its focus is.
    QApplication::setActiveWindow(&window);
    const QImage client = window.grab().toImage();
    constexpr int kBorder = kFrameBorder, kTitle = kFrameTitle;
    QImage framed(client.width() + 2 * kBorder, client.height() + kTitle + kBorder,
                  QImage::Format_RGB32);
    framed.fill(QColor(0x3c, 0x6e, 0xb4));
    QPainter painter(&framed);
    painter.drawImage(kBorder, kTitle, client);
    QFont font = window.font();
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(8, 0, framed.width() - 40, kTitle), Qt::AlignVCenter | Qt::AlignLeft,
                     window.windowTitle());
    if (window.windowFlags() & Qt::WindowCloseButtonHint) {
        const QRect box(framed.width() - 26, 4, 20, 16);
        painter.setPen(QPen(Qt::white, 2));
        painter.drawLine(box.center() + QPoint(-4, -4), box.center() + QPoint(4, 4));
        painter.drawLine(box.center() + QPoint(-4, 4), box.center() + QPoint(4, -4));
    }
    return framed;
}

// The window framed, with the list of drop-down list id opened over it, as the user sees it.
QImage FramedWithList(QWidget& window, int id) {
    QImage framed = Framed(window);
    auto* combo = Control<QComboBox>(window, id);
    if (!combo) return framed;
    combo->showPopup();
    QWidget* list = combo->view()->window();
    const QPoint at = list->mapToGlobal(QPoint(0, 0)) - window.mapToGlobal(QPoint(0, 0));
    QPainter painter(&framed);
    painter.drawImage(at + QPoint(kFrameBorder, kFrameTitle), list->grab().toImage());
    painter.end();
    combo->hidePopup();
    return framed;
}

void PressKey(QWidget& window, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&window, &press);
}

// Right-clicks the middle of control id, as a desktop reports it; returns when its menu is gone.
void RightClick(QWidget& window, int id) {
    QWidget* control = Control<QWidget>(window, id);
    if (!control) return;
    const QPoint middle = control->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, middle, control->mapToGlobal(middle));
    QApplication::sendEvent(control, &event);
}

// Chooses the item of the menu in front; false when it has no such item.
bool Choose(QWidget& front, const QString& item) {
    auto& menu = static_cast<QMenu&>(front);
    for (QAction* action : menu.actions()) {
        if (action->text() != item) continue;
        menu.setActiveAction(action);
        PressKey(menu, Qt::Key_Return);
        return true;
    }
    menu.close();
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: travex-screenshots MOTION FOLDER\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QtApplicationScope application;
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    std::string motion, error;
    if (!ReadWholeText(argv[1], motion, error) || !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "travex-screenshots: %s\n", error.empty() ? argv[2] : error.c_str());
        return 2;
    }
    HostSession session;
    HostGraphics* windows = LoadHostGraphics(error);
    if (!windows || !session.Open(HostOptions{}, error)) {
        std::fprintf(stderr, "travex-screenshots: %s\n", error.c_str());
        return 2;
    }

    std::vector<QString> saved;
    auto save = [&](const char* name) {
        return [&saved, &folder, name](QWidget& front) {
            const QString path = folder.filePath(name);
            if (Framed(front).save(path)) saved.push_back(path);
        };
    };
    const auto editor = QtInputQueue::FrontTitled("Motion - PT");
    QtInputQueue queue;
    queue
        .Then(editor, [](QWidget& front) { Click(front, 1014); })  // point 1 selected
        .Then(editor, save("editor.png"))
        .Then(editor,
              [&saved, &folder](QWidget& front) {  // the position's units, dropped down
                  const QString path = folder.filePath("editor-units.png");
                  if (FramedWithList(front, 1018).save(path)) saved.push_back(path);
              })
        .Then(editor,
              [](QWidget& front) {  // the focus on the position's units, as Tab puts it
                  if (auto* units = Control<QComboBox>(front, 1018))
                      units->setFocus(Qt::TabFocusReason);
              })
        .Then(editor, save("editor-focus.png"))
        .Then(editor, [](QWidget& front) { RightClick(front, 1016); })  // the graph
        .Then(QtInputQueue::FrontMenu(), [](QWidget& front) { Choose(front, "Preview &Speed"); })
        .Then(editor, save("editor-speed.png"))
        .Then(editor, [](QWidget& front) { Click(front, 1012); })  // On event
        .Then(editor, [](QWidget& front) { Click(front, 1503); })  // Change Event
        .Then(QtInputQueue::FrontTitled("Event Type"), save("event-type.png"))
        .Then(QtInputQueue::FrontTitled("Event Type"),
              [](QWidget& front) {
                  Click(front, 1213);  // a digital input
                  PressKey(front, Qt::Key_Return);
              })
        .Then(editor, [](QWidget& front) { Click(front, 1504); })  // Edit Event
        .Then(QtInputQueue::FrontTitled("Edit Event"), save("event-edit.png"))
        .Then(QtInputQueue::FrontTitled("Edit Event"),
              [](QWidget& front) { PressKey(front, Qt::Key_Escape); })
        .Then(editor, [](QWidget& front) { PressKey(front, Qt::Key_Escape); });
    queue.Start();

    CString text(std::move(motion));
    std::vector<CString> messages;
    EditInWindow(*windows, session, text, messages, error);
    for (const QString& path : saved) std::printf("%s\n", path.toLocal8Bit().constData());
    if (!queue.IsDone() || !error.empty()) {
        std::fprintf(stderr, "travex-screenshots: %s\n",
                     error.empty() ? queue.GetError().toLocal8Bit().constData() : error.c_str());
        return 1;
    }
    return 0;
}
