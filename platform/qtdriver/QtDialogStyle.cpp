#include "QtDialogStyle.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>
#include <QWidget>

namespace {

// A group box's title starts this far in from the frame's left edge, with this much room on
// either side of its text, where the frame line is left out.
constexpr int kTitleIndent = 6;
constexpr int kTitlePadding = 2;

// Windows' focus rectangle: every other pixel of its outline, starting at its top-left corner.
void DrawFocusRect(QPainter* painter, const QRect& rect, const QColor& color) {
    if (rect.width() < 1 || rect.height() < 1) return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(color);
    int step = 0;
    const auto dot = [&](int x, int y) {
        if (step++ % 2 == 0) painter->drawPoint(x, y);
    };
    for (int x = rect.left(); x < rect.right(); ++x) dot(x, rect.top());
    for (int y = rect.top(); y < rect.bottom(); ++y) dot(rect.right(), y);
    for (int x = rect.right(); x > rect.left(); --x) dot(x, rect.bottom());
    for (int y = rect.bottom(); y > rect.top(); --y) dot(rect.left(), y);
    painter->restore();
}

// Fusion shows the focus only after a key moved it, and in its own way: drawn here instead.
template <typename Option>
Option WithoutFocus(const Option& option) {
    Option plain = option;
    plain.state &= ~(QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange);
    return plain;
}

}  // namespace

QtDialogStyle::QtDialogStyle() : QProxyStyle(QStyleFactory::create("Fusion")) {}

int QtDialogStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                               const QWidget* widget) const {
    switch (metric) {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
            return 13;
        case PM_CheckBoxLabelSpacing:
        case PM_RadioButtonLabelSpacing:
            return 3;
        case PM_ButtonMargin:
            return 2;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

int QtDialogStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                             QStyleHintReturn* returnData) const {
    // Fusion lays the list over the field with the chosen item on it, which can put it above
    // the field; Windows drops it down whenever the screen has room below.
    if (hint == SH_ComboBox_Popup) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

QRect QtDialogStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                    SubControl subControl, const QWidget* widget) const {
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || !box) {
        return QProxyStyle::subControlRect(control, option, subControl, widget);
    }
    // As Windows draws a group box: the frame's top line runs through the middle of the title.
    const QFontMetrics& metrics = box->fontMetrics;
    const QRect& rect = box->rect;
    const int titleHeight = metrics.height();
    switch (subControl) {
        case SC_GroupBoxLabel:
            return box->text.isEmpty()
                       ? QRect()
                       : QRect(rect.left() + kTitleIndent, rect.top(),
                               metrics.horizontalAdvance(box->text) + 2 * kTitlePadding,
                               titleHeight);
        case SC_GroupBoxFrame:
            return rect.adjusted(0, titleHeight / 2, 0, 0);
        case SC_GroupBoxContents:
            return rect.adjusted(1, titleHeight, -1, -1);
        default:
            return QProxyStyle::subControlRect(control, option, subControl, widget);
    }
}

void QtDialogStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                       QPainter* painter, const QWidget* widget) const {
    if (const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
        control == CC_ComboBox && combo) {
        const QStyleOptionComboBox plain = WithoutFocus(*combo);
        QProxyStyle::drawComplexControl(control, &plain, painter, widget);
        return;
    }
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || !box) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const QRect title = subControlRect(CC_GroupBox, box, SC_GroupBoxLabel, widget);
    painter->save();
    QRegion outside(box->rect);
    if (!title.isEmpty()) outside -= title;
    painter->setClipRegion(outside);
    // An etched line, as Windows draws it: a shadow, and a light line one pixel in. Fusion's own
    // frame would leave room for the title above it.
    const QRect frame = subControlRect(CC_GroupBox, box, SC_GroupBoxFrame, widget);
    painter->setPen(box->palette.color(QPalette::Mid));
    painter->drawRect(frame.adjusted(0, 0, -2, -2));
    painter->setPen(box->palette.color(QPalette::Light));
    painter->drawRect(frame.adjusted(1, 1, -1, -1));
    painter->restore();
    if (!title.isEmpty()) {
        proxy()->drawItemText(painter, title, Qt::AlignCenter | Qt::TextShowMnemonic, box->palette,
                              box->state & State_Enabled, box->text, QPalette::WindowText);
    }
}

void QtDialogStyle::drawControl(ControlElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
    const bool focused = option->state & State_HasFocus;
    const QColor dots = option->palette.color(QPalette::WindowText);
    if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        button && element == CE_PushButton) {
        QStyleOptionButton plain = WithoutFocus(*button);
        const QVariant shown = widget ? widget->property(kShownDefault) : QVariant();
        const bool isDefault = shown.isValid()
                                   ? shown.toBool()
                                   : (button->features & QStyleOptionButton::DefaultButton);
        plain.features &= ~QStyleOptionButton::DefaultButton;
        // The default button's heavier frame: a black line around its usual one.
        if (isDefault) plain.rect.adjust(1, 1, -1, -1);
        QProxyStyle::drawControl(element, &plain, painter, widget);
        if (isDefault) {
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing, false);
            painter->setPen(dots);
            painter->drawRect(button->rect.adjusted(0, 0, -1, -1));
            painter->restore();
        }
        if (focused) DrawFocusRect(painter, button->rect.adjusted(4, 4, -5, -5), dots);
        return;
    }
    if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        button && (element == CE_CheckBox || element == CE_RadioButton)) {
        const QStyleOptionButton plain = WithoutFocus(*button);
        QProxyStyle::drawControl(element, &plain, painter, widget);
        if (!focused || button->text.isEmpty()) return;
        // Around the caption's lines as they are drawn beside the indicator.
        const QRect room = subElementRect(
            element == CE_CheckBox ? SE_CheckBoxContents : SE_RadioButtonContents, button, widget);
        QString caption;
        for (int i = 0; i < button->text.size(); ++i) {
            if (button->text[i] == '&' && i + 1 < button->text.size()) ++i;
            caption += button->text[i];
        }
        const QRect text =
            button->fontMetrics.boundingRect(room, Qt::AlignLeft | Qt::AlignVCenter, caption);
        DrawFocusRect(painter, text.adjusted(-1, 0, 1, 0).intersected(button->rect), dots);
        return;
    }
    if (const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
        combo && element == CE_ComboBoxLabel && focused && !combo->editable) {
        // A focused drop-down list shows its text selected, in the selection's colours.
        const QRect field = subControlRect(CC_ComboBox, combo, SC_ComboBoxEditField, widget);
        const QRect selected = field.adjusted(0, 1, 0, -1);
        painter->fillRect(selected, combo->palette.brush(QPalette::Highlight));
        QStyleOptionComboBox highlighted = WithoutFocus(*combo);
        const QColor text = combo->palette.color(QPalette::HighlightedText);
        for (const QPalette::ColorRole role :
             {QPalette::Text, QPalette::ButtonText, QPalette::WindowText}) {
            highlighted.palette.setColor(role, text);
        }
        painter->save();
        painter->setPen(text);
        QProxyStyle::drawControl(element, &highlighted, painter, widget);
        painter->restore();
        DrawFocusRect(painter, selected, text);
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}
