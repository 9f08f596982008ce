#include "PreviewPlot.h"

#include <GraphWindow.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "AxisTicks.h"
#include "NumberText.h"
#include "PreviewEnvelope.h"

namespace {

constexpr int kMargin = 14;
constexpr int kPanelGap = 12;
constexpr int kTickGap = 6;
constexpr int kMarkerRadius = 3;
// A limit far above the curve would flatten it: beyond this many times the peak it is only named.
constexpr double kLimitInScale = 3;

LOGFONT PlotFont(int pixels, bool bold) {
    LOGFONT font;
    font.lfHeight = -pixels;
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    std::strncpy(font.lfFaceName, "Arial", sizeof font.lfFaceName - 1);
    return font;
}

struct Fonts {
    CFont title, label, small;
    Fonts() {
        const LOGFONT title16 = PlotFont(16, true), label13 = PlotFont(13, true),
                      small12 = PlotFont(12, false);
        title.CreateFontIndirect(&title16);
        label.CreateFontIndirect(&label13);
        small.CreateFontIndirect(&small12);
    }
};

struct Panel {
    PreviewQuantity quantity;
    std::string title;
    std::string unit;
    std::optional<double> limit;
    bool limitInScale = false;
    AxisScale scale;
    CRect plot;
};

CString Text(const std::string& text) { return CString(text.c_str()); }

// Everything DrawPreviewPlot needs before it draws: the panels, their scales and places.
struct Layout {
    CRect titleRow;
    AxisScale time;
    Panel panels[3];
    int timeLabelsTop = 0;
    int timeTitleTop = 0;
};

Layout Arrange(CDC& dc, const CRect& area, const PreviewPlotContent& content, Fonts& fonts) {
    const CTrajectoryPreview& preview = *content.preview;
    const PreviewUnits& units = content.units;
    Layout layout;
    layout.panels[0] = {
        PreviewQuantity::Position, "Position", units.position.name, {}, false, {}, {}};
    layout.panels[1] = {PreviewQuantity::Velocity,
                        "Speed",
                        units.SpeedName(),
                        content.limits.maxSpeed,
                        false,
                        {},
                        {}};
    layout.panels[2] = {PreviewQuantity::Acceleration,
                        "Acceleration",
                        units.AccelerationName(),
                        content.limits.maxAcceleration,
                        false,
                        {},
                        {}};

    dc.SelectObject(&fonts.title);
    const int titleHeight = dc.GetTextExtent("Ag").cy;
    dc.SelectObject(&fonts.label);
    const int labelHeight = dc.GetTextExtent("Ag").cy;
    dc.SelectObject(&fonts.small);
    const int smallHeight = dc.GetTextExtent("0").cy;

    layout.titleRow = CRect(area.left + kMargin, area.top + kMargin / 2, area.right - kMargin,
                            area.top + kMargin / 2 + titleHeight);
    const int panelsTop = layout.titleRow.bottom + kPanelGap / 2;
    const int panelsBottom =
        area.bottom - kMargin / 2 - labelHeight - kTickGap - smallHeight - kTickGap;
    const int panelHeight = (panelsBottom - panelsTop - 2 * kPanelGap) / 3;
    const int plotHeight = std::max(10, panelHeight - labelHeight - 4);

    // Scales first: the widest tick label decides where the plots start.
    const double start = preview.GetStartTime(), end = preview.GetEndTime();
    int labelWidth = 0;
    for (Panel& panel : layout.panels) {
        const EnvelopeColumn whole = PreviewEnvelope(preview, panel.quantity, start, end, 1)[0];
        const auto shown = [&](double iu) {
            switch (panel.quantity) {
                case PreviewQuantity::Position:
                    return units.Position(iu);
                case PreviewQuantity::Velocity:
                    return units.Speed(iu);
                case PreviewQuantity::Acceleration:
                    return units.Acceleration(iu);
            }
            return iu;
        };
        double low = shown(whole.low), high = shown(whole.high);
        if (panel.quantity != PreviewQuantity::Position) {
            low = std::min(low, 0.0);
            high = std::max(high, 0.0);
        }
        if (panel.limit) {
            const double limit = shown(*panel.limit);
            panel.limitInScale = limit <= kLimitInScale * std::max(std::abs(low), std::abs(high));
            if (panel.limitInScale) {
                high = std::max(high, limit);
                // The lower line only where the curve heads for it, not for a slight dip.
                if (low < -0.1 * limit) low = std::min(low, -limit);
            }
        }
        const double pad = (high - low) * 0.05;
        panel.scale =
            NiceScale(low - (low < 0 || panel.quantity == PreviewQuantity::Position ? pad : 0),
                      high + pad, std::max(2, plotHeight / 28));
        for (double tick : panel.scale.Ticks()) {
            labelWidth = std::max(
                labelWidth, static_cast<int>(dc.GetTextExtent(Text(FormatReadable(tick))).cx));
        }
    }
    const int plotLeft = area.left + kMargin + labelWidth + kTickGap;
    // Room for half the last time label, which is centred on the plots' right edge.
    const std::string lastTime = FormatReadable(
        NiceScale(units.Time(start), units.Time(end), std::max(2, area.Width() / 90)).high);
    const int plotRight = area.right - kMargin - dc.GetTextExtent(Text(lastTime)).cx / 2;
    int top = panelsTop;
    for (Panel& panel : layout.panels) {
        panel.plot =
            CRect(plotLeft, top + labelHeight + 4, plotRight, top + labelHeight + 4 + plotHeight);
        top += panelHeight + kPanelGap;
    }
    layout.time =
        NiceScale(units.Time(start), units.Time(end), std::max(2, (plotRight - plotLeft) / 90));
    layout.timeLabelsTop = layout.panels[2].plot.bottom + kTickGap / 2;
    layout.timeTitleTop = layout.timeLabelsTop + smallHeight + kTickGap / 2;
    return layout;
}

// Value to pixel row inside a plot.
int RowOf(const Panel& panel, double value) {
    const double share = (value - panel.scale.low) / (panel.scale.high - panel.scale.low);
    const double row = panel.plot.bottom - 1 - share * (panel.plot.Height() - 1);
    return static_cast<int>(std::lround(std::clamp(row, -1e6, 1e6)));
}

int ColumnOf(const CRect& plot, const AxisScale& time, double t) {
    const double share = (t - time.low) / (time.high - time.low);
    return plot.left + static_cast<int>(std::lround(share * (plot.Width() - 1)));
}

double Shown(const PreviewUnits& units, PreviewQuantity quantity, double iu) {
    switch (quantity) {
        case PreviewQuantity::Position:
            return units.Position(iu);
        case PreviewQuantity::Velocity:
            return units.Speed(iu);
        case PreviewQuantity::Acceleration:
            return units.Acceleration(iu);
    }
    return iu;
}

void DrawGrid(CDC& dc, const Panel& panel, const AxisScale& time, Fonts& fonts) {
    dc.FillSolidRect(&panel.plot, RGB16(CR16_BACKGROUND));
    CPen grid(PS_SOLID, 1, RGB16(CR16_GRID));
    CPen zero(PS_SOLID, 1, RGB16(CR16_DARKGRAY));
    dc.SelectObject(&fonts.small);
    dc.SetTextColor(RGB16(CR16_BLACK));
    for (double tick : panel.scale.Ticks()) {
        const int y = RowOf(panel, tick);
        dc.SelectObject(tick == 0 && panel.quantity != PreviewQuantity::Position ? &zero : &grid);
        dc.MoveTo(panel.plot.left, y);
        dc.LineTo(panel.plot.right, y);
        dc.SetTextAlign(TA_RIGHT | TA_TOP);
        const CString label = Text(FormatReadable(tick));
        dc.TextOut(panel.plot.left - kTickGap, y - dc.GetTextExtent(label).cy / 2, label);
    }
    dc.SelectObject(&grid);
    for (double tick : time.Ticks()) {
        const int x = ColumnOf(panel.plot, time, tick);
        dc.MoveTo(x, panel.plot.top);
        dc.LineTo(x, panel.plot.bottom);
    }
}

void DrawCurve(CDC& dc, const Panel& panel, const AxisScale& time,
               const PreviewPlotContent& content, const CTrajectoryPreview& preview) {
    // The time axis in IU, one column a pixel.
    const double from = time.low * content.units.time.iuPerUnit;
    const double to = time.high * content.units.time.iuPerUnit;
    const int columns = std::max(1, panel.plot.Width());
    const std::vector<EnvelopeColumn> envelope =
        PreviewEnvelope(preview, panel.quantity, from, to, columns);
    std::vector<POINT> points;
    points.reserve(envelope.size() * 4);
    const auto add = [&](int x, double iu) {
        const POINT point{x, RowOf(panel, Shown(content.units, panel.quantity, iu))};
        if (points.empty() || points.back().x != point.x || points.back().y != point.y)
            points.push_back(point);
    };
    for (size_t c = 0; c < envelope.size(); ++c) {
        const EnvelopeColumn& column = envelope[c];
        const int x = panel.plot.left + static_cast<int>(c);
        add(x, column.first);
        const bool rising = column.first <= column.last;
        add(x, rising ? column.low : column.high);
        add(x, rising ? column.high : column.low);
        add(x, column.last);
    }
    if (points.size() == 1) points.push_back(points.front());
    // A smooth line where the curve is a line; where many segments share a pixel it is a band,
    // which a thin pen fills as well at a fraction of the cost.
    const bool dense = preview.GetSegments().size() > static_cast<size_t>(columns);
    CPen pen(PS_SOLID, dense ? 1 : 2, RGB16(CR16_CURVE));
    dc.SelectObject(&pen);
    dc.Polyline(points.data(), static_cast<int>(points.size()));
}

// The table's points; where they lie closer than a marker's width, one marker stands for them,
// so that a long table costs a few hundred markers, not one a point.
void MarkPoints(CDC& dc, const Panel& panel, const AxisScale& time,
                const PreviewPlotContent& content, const CTrajectoryPreview& preview) {
    CPen pen(PS_SOLID, 1, RGB16(CR16_DARKRED));
    CBrush brush(RGB16(CR16_WHITE));
    dc.SelectObject(&pen);
    dc.SelectObject(&brush);
    const std::vector<double>& times = preview.GetTimes();
    const std::vector<double>& positions = preview.GetPositions();
    int lastX = 0;
    for (size_t i = 0; i < times.size(); ++i) {
        const int x = ColumnOf(panel.plot, time, content.units.Time(times[i]));
        if (i > 0 && x - lastX < 2 * kMarkerRadius + 1) continue;
        const int y = RowOf(panel, content.units.Position(positions[i]));
        dc.Ellipse(x - kMarkerRadius, y - kMarkerRadius, x + kMarkerRadius + 1,
                   y + kMarkerRadius + 1);
        lastX = x;
    }
}

void DrawLimit(CDC& dc, const Panel& panel, const PreviewUnits& units, Fonts& fonts) {
    if (!panel.limit || !panel.limitInScale) return;
    const double limit = Shown(units, panel.quantity, *panel.limit);
    CPen dashed(PS_DASH, 1, RGB16(CR16_RED));
    dc.SelectObject(&dashed);
    dc.SelectObject(&fonts.small);
    dc.SetTextColor(RGB16(CR16_RED));
    dc.SetTextAlign(TA_RIGHT | TA_BOTTOM);
    for (double value : {limit, -limit}) {
        if (value < panel.scale.low || value > panel.scale.high) continue;
        const int y = RowOf(panel, value);
        dc.MoveTo(panel.plot.left, y);
        dc.LineTo(panel.plot.right, y);
        dc.TextOut(panel.plot.right - 4, y - 1,
                   Text("limit " + FormatReadable(value) + " " + panel.unit));
    }
}

void AnnotatePeak(CDC& dc, const Panel& panel, const AxisScale& time,
                  const PreviewPlotContent& content, const MotionPeak& peak, Fonts& fonts) {
    const double value = Shown(content.units, panel.quantity,
                               PreviewValueAt(*content.preview, panel.quantity, peak.time));
    // At a point the acceleration jumps: the peak may be the value on its left.
    const double magnitude = Shown(content.units, panel.quantity, peak.value);
    const double shown = std::abs(std::abs(value) - magnitude) <= 1e-9 * magnitude
                             ? value
                             : std::copysign(magnitude, -value);
    const int x = ColumnOf(panel.plot, time, content.units.Time(peak.time));
    const int y = RowOf(panel, shown);
    CPen pen(PS_SOLID, 1, RGB16(CR16_RED));
    CBrush brush(RGB16(CR16_RED));
    dc.SelectObject(&pen);
    dc.SelectObject(&brush);
    dc.Ellipse(x - 4, y - 4, x + 5, y + 5);

    dc.SelectObject(&fonts.small);
    dc.SetTextColor(RGB16(CR16_BLACK));
    const CString label =
        Text("peak " + FormatReadable(std::abs(shown)) + " " + panel.unit + " at " +
             FormatReadable(content.units.Time(peak.time)) + " " + content.units.time.name);
    const CSize extent = dc.GetTextExtent(label);
    // Beside the marker, on the side with room, and inside the plot.
    const bool right = x + 8 + extent.cx <= panel.plot.right - 2;
    const bool below =
        shown >= 0 ? y - 6 - extent.cy < panel.plot.top : y + 6 + extent.cy <= panel.plot.bottom;
    int textX = right ? x + 8 : x - 8 - extent.cx;
    textX =
        std::clamp(textX, static_cast<int>(panel.plot.left) + 2,
                   std::max(static_cast<int>(panel.plot.left) + 2,
                            static_cast<int>(panel.plot.right) - 2 - static_cast<int>(extent.cx)));
    const int textY = below ? y + 6 : y - 6 - extent.cy;
    dc.SetBkMode(OPAQUE);
    dc.SetBkColor(RGB16(CR16_BACKGROUND));
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.TextOut(textX, textY, label);
    dc.SetBkMode(TRANSPARENT);
}

void DrawPanelTitle(CDC& dc, const Panel& panel, const PreviewUnits& units, Fonts& fonts) {
    dc.SelectObject(&fonts.label);
    dc.SetTextColor(RGB16(CR16_BLACK));
    dc.SetTextAlign(TA_LEFT | TA_BOTTOM);
    std::string title = panel.title + " [" + panel.unit + "]";
    dc.TextOut(panel.plot.left, panel.plot.top - 3, Text(title));
    if (panel.limit && !panel.limitInScale) {
        const int width = dc.GetTextExtent(Text(title)).cx;
        dc.SelectObject(&fonts.small);
        dc.SetTextColor(RGB16(CR16_RED));
        dc.TextOut(panel.plot.left + width + 10, panel.plot.top - 3,
                   Text("limit " + FormatReadable(Shown(units, panel.quantity, *panel.limit)) +
                        " " + panel.unit + ", far above the curve"));
    }
}

}  // namespace

PreviewPlotLayout LayOutPreviewPlot(CDC& dc, const CRect& area, const PreviewPlotContent& content) {
    Fonts fonts;
    dc.SaveDC();
    const Layout layout = Arrange(dc, area, content, fonts);
    dc.RestoreDC(-1);
    PreviewPlotLayout result;
    for (int i = 0; i < 3; ++i) result.panels[i] = layout.panels[i].plot;
    return result;
}

void DrawPreviewPlot(CDC& dc, const CRect& area, const PreviewPlotContent& content) {
    if (!content.preview || !content.figures || content.preview->GetSegments().empty()) return;
    Fonts fonts;
    dc.SaveDC();
    dc.IntersectClipRect(&area);
    dc.FillSolidRect(&area, RGB16(CR16_WHITE));
    dc.SetBkMode(TRANSPARENT);
    const Layout layout = Arrange(dc, area, content, fonts);

    dc.SelectObject(&fonts.title);
    dc.SetTextColor(RGB16(CR16_BLACK));
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.TextOut(layout.titleRow.left, layout.titleRow.top, Text(content.title));
    dc.SelectObject(&fonts.small);
    dc.SetTextColor(RGB16(CR16_DARKGRAY));
    dc.SetTextAlign(TA_RIGHT | TA_TOP);
    dc.TextOut(layout.titleRow.right, layout.titleRow.top + 2,
               "Preview: an estimate for planning, not the drive's own profile");

    for (const Panel& panel : layout.panels) {
        DrawPanelTitle(dc, panel, content.units, fonts);
        DrawGrid(dc, panel, layout.time, fonts);
        dc.SaveDC();
        dc.IntersectClipRect(&panel.plot);
        DrawLimit(dc, panel, content.units, fonts);
        DrawCurve(dc, panel, layout.time, content, *content.preview);
        if (panel.quantity == PreviewQuantity::Position) {
            MarkPoints(dc, panel, layout.time, content, *content.preview);
        } else {
            const bool speed = panel.quantity == PreviewQuantity::Velocity;
            AnnotatePeak(dc, panel, layout.time, content,
                         speed ? content.figures->peakSpeed : content.figures->peakAcceleration,
                         fonts);
        }
        dc.RestoreDC(-1);
        CPen frame(PS_SOLID, 1, RGB16(CR16_DARKGRAY));
        dc.SelectObject(&frame);
        dc.SelectStockObject(NULL_BRUSH);
        dc.Rectangle(&panel.plot);
    }

    const CRect& bottom = layout.panels[2].plot;
    dc.SelectObject(&fonts.small);
    dc.SetTextColor(RGB16(CR16_BLACK));
    dc.SetTextAlign(TA_CENTER | TA_TOP);
    for (double tick : layout.time.Ticks()) {
        dc.TextOut(ColumnOf(bottom, layout.time, tick), layout.timeLabelsTop,
                   Text(FormatReadable(tick)));
    }
    dc.SelectObject(&fonts.label);
    dc.TextOut((bottom.left + bottom.right) / 2, layout.timeTitleTop,
               Text("Time [" + content.units.time.name + "]"));
    dc.RestoreDC(-1);
}
