#include "GraphTicks.h"

#include <algorithm>
#include <cmath>

CGraphTicks MakeTicks(double low, double high, int maxCount) {
    CGraphTicks ticks;
    const double span = high - low;
    if (!(span > 0) || !std::isfinite(span)) return ticks;
    const double rough = span / std::max(1, maxCount);
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    const double residual = rough / magnitude;
    ticks.step = magnitude * (residual <= 1 ? 1 : residual <= 2 ? 2 : residual <= 5 ? 5 : 10);
    const double first = std::ceil(low / ticks.step - 1e-9);
    for (double index = first; index * ticks.step <= high + ticks.step * 1e-9; ++index) {
        // Multiplying keeps values round where adding steps would gather error.
        const double value = index * ticks.step;
        ticks.values.push_back(std::fabs(value) < ticks.step * 1e-9 ? 0.0 : value);
        if (ticks.values.size() > 1000) break;
    }
    return ticks;
}

CString TickLabel(double value, double step) {
    const int decimals = std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 12);
    CString label;
    label.Format("%.*f", decimals, value);
    return label;
}

void DrawXTicks(CDC& dc, const CGraphMapping& mapping, const CGraphTicks& ticks, CPen& grid,
                CPen& tick, bool labels) {
    const CRect& plot = mapping.plot;
    dc.SetTextAlign(TA_CENTER | TA_TOP);
    for (double value : ticks.values) {
        const int x = mapping.ToPixelX(value);
        dc.SelectObject(&grid);
        dc.MoveTo(x, plot.top);
        dc.LineTo(x, plot.bottom);
        dc.SelectObject(&tick);
        dc.MoveTo(x, plot.bottom);
        dc.LineTo(x, plot.bottom + 4);
        if (labels) dc.TextOut(x, plot.bottom + 5, TickLabel(value, ticks.step));
    }
}

void DrawYTicks(CDC& dc, const CGraphMapping& mapping, const CGraphTicks& ticks, CPen& grid,
                CPen& tick, int textHeight, CPen* zeroLine) {
    const CRect& plot = mapping.plot;
    dc.SetTextAlign(TA_RIGHT | TA_TOP);
    for (double value : ticks.values) {
        const int y = mapping.ToPixelY(value);
        dc.SelectObject(zeroLine && value == 0 ? zeroLine : &grid);
        dc.MoveTo(plot.left, y);
        dc.LineTo(plot.right, y);
        dc.SelectObject(&tick);
        dc.MoveTo(plot.left - 4, y);
        dc.LineTo(plot.left, y);
        dc.TextOut(plot.left - 6, y - textHeight / 2, TickLabel(value, ticks.step));
    }
}
