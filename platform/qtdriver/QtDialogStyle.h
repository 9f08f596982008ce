// Fusion with the looks of Windows dialog controls: a 13-pixel check box or radio button
// indicator 3 pixels from its caption, so that captions fit the rectangles that templates give;
// a group box's title standing on its frame; drop-down lists that open below their field.
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
};
