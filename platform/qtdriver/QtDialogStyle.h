// Fusion with the looks of Windows dialog controls: a 13-pixel check box or radio button
// indicator 3 pixels from its caption, so that captions fit the rectangles that templates give;
// a group box's title standing on its frame; drop-down lists that open below their field; and
// the focus as Windows shows it, whatever moved it: a dotted rectangle around a check box's or
// radio button's caption and inside a push button, the default push button framed in black,
// and a drop-down list's text selected.
#pragma once

#include <QProxyStyle>

class QtDialogStyle : public QProxyStyle {
public:
    QtDialogStyle();
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                         SubControl subControl, const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;

    // A push button with this property true is drawn as the dialog's default button: the one
    // that Enter runs (the focused push button, else the template's default).
    static constexpr char kShownDefault[] = "shownDefault";
};
