// The drawing surface of the device context on a QPainter: a widget's paint event or an image.
#pragma once

#include <afxdc.h>

#include <QPainter>
#include <QRect>
#include <vector>

class QtDrawingSurface : public CDrawingSurface {
public:
    // The painter must be active on its device for as long as the surface draws.
    QtDrawingSurface(QPainter& painter, const QRect& bounds, int dpi = 96);

    CRect GetBounds() const override;
    int GetDpi() const override { return m_dpi; }
    void SetClip(const RECT& rect) override;

    void DrawPolyline(const POINT* points, int count, const LOGPEN& pen) override;
    void DrawRectangle(const RECT& rect, const LOGPEN& pen, const LOGBRUSH& brush) override;
    void DrawEllipse(const RECT& rect, const LOGPEN& pen, const LOGBRUSH& brush) override;
    void FillRect(const RECT& rect, COLORREF color) override;
    void DrawTextLine(int x, int y, UINT nAlign, const CString& text, const LOGFONT& font,
                      COLORREF textColor, bool opaque, COLORREF bkColor) override;
    CSize MeasureText(const CString& text, const LOGFONT& font) const override;

private:
    QPainter& m_painter;
    QRect m_bounds;
    int m_dpi;
    std::vector<QPoint> m_points;  // reused: a polyline may hold a few thousand points
};

QColor QColorFromColorRef(COLORREF color);
