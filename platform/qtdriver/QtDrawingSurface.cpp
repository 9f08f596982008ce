#include "QtDrawingSurface.h"

#include <QFontMetrics>

#include "QtFonts.h"

namespace {

QRect ToQRect(const RECT& rect) {
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

QPen ToQPen(const LOGPEN& pen) {
    if (pen.lopnStyle == PS_NULL) return QPen(Qt::NoPen);
    QPen qpen(QColorFromColorRef(pen.lopnColor));
    qpen.setWidth(std::max(1, pen.lopnWidth));
    qpen.setCapStyle(pen.lopnWidth > 1 ? Qt::RoundCap : Qt::SquareCap);
    qpen.setJoinStyle(Qt::RoundJoin);
    if (pen.lopnStyle == PS_DASH) qpen.setStyle(Qt::DashLine);
    if (pen.lopnStyle == PS_DOT) qpen.setStyle(Qt::DotLine);
    return qpen;
}

QBrush ToQBrush(const LOGBRUSH& brush) {
    if (brush.lbStyle == BS_NULL) return QBrush(Qt::NoBrush);
    return QBrush(QColorFromColorRef(brush.lbColor));
}

}  // namespace

QColor QColorFromColorRef(COLORREF color) {
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

QtDrawingSurface::QtDrawingSurface(QPainter& painter, const QRect& bounds, int dpi)
    : m_painter(painter), m_bounds(bounds), m_dpi(dpi) {}

CRect QtDrawingSurface::GetBounds() const {
    return CRect(m_bounds.left(), m_bounds.top(), m_bounds.left() + m_bounds.width(),
                 m_bounds.top() + m_bounds.height());
}

void QtDrawingSurface::SetClip(const RECT& rect) { m_painter.setClipRect(ToQRect(rect)); }

void QtDrawingSurface::DrawPolyline(const POINT* points, int count, const LOGPEN& pen) {
    m_points.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        m_points[static_cast<size_t>(i)] = QPoint(points[i].x, points[i].y);
    const bool dense = count > 2 * m_bounds.width();
    if (pen.lopnWidth <= 1 || !dense) {
        m_painter.setRenderHint(QPainter::Antialiasing, pen.lopnWidth > 1);
        m_painter.setPen(ToQPen(pen));
        m_painter.drawPolyline(m_points.data(), count);
        return;
    }
    // A wide pen on thousands of short segments costs Qt a stroke each; hairlines side by side
    // and one below another cover the same pixels at a fraction of the time.
    QPen hairline = ToQPen(pen);
    hairline.setWidth(0);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setPen(hairline);
    m_painter.drawPolyline(m_points.data(), count);
    for (int offset = 1; offset < pen.lopnWidth; ++offset) {
        for (const QPoint shift : {QPoint(offset, 0), QPoint(0, offset)}) {
            m_painter.translate(shift);
            m_painter.drawPolyline(m_points.data(), count);
            m_painter.translate(-shift);
        }
    }
}

void QtDrawingSurface::DrawRectangle(const RECT& rect, const LOGPEN& pen, const LOGBRUSH& brush) {
    const QRect area = ToQRect(rect);
    if (brush.lbStyle != BS_NULL) m_painter.fillRect(area, ToQBrush(brush));
    if (pen.lopnStyle == PS_NULL || area.width() < 1 || area.height() < 1) return;
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setPen(ToQPen(pen));
    m_painter.setBrush(Qt::NoBrush);
    // A one-pixel outline of a QRect covers one pixel more to the right and below.
    m_painter.drawRect(area.adjusted(0, 0, -1, -1));
}

void QtDrawingSurface::DrawEllipse(const RECT& rect, const LOGPEN& pen, const LOGBRUSH& brush) {
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_painter.setPen(ToQPen(pen));
    m_painter.setBrush(ToQBrush(brush));
    m_painter.drawEllipse(ToQRect(rect).adjusted(0, 0, -1, -1));
}

void QtDrawingSurface::FillRect(const RECT& rect, COLORREF color) {
    m_painter.fillRect(ToQRect(rect), QColorFromColorRef(color));
}

void QtDrawingSurface::DrawTextLine(int x, int y, UINT nAlign, const CString& text,
                                    const LOGFONT& font, COLORREF textColor, bool opaque,
                                    COLORREF bkColor) {
    const QFont qfont = FontFromLogFont(font, m_dpi);
    const QFontMetrics metrics(qfont);
    const QString line = QString::fromUtf8(text.GetString());
    const int width = metrics.horizontalAdvance(line);
    // TA_CENTER and TA_BASELINE share bits with TA_RIGHT and TA_BOTTOM: test them first.
    int left = 0;
    if ((nAlign & TA_CENTER) == TA_CENTER)
        left = -width / 2;
    else if (nAlign & TA_RIGHT)
        left = -width;
    int top = 0;
    if ((nAlign & TA_BASELINE) == TA_BASELINE)
        top = -metrics.ascent();
    else if (nAlign & TA_BOTTOM)
        top = -metrics.height();

    m_painter.save();
    m_painter.translate(x, y);
    m_painter.rotate(-font.lfEscapement / 10.0);
    if (opaque)
        m_painter.fillRect(QRect(left, top, width, metrics.height()), QColorFromColorRef(bkColor));
    m_painter.setFont(qfont);
    m_painter.setPen(QColorFromColorRef(textColor));
    m_painter.drawText(QPoint(left, top + metrics.ascent()), line);
    m_painter.restore();
}

CSize QtDrawingSurface::MeasureText(const CString& text, const LOGFONT& font) const {
    const QFontMetrics metrics(FontFromLogFont(font, m_dpi));
    return CSize(metrics.horizontalAdvance(QString::fromUtf8(text.GetString())), metrics.height());
}
