// The editor worked with the keyboard and the mouse in its window: the table typed and edited,
// a point dragged in the graph, a message box answered, an import through the file dialog, and
// what OK, Cancel, Escape and the close box leave of the motion file.
#include <GraphView.h>
#include <GraphWindow.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "window_fixture.h"

namespace window_test {
namespace {

using WindowEditor = WindowTest;

// One point (0, 0) in IU.
const std::string kStartOnly =
    "ClearBuffer=1\nATIME[IU]=1: 0\nTPOS[IU]=1: 0\nExecute=0\nWaitForCompletion=1\n";

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST_F(WindowEditor, TableTypedWithTheKeyboardAndEnterIsWrittenAfterOk) {
    const std::string motion = Put("new.ptm", kStartOnly);
    for (const auto& [position, time] : {std::pair{"2000", "100"}, std::pair{"5000", "300"}}) {
        queue.Then(Editor(), [position, time](QWidget& window) {
            // Enter in the position edit moves on to the time; Enter there inserts the point.
            TypeInto(window, IDC_POSITION_VALUE, position);
            Press(window, IDC_POSITION_VALUE, Qt::Key_Return);
            EXPECT_EQ(window.focusWidget(), Control(window, IDC_TIME_VALUE));
            TypeInto(window, IDC_TIME_VALUE, time);
            Press(window, IDC_TIME_VALUE, Qt::Key_Return);
            EXPECT_EQ(window.focusWidget(), Control(window, IDC_POSITION_VALUE));
        });
    }
    queue.Then(Editor(), [](QWidget& window) { ClickButton(window, IDOK); });
    EXPECT_EQ(Edit(motion), 0);
    EXPECT_EQ(out, "");
    const std::string text = Contents(motion);
    EXPECT_TRUE(Contains(text, "ATIME[IU]=3: 0 100 300")) << text;
    EXPECT_TRUE(Contains(text, "TPOS[IU]=3: 0 2000 5000")) << text;
}

TEST_F(WindowEditor, PointsAreNavigatedUpdatedRemovedAndInserted) {
    const std::string motion = Put("hand.ptm", kWorkedExample);
    queue
        .Then(Editor(),
              [](QWidget& window) {
                  ClickButton(window, IDC_NEXT_POINT);
                  EXPECT_EQ(Control<QLineEdit>(window, IDC_POSITION_VALUE)->text(), "2000");
                  EXPECT_TRUE(Control(window, IDC_REMOVE_POINT)->isEnabled());
                  TypeInto(window, IDC_POSITION_VALUE, "2500");
                  ClickButton(window, IDC_UPDATE_POINT);
                  ClickButton(window, IDC_NEXT_POINT);
                  EXPECT_EQ(Control<QLineEdit>(window, IDC_TIME_VALUE)->text(), "300");
                  ClickButton(window, IDC_REMOVE_POINT);
                  TypeInto(window, IDC_POSITION_VALUE, "4000");
                  TypeInto(window, IDC_TIME_VALUE, "200");
                  ClickButton(window, IDC_INSERT_POINT);
                  ClickButton(window, IDC_PREV_POINT);
                  ClickButton(window, IDC_PREV_POINT);
                  // Back at the start point, which cannot be removed.
                  EXPECT_FALSE(Control(window, IDC_REMOVE_POINT)->isEnabled());
              })
        .Then(Editor(), [](QWidget& window) { ClickButton(window, IDOK); });
    EXPECT_EQ(Edit(motion), 0);
    const std::string text = Contents(motion);
    EXPECT_TRUE(Contains(text, "ATIME[IU]=3: 0 100 200")) << text;
    EXPECT_TRUE(Contains(text, "TPOS[IU]=3: 0 2500 4000")) << text;
}

TEST_F(WindowEditor, DraggingAPointWithTheMouseMovesItInTheTable) {
    const std::string motion = Put("hand.ptm", kWorkedExample);
    queue
        .Then(Editor(),
              [](QWidget& window) {
                  auto& graph =
                      dynamic_cast<CGraphWindow&>(*DialogOf(window).GetDlgItem(IDC_GRAPH));
                  QWidget* widget = Control(window, IDC_GRAPH);
                  const CPoint from = graph.View().PointToPixel(100, 2000);
                  const CPoint to = graph.View().PointToPixel(200, 3000);
                  QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(from.x, from.y));
                  EXPECT_EQ(graph.View().GetSelectedPoint(), 1);
                  QTest::mouseMove(widget, QPoint((from.x + to.x) / 2, (from.y + to.y) / 2));
                  QTest::mouseMove(widget, QPoint(to.x, to.y));
                  QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(to.x, to.y));
                  // The table shows the point where it was let go, to a pixel's precision.
                  const double time = Control<QLineEdit>(window, IDC_TIME_VALUE)->text().toDouble();
                  const double position =
                      Control<QLineEdit>(window, IDC_POSITION_VALUE)->text().toDouble();
                  EXPECT_NEAR(time, 200, 3);
                  EXPECT_NEAR(position, 3000, 60);
              })
        .Then(Editor(), [](QWidget& window) { ClickButton(window, IDOK); });
    EXPECT_EQ(Edit(motion), 0);
    const std::string text = Contents(motion);
    EXPECT_FALSE(Contains(text, "ATIME[IU]=3: 0 100 300")) << text;
    EXPECT_TRUE(Contains(text, "ATIME[IU]=3: 0 ")) << text;
}

TEST_F(WindowEditor, MessageBoxIsAnsweredAndTheEditorGoesOn) {
    const std::string motion = Put("hand.ptm", kWorkedExample);
    queue
        .Then(Editor(),
              [](QWidget& window) {
                  ClickButton(window, IDC_NEXT_POINT);
                  TypeInto(window, IDC_TIME_VALUE, "500");  // beyond the next point
                  ClickButton(window, IDC_UPDATE_POINT);
              })
        .Then([] { return qobject_cast<QMessageBox*>(QtInputQueue::Front()) != nullptr; },
              [](QWidget& front) {
                  auto& box = static_cast<QMessageBox&>(front);
                  EXPECT_EQ(box.text(), "Incorrect time value!");
                  QTest::mouseClick(box.button(QMessageBox::Ok), Qt::LeftButton);
              })
        .Then(Editor(), [](QWidget& window) { Press(window, IDC_TIME_VALUE, Qt::Key_Escape); });
    EXPECT_EQ(Edit(motion), 3);
    EXPECT_EQ(out, "message: Incorrect time value!\n");
    EXPECT_EQ(Contents(motion), kWorkedExample);
}

TEST_F(WindowEditor, ImportTakesTheFileChosenInTheFileDialog) {
    const std::string motion = Put("hand.ptm", kWorkedExample);
    const std::string points = Put("points.txt", "1000 50\n3000 150\n");
    queue.Then(Editor(), [](QWidget& window) { ClickButton(window, IDC_IMPORT_FROM_FILE); })
        .Then([] { return qobject_cast<QFileDialog*>(QtInputQueue::Front()) != nullptr; },
              [points](QWidget& front) {
                  // The folder first, as a user goes there, then the name typed in.
                  auto& chooser = static_cast<QFileDialog&>(front);
                  chooser.setDirectory(QString::fromStdString(fs::path(points).parent_path()));
                  auto* name = front.findChild<QLineEdit*>("fileNameEdit");
                  ASSERT_NE(name, nullptr);
                  QTest::keyClicks(name, "points.txt");
                  if (QCompleter* completer = name->completer()) completer->popup()->hide();
                  auto* buttons = front.findChild<QDialogButtonBox*>();
                  ASSERT_NE(buttons, nullptr);
                  buttons->button(QDialogButtonBox::Open)->click();
              })
        .Then(Editor(), [](QWidget& window) { ClickButton(window, IDOK); });
    EXPECT_EQ(Edit(motion), 0);
    const std::string text = Contents(motion);
    EXPECT_TRUE(Contains(text, "=3: 0 50 150")) << text;
}

TEST_F(WindowEditor, TheSecondImportOpensInTheFolderOfTheFirst) {
    const std::string motion = Put("hand.ptm", kWorkedExample);
    fs::create_directories(dir / "points");
    const std::string points = Put("points/first.txt", "1000 50\n3000 150\n");
    const QString folder = QString::fromStdString(fs::path(points).parent_path().string());
    const auto fileDialog = [] {
        return qobject_cast<QFileDialog*>(QtInputQueue::Front()) != nullptr;
    };
    queue.Then(Editor(), [](QWidget& window) { ClickButton(window, IDC_IMPORT_FROM_FILE); })
        .Then(fileDialog,
              [points](QWidget& front) {
                  auto& chooser = static_cast<QFileDialog&>(front);
                  chooser.selectFile(QString::fromStdString(points));
                  QMetaObject::invokeMethod(&chooser, "accept");
              })
        .Then(Editor(), [](QWidget& window) { ClickButton(window, IDC_IMPORT_FROM_FILE); })
        .Then(fileDialog,
              [folder](QWidget& front) {
                  auto& chooser = static_cast<QFileDialog&>(front);
                  EXPECT_EQ(chooser.directory().absolutePath(), folder);
                  chooser.reject();
              })
        .Then(Editor(), [](QWidget& window) { ClickButton(window, IDOK); });
    EXPECT_EQ(Edit(motion), 0);
    EXPECT_TRUE(Contains(Contents(motion), "=3: 0 50 150"));
}

TEST_F(WindowEditor, TabFollowsTheTabStopsAndAltTakesTheMnemonic) {
    const std::string motion = Put("hand.ptm", kWorkedExample);
    queue
        .Then(Editor(),
              [](QWidget& window) {
                  QApplication::setActiveWindow(&window);
                  QWidget* position = Control(window, IDC_POSITION_VALUE);
                  position->setFocus(Qt::OtherFocusReason);
                  // The unit list after the position edit is the next tab stop.
                  QTest::keyClick(position, Qt::Key_Tab);
                  EXPECT_EQ(QApplication::focusWidget(), Control(window, IDC_POSITION_UNIT));
                  ASSERT_NE(CWnd::GetFocus(), nullptr);
                  EXPECT_EQ(CWnd::GetFocus()->GetDlgCtrlID(), IDC_POSITION_UNIT);
                  // "&On event": Alt+O clicks it, as the mouse would.
                  QTest::keyClick(&window, Qt::Key_O, Qt::AltModifier);
                  EXPECT_TRUE(DialogOf(window).IsDlgButtonChecked(IDC_EXECUTE_ON_EVENT));
                  EXPECT_TRUE(DialogOf(window).GetDlgItem(IDC_CHANGE_EVENT)->IsWindowEnabled());
                  // The window shows it at once, before any other input.
                  EXPECT_TRUE(Control<QAbstractButton>(window, IDC_EXECUTE_ON_EVENT)->isChecked());
                  EXPECT_EQ(QApplication::focusWidget(), Control(window, IDC_EXECUTE_ON_EVENT));
                  EXPECT_TRUE(Control(window, IDC_CHANGE_EVENT)->isEnabled());
              })
        .Then(Editor(), [](QWidget& window) { ClickButton(window, IDCANCEL); });
    EXPECT_EQ(Edit(motion), 3);
}

TEST_F(WindowEditor, TabAndTheArrowKeysFollowTheDialogManager) {
    const std::string motion = Put("hand.ptm", kWorkedExample);
    queue
        .Then(
            Editor(),
            [](QWidget& window) {
                QApplication::setActiveWindow(&window);
                const auto focused = [&window](int id) {
                    EXPECT_EQ(QApplication::focusWidget(), Control(window, id));
                    ASSERT_NE(CWnd::GetFocus(), nullptr);
                    EXPECT_EQ(CWnd::GetFocus()->GetDlgCtrlID(), id);
                };
                QWidget* insert = Control(window, IDC_INSERT_POINT);
                insert->setFocus(Qt::TabFocusReason);
                // Tab passes over the graph to the checked Execute button.
                QTest::keyClick(insert, Qt::Key_Tab);
                focused(IDC_EXECUTE_IMMEDIATE);
                // Down checks On event as a click would: Change Event is enabled at once.
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
                focused(IDC_EXECUTE_ON_EVENT);
                EXPECT_TRUE(DialogOf(window).IsDlgButtonChecked(IDC_EXECUTE_ON_EVENT));
                EXPECT_TRUE(Control<QAbstractButton>(window, IDC_EXECUTE_ON_EVENT)->isChecked());
                EXPECT_FALSE(Control<QAbstractButton>(window, IDC_EXECUTE_IMMEDIATE)->isChecked());
                EXPECT_TRUE(Control(window, IDC_CHANGE_EVENT)->isEnabled());
                // Shift+Tab goes back over the graph; Tab again to the checked button.
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
                focused(IDC_INSERT_POINT);
                // The start group: Up from the second button checks the first and stays in
                // the group.
                Control(window, IDC_START_FROM_REFERENCE)->setFocus(Qt::TabFocusReason);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                focused(IDOK);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
                focused(IDC_START_FROM_ACTUAL);
                EXPECT_TRUE(DialogOf(window).IsDlgButtonChecked(IDC_START_FROM_ACTUAL));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
                focused(IDC_START_FROM_REFERENCE);
                EXPECT_TRUE(DialogOf(window).IsDlgButtonChecked(IDC_START_FROM_REFERENCE));
                EXPECT_FALSE(Control<QAbstractButton>(window, IDC_START_FROM_ACTUAL)->isChecked());
                // An edit keeps its arrows.
                Control(window, IDC_TIME_VALUE)->setFocus(Qt::TabFocusReason);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
                focused(IDC_TIME_VALUE);
            })
        .Then(Editor(), [](QWidget& window) { ClickButton(window, IDCANCEL); });
    EXPECT_EQ(Edit(motion), 3);
}

TEST_F(WindowEditor, OnEventClickedEnablesChangeEventAtOnce) {
    const std::string motion = Put("hand.ptm", kWorkedExample);
    queue
        .Then(Editor(),
              [](QWidget& window) {
                  QApplication::setActiveWindow(&window);
                  EXPECT_FALSE(Control(window, IDC_CHANGE_EVENT)->isEnabled());
                  ClickButton(window, IDC_EXECUTE_ON_EVENT);
                  EXPECT_TRUE(DialogOf(window).IsDlgButtonChecked(IDC_EXECUTE_ON_EVENT));
                  EXPECT_TRUE(Control<QAbstractButton>(window, IDC_EXECUTE_ON_EVENT)->isChecked());
                  EXPECT_TRUE(Control(window, IDC_CHANGE_EVENT)->isEnabled());
              })
        .Then(Editor(), [](QWidget& window) { ClickButton(window, IDCANCEL); });
    EXPECT_EQ(Edit(motion), 3);
}

TEST_F(WindowEditor, CancelEscapeAndTheCloseBoxLeaveTheFileByteForByte) {
    const std::vector<std::function<void(QWidget&)>> leaves = {
        [](QWidget& window) { ClickButton(window, IDCANCEL); },
        [](QWidget& window) { Press(window, IDC_POSITION_VALUE, Qt::Key_Escape); },
        [](QWidget& window) { window.close(); },
    };
    const std::string motion = Put("hand.ptm", kWorkedExample);
    for (size_t i = 0; i < leaves.size(); ++i) {
        SCOPED_TRACE(i);
        queue = QtInputQueue();
        queue
            .Then(Editor(),
                  [](QWidget& window) {
                      TypeInto(window, IDC_POSITION_VALUE, "9000");
                      TypeInto(window, IDC_TIME_VALUE, "900");
                      ClickButton(window, IDC_INSERT_POINT);
                  })
            .Then(Editor(), leaves[i]);
        EXPECT_EQ(Edit(motion), 3);
        EXPECT_EQ(Contents(motion), kWorkedExample);
    }
}

}  // namespace
}  // namespace window_test
