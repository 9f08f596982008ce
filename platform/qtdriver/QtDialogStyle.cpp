#include "QtDialogStyle.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionGroupBox>

namespace {

// A group box's title starts this far in from the frame's left edge, with this much room on
// either side of its text, where the frame line is left out.
constexpr int kTitleIndent = 6;
constexpr int kTitlePadding = 2;

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
