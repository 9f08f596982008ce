// The preview's speed in the window's graph: a second curve on its own axis at the right, so
// that a drag shows at once what it does to the speed.
#include <GraphPalette.h>
#include <GraphView.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "GraphMapping.h"
#include "GraphTicks.h"
#include "PreviewEnvelope.h"

namespace {

COLORREF SpeedColour() { return RGB16(CR16_DARKGREEN); }

// "ms" of "Time[ms]": the unit that an axis title names in brackets; empty without one.
std::string UnitInTitle(const CString& title) {
    const std::string text = title.GetString();
    const size_t open = text.rfind('['), close = text.rfind(']');
    if (open == std::string::npos || close == std::string::npos || close < open) return {};
    return text.substr(open + 1, close - open - 1);
}

}  // namespace

void CGraphView::DrawPreviewSpeed(CDC& dc, const CRect& plot) const {
    if (!m_pFilter || !m_pFilter->m_pCurves || m_pFilter->GetCount() == 0) return;
    const CXYCurve* xy = m_pFilter->GetAt(0);
    const CCurveArray& curves = *m_pFilter->m_pCurves;
    if (!xy || xy->m_nXCurve < 0 || xy->m_nXCurve >= curves.GetSize() || xy->m_nYCurve < 0 ||
        xy->m_nYCurve >= curves.GetSize())
        return;
    const CCurve& xCurve = *curves.GetAt(xy->m_nXCurve);
    const CCurve& yCurve = *curves.GetAt(xy->m_nYCurve);
    const int count = std::min(xCurve.GetSize(), yCurve.GetSize());
    std::vector<double> times(static_cast<size_t>(count)), positions(times.size());
    for (int i = 0; i < count; ++i) {
        times[static_cast<size_t>(i)] = xCurve.GetAt(i);
        positions[static_cast<size_t>(i)] = yCurve.GetAt(i);
    }
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(SpeedColour());
    const int textHeight = std::max<int>(1, dc.GetTextExtent("0").cy);
    dc.SetTextAlign(TA_RIGHT | TA_BOTTOM);
    // The curves are in the units shown, so the speed is in their quotient.
    TrajectoryPreview preview;
    std::string error;
    if (!preview.Build(std::move(times), std::move(positions), error)) {
        dc.TextOut(plot.right, plot.top - 1, "speed: times must increase");
        return;
    }
    const std::string position = UnitInTitle(m_strYTitle), time = UnitInTitle(m_strXTitle);
    const std::string title = position.empty() || time.empty()
                                  ? std::string("speed")
                                  : "speed [" + position + "/" + time + "]";
    dc.TextOut(plot.right + 58, plot.top - 1, CString(title.c_str()));

    CGraphMapping mapping;
    mapping.plot = plot;
    mapping.minX = m_dViewMinX;
    mapping.maxX = m_dViewMaxX;
    const EnvelopeColumn whole = PreviewEnvelope(
        preview, MotionQuantity::Speed, preview.GetStartTime(), preview.GetEndTime(), 1)[0];
    double low = std::min(whole.low, 0.0), high = std::max(whole.high, 0.0);
    WidenRange(low, high);
    const double pad = (high - low) * 0.06;
    mapping.minY = low - pad;
    mapping.maxY = high + pad;

    CPen tick(PS_SOLID, 1, SpeedColour());
    dc.SelectObject(&tick);
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    const CGraphTicks ticks =
        MakeTicks(mapping.minY, mapping.maxY, std::max(2, plot.Height() / (textHeight * 3)));
    for (double value : ticks.values) {
        const int y = mapping.ToPixelY(value);
        dc.MoveTo(plot.right, y);
        dc.LineTo(plot.right + 4, y);
        dc.TextOut(plot.right + 6, y - textHeight / 2, TickLabel(value, ticks.step));
    }

    const int columns = std::max(1, plot.Width());
    const std::vector<EnvelopeColumn> envelope =
        PreviewEnvelope(preview, MotionQuantity::Speed, mapping.minX, mapping.maxX, columns);
    std::vector<POINT> points;
    points.reserve(envelope.size() * 4);
    for (size_t c = 0; c < envelope.size(); ++c) {
        const EnvelopeColumn& column = envelope[c];
        const int x = plot.left + static_cast<int>(c);
        const bool rising = column.first <= column.last;
        for (double value : {column.first, rising ? column.low : column.high,
                             rising ? column.high : column.low, column.last}) {
            const POINT point{x, mapping.ToPixelY(value)};
            if (points.empty() || points.back().x != point.x || points.back().y != point.y)
                points.push_back(point);
        }
    }
    if (points.size() < 2) return;
    dc.SaveDC();
    dc.IntersectClipRect(&plot);
    CPen pen(PS_SOLID, 2, SpeedColour());
    dc.SelectObject(&pen);
    dc.Polyline(points.data(), static_cast<int>(points.size()));
    dc.RestoreDC(-1);
}
