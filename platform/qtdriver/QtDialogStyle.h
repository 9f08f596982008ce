// Fusion with the metrics of Windows dialog controls: a 13-pixel check box or radio button
// indicator 3 pixels from its caption, so that captions fit the rectangles that templates give.
#pragma once

#include <QProxyStyle>

class QtDialogStyle : public QProxyStyle {
public:
    QtDialogStyle();
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override;
};
