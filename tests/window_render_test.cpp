// What a person sees of the windows: each control at its template rectangle, no caption cut
// off, the curve drawn inside the graph's plot and redrawn after a drag.
#include <GraphPalette.h>
#include <GraphView.h>
#include <GraphWindow.h>
#include <afxdlgtemplate.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>
#include <map>
#include <set>

#include "window_fixture.h"

namespace window_test {
namespace {

using WindowRendering = WindowTest;

// A template rectangle in pixels for 8-point MS Shell Dlg at 96 dpi: base units 6 by 13, each
// edge rounded on its own.
QRect TemplatePixels(const DLGITEMTEMPLATEDATA& item) {
    auto x = [](int units) { return (units * 6 + 2) / 4; };
    auto y = [](int units) { return (units * 13 + 4) / 8; };
    return QRect(QPoint(x(item.x), y(item.y)),
                 QPoint(x(item.x + item.cx) - 1, y(item.y + item.cy) - 1));
}

QString Plain(QString caption) {
    QString plain;
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        plain += caption[i];
    }
    return plain;
}

// Where a check box's or radio button's caption is drawn, in the window's pixels: the lines as
// the style lays them out in the room beside the indicator.
QRect CaptionRect(QAbstractButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    const QRect room = button.style()->subElementRect(qobject_cast<QCheckBox*>(&button)
                                                          ? QStyle::SE_CheckBoxContents
                                                          : QStyle::SE_RadioButtonContents,
                                                      &option, &button);
    const QRect text = button.fontMetrics().boundingRect(room, Qt::AlignLeft | Qt::AlignVCenter,
                                                         Plain(button.text()));
    return text.translated(button.pos());
}

// A group box's title stands on its frame, and every caption of a control inside the box stays
// inside the frame and inside its own rectangle.
void ExpectCaptionsInsideTheirFrames(QWidget& window) {
    for (QGroupBox* group : window.findChildren<QGroupBox*>()) {
        if (!group->isVisible()) continue;
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = group->title();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect frame =
            group->style()
                ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, group)
                .translated(group->pos());
        const QRect label =
            group->style()
                ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group)
                .translated(group->pos());
        SCOPED_TRACE("group \"" + group->title().toStdString() + "\"");
        EXPECT_LE(std::abs(label.center().y() - frame.top()), 1);
        // As drawn: the first pixel of the frame's line, right of the title, is level with it.
        const QImage drawn = group->grab().toImage();
        const int column = drawn.width() - 12;
        const QRgb background = drawn.pixel(column, 0);
        int line = 0;
        while (line < drawn.height() && drawn.pixel(column, line) == background) ++line;
        EXPECT_LE(std::abs(group->y() + line - label.center().y()), 1);
        const QRect inside = frame.adjusted(2, 2, -2, -2);
        for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
            if (!button->isVisible() || qobject_cast<QPushButton*>(button) ||
                !frame.contains(button->geometry().center()))
                continue;
            const QRect caption = CaptionRect(*button);
            SCOPED_TRACE("caption \"" + button->text().toStdString() + "\"");
            EXPECT_TRUE(inside.contains(caption)) << caption.right() << " " << inside.right();
            EXPECT_LE(caption.right(), button->geometry().right());
        }
    }
}

// Every control of the window in front against its dialog's template.
void ExpectLaidOutAsTheTemplate(QWidget& window) {
    CDialog& dialog = DialogOf(window);
    const DLGTEMPLATEDATA* dialogTemplate = dialog.m_lpszTemplateName
                                                ? AfxFindDialogResource(dialog.m_lpszTemplateName)
                                                : AfxFindDialogResource(dialog.m_nIDHelp);
    ASSERT_NE(dialogTemplate, nullptr);
    const QString title = window.windowTitle();
    EXPECT_EQ(title.toStdString(), dialogTemplate->caption);
    EXPECT_EQ(window.size(),
              TemplatePixels(DLGITEMTEMPLATEDATA{0, "", "", 0, 0, 0, 0, dialogTemplate->cx,
                                                 dialogTemplate->cy})
                  .size());
    QList<QWidget*> widgets =
        window.findChildren<QWidget*>(QRegularExpression("^control_"), Qt::FindDirectChildrenOnly);
    std::sort(widgets.begin(), widgets.end(), [](QWidget* a, QWidget* b) {
        return a->property("templateIndex").toInt() < b->property("templateIndex").toInt();
    });
    ASSERT_EQ(static_cast<size_t>(widgets.size()), dialogTemplate->items.size())
        << title.toStdString();
    for (size_t i = 0; i < dialogTemplate->items.size(); ++i) {
        const DLGITEMTEMPLATEDATA& item = dialogTemplate->items[i];
        QWidget* widget = widgets[static_cast<qsizetype>(i)];
        SCOPED_TRACE(title.toStdString() + " control " + std::to_string(item.id) + " \"" +
                     item.text + "\"");
        const QRect expected = TemplatePixels(item);
        if (qobject_cast<QComboBox*>(widget)) {
            // A drop-down list stands as high as its field; the rest is the list.
            EXPECT_EQ(widget->geometry().topLeft(), expected.topLeft());
            EXPECT_EQ(widget->width(), expected.width());
            EXPECT_LE(widget->height(), expected.height());
            // Closed, it covers no other control (the template's list height would cover ">>").
            for (QWidget* other : widgets) {
                if (other == widget || qobject_cast<QGroupBox*>(other)) continue;
                EXPECT_FALSE(widget->geometry().intersects(other->geometry()))
                    << other->objectName().toStdString();
            }
        } else {
            EXPECT_EQ(widget->geometry(), expected);
        }
        if (!widget->isVisible()) continue;

        const QFontMetrics metrics = widget->fontMetrics();
        auto fits = [&](const QString& text, int room) {
            for (const QString& line : Plain(text).split('\n'))
                EXPECT_LE(metrics.horizontalAdvance(line), room) << line.toStdString();
        };
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (label->wordWrap())
                EXPECT_LE(label->heightForWidth(label->width()), label->height());
            else
                fits(label->text(), label->width());
        } else if (auto* push = qobject_cast<QPushButton*>(widget)) {
            fits(push->text(), push->width() - 4);
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            // The indicator and its gap: 13 and 3 pixels.
            fits(button->text(), button->width() - 16);
            EXPECT_LE(button->text().count('\n') + 1,
                      std::max(1, button->height() / metrics.lineSpacing() + 1));
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            fits(group->title(), group->width() - 8);
        }
    }
    ExpectCaptionsInsideTheirFrames(window);
}

// The pixels in which two renderings of one widget differ.
std::vector<QPoint> Changed(const QImage& before, const QImage& after) {
    std::vector<QPoint> changed;
    for (int y = 0; y < std::min(before.height(), after.height()); ++y)
        for (int x = 0; x < std::min(before.width(), after.width()); ++x)
            if (before.pixel(x, y) != after.pixel(x, y)) changed.emplace_back(x, y);
    return changed;
}

// What the focus added is a dotted rectangle: the changed pixels lie on the outline of the
// rectangle that bounds them, every other pixel of it. Returns that rectangle.
QRect ExpectDottedOutline(const std::vector<QPoint>& changed) {
    EXPECT_FALSE(changed.empty());
    if (changed.empty()) return {};
    QRect outline(changed.front(), changed.front());
    for (const QPoint& point : changed) outline |= QRect(point, point);
    for (const QPoint& point : changed) {
        EXPECT_TRUE(point.x() == outline.left() || point.x() == outline.right() ||
                    point.y() == outline.top() || point.y() == outline.bottom())
            << point.x() << "," << point.y() << " inside the outline";
    }
    const int perimeter = 2 * (outline.width() + outline.height()) - 4;
    EXPECT_NEAR(static_cast<int>(changed.size()), perimeter / 2, 2) << "not dotted";
    return outline;
}

// A push button drawn as the default: a dark line all around.
bool HasHeavyFrame(const QImage& button) {
    const auto dark = [&button](int x, int y) { return qGray(button.pixel(x, y)) < 64; };
    for (int x = 0; x < button.width(); ++x)
        if (!dark(x, 0) || !dark(x, button.height() - 1)) return false;
    for (int y = 0; y < button.height(); ++y)
        if (!dark(0, y) || !dark(button.width() - 1, y)) return false;
    return true;
}

// A focused drop-down list shows its text selected: most of its field in the selection colour.
double SelectedShare(QComboBox& combo, const QImage& drawn) {
    QStyleOptionComboBox option;
    option.initFrom(&combo);
    option.editable = false;
    const QRect field = combo.style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, &combo);
    const QRgb highlight = combo.palette().color(QPalette::Highlight).rgb();
    int selected = 0;
    for (int y = field.top(); y <= field.bottom(); ++y)
        for (int x = field.left(); x <= field.right(); ++x)
            selected += (drawn.pixel(x, y) & 0xFFFFFF) == (highlight & 0xFFFFFF);
    return static_cast<double>(selected) / (field.width() * field.height());
}

// The graph as drawn now, and the pixels of its curve colour.
struct Drawn {
    QImage image;
    std::vector<QPoint> curve;
};

Drawn DrawGraph(QWidget& window) {
    Drawn drawn;
    drawn.image = Control(window, IDC_GRAPH)->grab().toImage();
    const QRgb curve = qRgb(0, 64, 192);  // RGB16(CR16_CURVE)
    for (int y = 0; y < drawn.image.height(); ++y)
        for (int x = 0; x < drawn.image.width(); ++x)
            if ((drawn.image.pixel(x, y) & 0xFFFFFF) == (curve & 0xFFFFFF))
                drawn.curve.emplace_back(x, y);
    return drawn;
}

TEST_F(WindowRendering, EveryDialogStandsAsItsTemplateWithWholeCaptions) {
    const std::string motion = Put("hand.ptm", kWorkedExample);
    queue.Then(Editor(), ExpectLaidOutAsTheTemplate)
        .Then(Editor(),
              [](QWidget& window) {
                  // A unit list drops down below its field: the screen has room there.
                  auto* units = Control<QComboBox>(window, IDC_POSITION_UNIT);
                  units->showPopup();
                  const QWidget* list = units->view()->window();
                  EXPECT_TRUE(list->isVisible());
                  EXPECT_GE(list->mapToGlobal(QPoint(0, 0)).y(),
                            units->mapToGlobal(QPoint(0, units->height())).y() - 1);
                  units->hidePopup();
              })
        .Then(Editor(),
              [](QWidget& window) {
                  ClickButton(window, IDC_EXECUTE_ON_EVENT);
                  ClickButton(window, IDC_CHANGE_EVENT);
              })
        .Then(QtInputQueue::FrontTitled("Event Type"),
              [](QWidget& window) {
                  ExpectLaidOutAsTheTemplate(window);
                  ClickButton(window, 1213);  // a digital input
                  ClickButton(window, IDOK);
              })
        .Then(Editor(), [](QWidget& window) { ClickButton(window, IDC_EDIT_EVENT); })
        .Then(QtInputQueue::FrontTitled("Edit Event"),
              [](QWidget& window) {
                  ExpectLaidOutAsTheTemplate(window);
                  Press(window, 1201, Qt::Key_Escape);
              })
        .Then(Editor(), [](QWidget& window) { ClickButton(window, IDCANCEL); });
    EXPECT_EQ(Edit(motion), 3);
}

TEST_F(WindowRendering, EveryTabStopShowsTheFocusAsWindowsDoes) {
    const std::string motion = Put("hand.ptm", kWorkedExample);
    queue
        .Then(Editor(),
              [](QWidget& window) {
                  QApplication::setActiveWindow(&window);
                  QList<QWidget*> controls = window.findChildren<QWidget*>(
                      QRegularExpression("^control_"), Qt::FindDirectChildrenOnly);
                  std::map<QWidget*, QImage> unfocused;
                  const auto grabAll = [&] {
                      for (QWidget* control : controls)
                          unfocused[control] = control->grab().toImage();
                  };
                  // Once round the tab stops from the position's edit, each control drawn
                  // before and after it takes the focus.
                  QWidget* first = Control(window, IDC_POSITION_VALUE);
                  first->setFocus(Qt::TabFocusReason);
                  grabAll();
                  QTest::keyClick(first, Qt::Key_Tab);
                  std::set<std::string> shown;
                  for (int step = 0; step < 40; ++step) {
                      QWidget* focus = QApplication::focusWidget();
                      ASSERT_NE(focus, nullptr);
                      if (focus == first) break;
                      const std::string name = focus->objectName().toStdString();
                      SCOPED_TRACE(name);
                      const QImage now = focus->grab().toImage();
                      if (auto* box = qobject_cast<QComboBox*>(focus)) {
                          EXPECT_GT(SelectedShare(*box, now), 0.5);
                          EXPECT_LT(SelectedShare(*box, unfocused[focus]), 0.05);
                          shown.insert(name);
                      } else if (auto* push = qobject_cast<QPushButton*>(focus)) {
                          EXPECT_TRUE(HasHeavyFrame(now));
                          // Inside the frame, around the caption.
                          std::vector<QPoint> inside;
                          for (const QPoint& point : Changed(unfocused[focus], now)) {
                              if (QRect(3, 3, now.width() - 6, now.height() - 6).contains(point))
                                  inside.push_back(point);
                          }
                          if (HasHeavyFrame(unfocused[focus])) {
                              const QRect outline = ExpectDottedOutline(inside);
                              const int text =
                                  push->fontMetrics().horizontalAdvance(Plain(push->text()));
                              EXPECT_LT(outline.width(), now.width() - 6);
                              EXPECT_GT(outline.width(), text);
                          }
                          shown.insert(name);
                      } else if (auto* button = qobject_cast<QAbstractButton*>(focus)) {
                          // A caption of more lines than the button is high is cut there.
                          const QRect caption = CaptionRect(*button).translated(-button->pos()) &
                                                QRect(QPoint(0, 0), button->size());
                          const QRect outline = ExpectDottedOutline(Changed(unfocused[focus], now));
                          EXPECT_TRUE(outline.contains(caption)) << caption.width();
                          EXPECT_TRUE(caption.adjusted(-3, -3, 3, 3).contains(outline));
                          shown.insert(name);
                      }
                      // One push button looks default: the focused one, else OK.
                      for (QPushButton* other : window.findChildren<QPushButton*>()) {
                          if (!other->isVisible()) continue;
                          const bool expected = qobject_cast<QPushButton*>(focus)
                                                    ? other == focus
                                                    : other == Control(window, IDOK);
                          EXPECT_EQ(HasHeavyFrame(other->grab().toImage()), expected)
                              << other->objectName().toStdString();
                      }
                      grabAll();
                      QTest::keyClick(focus, Qt::Key_Tab);
                  }
                  // What Tab reaches on the worked example besides the three edits: seven push
                  // buttons, three check boxes, two radio buttons and two unit lists.
                  EXPECT_EQ(shown.size(), 14u);
              })
        .Then(Editor(), [](QWidget& window) { ClickButton(window, IDCANCEL); });
    EXPECT_EQ(Edit(motion), 3);
}

TEST_F(WindowRendering, CurveLiesInsideThePlotAndFollowsADrag) {
    const std::string motion = Put("hand.ptm", kWorkedExample);
    queue
        .Then(Editor(),
              [](QWidget& window) {
                  auto& graph =
                      dynamic_cast<CGraphWindow&>(*DialogOf(window).GetDlgItem(IDC_GRAPH));
                  const CRect plot = graph.View().GetPlotRect();
                  const QRect inside(plot.left, plot.top, plot.Width(), plot.Height());
                  const Drawn before = DrawGraph(window);
                  EXPECT_GT(before.curve.size(), 100u);
                  for (const QPoint& pixel : before.curve) ASSERT_TRUE(inside.contains(pixel));

                  QWidget* widget = Control(window, IDC_GRAPH);
                  const CPoint from = graph.View().PointToPixel(100, 2000);
                  const CPoint to = graph.View().PointToPixel(250, 1000);
                  QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(from.x, from.y));
                  QTest::mouseMove(widget, QPoint(to.x, to.y));
                  QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(to.x, to.y));
                  const Drawn after = DrawGraph(window);
                  EXPECT_NE(after.image, before.image);
                  EXPECT_GT(after.curve.size(), 100u);
                  for (const QPoint& pixel : after.curve) ASSERT_TRUE(inside.contains(pixel));
                  // The line now runs to the new place of the point (its red mark covers it).
                  const auto reaches = [&](const Drawn& drawn) {
                      return std::any_of(
                          drawn.curve.begin(), drawn.curve.end(), [&](const QPoint& p) {
                              return std::abs(p.x() - to.x) <= 8 && std::abs(p.y() - to.y) <= 8;
                          });
                  };
                  EXPECT_FALSE(reaches(before));
                  EXPECT_TRUE(reaches(after));
              })
        .Then(Editor(), [](QWidget& window) { ClickButton(window, IDCANCEL); });
    EXPECT_EQ(Edit(motion), 3);
}

// The pixels of `colour` inside `area` of the graph as drawn now.
int PixelsOf(QWidget& window, QRgb colour, const QRect& area) {
    const QImage image = Control(window, IDC_GRAPH)->grab().toImage();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) ++count;
    return count;
}

TEST_F(WindowRendering, RightClickOnTheGraphTurnsTheSpeedCurveOn) {
    const std::string motion = Put("hand.ptm", kWorkedExample);
    const QRgb speed = qRgb(0, 128, 0);  // RGB16(CR16_DARKGREEN)
    const auto plotOf = [](QWidget& window) {
        const CRect plot = dynamic_cast<CGraphWindow&>(*DialogOf(window).GetDlgItem(IDC_GRAPH))
                               .View()
                               .GetPlotRect();
        return QRect(plot.left, plot.top, plot.Width(), plot.Height());
    };
    QStringList offered;
    queue
        .Then(Editor(),
              [&](QWidget& window) {
                  QApplication::setActiveWindow(&window);
                  EXPECT_EQ(PixelsOf(window, speed, plotOf(window)), 0);
                  // Through the window system, which turns the right button into the context
                  // menu event as a desktop does; the menu's own loop runs the next step.
                  QWidget* graph = Control(window, IDC_GRAPH);
                  QTest::mouseClick(window.windowHandle(), Qt::RightButton, {},
                                    graph->mapTo(&window, plotOf(window).center()));
              })
        .Then(QtInputQueue::FrontMenu(),
              [&](QWidget& front) {
                  auto& menu = static_cast<QMenu&>(front);
                  for (QAction* action : menu.actions()) {
                      offered << action->text();
                      if (action->text() == "Preview &Speed") {
                          EXPECT_FALSE(action->isChecked());
                          menu.setActiveAction(action);
                      }
                  }
                  QTest::keyClick(&menu, Qt::Key_Return);
              })
        .Then(Editor(), [&](QWidget& window) {
            EXPECT_TRUE(offered.contains("Preview &Speed")) << offered.join(", ").toStdString();
            auto& graph = dynamic_cast<CGraphWindow&>(*DialogOf(window).GetDlgItem(IDC_GRAPH));
            EXPECT_TRUE(graph.View().IsShowingPreviewSpeed());
            EXPECT_GT(PixelsOf(window, speed, plotOf(window)), 100);
            ClickButton(window, IDCANCEL);
        });
    EXPECT_EQ(Edit(motion), 3);
}

}  // namespace
}  // namespace window_test
