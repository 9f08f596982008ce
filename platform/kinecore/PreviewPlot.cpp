#include "PreviewPlot.h"

#include <GraphWindow.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "GraphMapping.h"
#include "GraphTicks.h"
#include "NumberText.h"
#include "PreviewEnvelope.h"

namespace {

constexpr int kMargin = 14;
constexpr int kPanelGap = 14;
constexpr int kMarkerRadius = 3;
// A limit far above the curve would flatten it: beyond this many times the peak it is only named.
constexpr double kLimitInScale = 3;
// The profile lies under the table's curves, broader and in a colour of its own.
const COLORREF kProfileColour = RGB(240, 150, 40);
constexpr int kProfilePen = 5;

// The tick labels are the window graph's own font (LOGFONT's default); titles stand out.
LOGFONT BoldFont(int pixels) {
    LOGFONT font;
    font.lfHeight = -pixels;
    font.lfWeight = FW_BOLD;
    std::strncpy(font.lfFaceName, "Arial", sizeof font.lfFaceName - 1);
    return font;
}

struct Fonts {
    CFont title, label, ticks;
    Fonts() {
        const LOGFONT title16 = BoldFont(16), label13 = BoldFont(13), plain;
        title.CreateFontIndirect(&title16);
        label.CreateFontIndirect(&label13);
        ticks.CreateFontIndirect(&plain);
    }
};

struct Panel {
    PreviewQuantity quantity;
    bool deviation = false;  // the table's position minus the profile's
    std::string title;
    std::string unit;
    std::optional<double> limit;
    bool limitInScale = false;
    CGraphTicks ticks;
    CGraphMapping mapping;  // x in the time unit shown, y in the panel's unit
};

CString Text(const std::string& text) { return CString(text.c_str()); }

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

// Everything DrawPreviewPlot needs before it draws: the panels, their ranges and places.
struct Layout {
    CRect titleRow;
    CGraphTicks timeTicks;
    Panel panels[4];
    int panelCount = 3;
    int textHeight = 0;
};

// A curve that is no preview, reduced to columns as PreviewEnvelope reduces one: sampled evenly,
// and more densely in a column that holds many of `knots` (ascending), where it may turn often.
std::vector<EnvelopeColumn> SampledEnvelope(const std::function<double(double)>& value, double from,
                                            double to, int columns,
                                            const std::vector<double>& knots) {
    std::vector<EnvelopeColumn> envelope(static_cast<size_t>(columns));
    const double width = (to - from) / columns;
    auto knot = std::lower_bound(knots.begin(), knots.end(), from);
    for (int c = 0; c < columns; ++c) {
        const double start = from + c * width;
        const double end = c + 1 == columns ? to : start + width;
        int inside = 0;
        for (; knot != knots.end() && *knot < end; ++knot) ++inside;
        const int samples = 4 + 8 * inside;
        EnvelopeColumn& column = envelope[static_cast<size_t>(c)];
        column.first = column.low = column.high = value(start);
        for (int k = 1; k <= samples; ++k) {
            const double v = value(k == samples ? end : start + (end - start) * k / samples);
            column.low = std::min(column.low, v);
            column.high = std::max(column.high, v);
            column.last = v;
        }
    }
    return envelope;
}

// Outside the profile it rests at its nearest end, as the drive does outside the table.
double ProfileValueAt(const ReferenceMotion& profile, PreviewQuantity quantity, double t) {
    if (t < 0 || t > profile.Duration()) {
        if (quantity != PreviewQuantity::Position) return 0;
        t = std::clamp(t, 0.0, profile.Duration());
    }
    switch (quantity) {
        case PreviewQuantity::Position:
            return profile.PositionAt(t);
        case PreviewQuantity::Velocity:
            return profile.VelocityAt(t);
        case PreviewQuantity::Acceleration:
            return profile.AccelerationAt(t);
    }
    return 0;
}

// What a panel draws in IU: the profile's curve or the deviation.
std::vector<EnvelopeColumn> ProfileEnvelope(const PreviewPlotContent& content, const Panel& panel,
                                            double from, double to, int columns) {
    const ReferenceMotion& profile = *content.profile;
    if (panel.deviation) {
        const CTrajectoryPreview& preview = *content.preview;
        return SampledEnvelope(
            [&](double t) {
                const double within = std::clamp(t, 0.0, profile.Duration());
                return preview.PositionAt(within) - profile.PositionAt(within);
            },
            from, to, columns, preview.GetTimes());
    }
    return SampledEnvelope([&](double t) { return ProfileValueAt(profile, panel.quantity, t); },
                           from, to, columns, profile.Breaks());
}

Layout Arrange(CDC& dc, const CRect& area, const PreviewPlotContent& content, Fonts& fonts) {
    const CTrajectoryPreview& preview = *content.preview;
    const PreviewUnits& units = content.units;
    Layout layout;
    layout.panels[0] = {
        PreviewQuantity::Position, false, "Position", units.position.name, {}, false, {}, {}};
    layout.panels[1] = {PreviewQuantity::Velocity, false, "Speed", units.SpeedName(),
                        content.limits.maxSpeed,   false, {},      {}};
    layout.panels[2] = {PreviewQuantity::Acceleration,
                        false,
                        "Acceleration",
                        units.AccelerationName(),
                        content.limits.maxAcceleration,
                        false,
                        {},
                        {}};
    if (content.profile) {
        layout.panels[3] = {PreviewQuantity::Position,
                            true,
                            "Deviation from the profile",
                            units.position.name,
                            {},
                            false,
                            {},
                            {}};
        layout.panelCount = 4;
    }

    dc.SelectObject(&fonts.title);
    const int titleHeight = dc.GetTextExtent("Ag").cy;
    dc.SelectObject(&fonts.label);
    const int labelHeight = dc.GetTextExtent("Ag").cy;
    dc.SelectObject(&fonts.ticks);
    layout.textHeight = std::max<int>(1, dc.GetTextExtent("0").cy);

    layout.titleRow = CRect(area.left + kMargin, area.top + kMargin / 2, area.right - kMargin,
                            area.top + kMargin / 2 + titleHeight);
    const int panelsTop = layout.titleRow.bottom + kPanelGap / 2;
    // Below the last panel: its tick labels and the time axis's title.
    const int panelsBottom = area.bottom - kMargin / 2 - 2 * layout.textHeight - 10;
    const int count = layout.panelCount;
    const int panelHeight = (panelsBottom - panelsTop - (count - 1) * kPanelGap) / count;
    const int plotHeight = std::max(10, panelHeight - labelHeight - 4);

    // The ranges first: the widest tick label decides where the plots start.
    const double start = preview.GetStartTime(), end = preview.GetEndTime();
    int labelWidth = 0;
    for (int i = 0; i < count; ++i) {
        Panel& panel = layout.panels[i];
        double low = 0, high = 0;
        if (!panel.deviation) {
            const EnvelopeColumn whole = PreviewEnvelope(preview, panel.quantity, start, end, 1)[0];
            low = Shown(units, panel.quantity, whole.low);
            high = Shown(units, panel.quantity, whole.high);
        }
        if (content.profile) {
            // The profile's range at the resolution it will be drawn at.
            for (const EnvelopeColumn& column : ProfileEnvelope(
                     content, panel, start, end, std::max(1, area.Width() - 2 * kMargin))) {
                low = std::min(low, Shown(units, panel.quantity, column.low));
                high = std::max(high, Shown(units, panel.quantity, column.high));
            }
        }
        if (panel.quantity != PreviewQuantity::Position || panel.deviation) {
            low = std::min(low, 0.0);
            high = std::max(high, 0.0);
        }
        if (panel.limit) {
            const double limit = Shown(units, panel.quantity, *panel.limit);
            panel.limitInScale = limit <= kLimitInScale * std::max(std::abs(low), std::abs(high));
            if (panel.limitInScale) {
                high = std::max(high, limit);
                // The lower line only where the curve heads for it, not for a slight dip.
                if (low < -0.1 * limit) low = std::min(low, -limit);
            }
        }
        WidenRange(low, high);
        const double pad = (high - low) * 0.06;
        panel.mapping.minY = low - pad;
        panel.mapping.maxY = high + pad;
        panel.ticks = MakeTicks(panel.mapping.minY, panel.mapping.maxY,
                                std::max(2, plotHeight / (layout.textHeight * 2)));
        for (double tick : panel.ticks.values) {
            labelWidth =
                std::max(labelWidth,
                         static_cast<int>(dc.GetTextExtent(TickLabel(tick, panel.ticks.step)).cx));
        }
    }
    double from = units.Time(start), to = units.Time(end);
    WidenRange(from, to);
    const int plotLeft = area.left + kMargin + labelWidth + 8;
    layout.timeTicks = MakeTicks(from, to, std::max(2, (area.right - plotLeft) / 90));
    // Room for half the last time label, which may stand on the plots' right edge.
    const int lastLabel =
        layout.timeTicks.values.empty()
            ? 0
            : dc.GetTextExtent(TickLabel(layout.timeTicks.values.back(), layout.timeTicks.step)).cx;
    const int plotRight = area.right - kMargin - lastLabel / 2;
    int top = panelsTop;
    for (int i = 0; i < count; ++i) {
        Panel& panel = layout.panels[i];
        panel.mapping.plot =
            CRect(plotLeft, top + labelHeight + 4, plotRight, top + labelHeight + 4 + plotHeight);
        panel.mapping.minX = from;
        panel.mapping.maxX = to;
        top += panelHeight + kPanelGap;
    }
    return layout;
}

// As the window's graph: the background, a grid line and an outside tick at each round value.
void DrawAxes(CDC& dc, const Panel& panel, const CGraphTicks& timeTicks, bool timeLabels,
              int textHeight, Fonts& fonts) {
    const CRect& plot = panel.mapping.plot;
    dc.FillSolidRect(&plot, RGB16(CR16_BACKGROUND));
    CPen grid(PS_SOLID, 1, RGB16(CR16_GRID));
    CPen tick(PS_SOLID, 1, RGB16(CR16_DARKGRAY));
    dc.SelectObject(&fonts.ticks);
    dc.SetTextColor(RGB16(CR16_BLACK));
    DrawXTicks(dc, panel.mapping, timeTicks, grid, tick, timeLabels);
    // Speed and acceleration change sign at zero: its line stands out.
    const bool crossesZero = panel.quantity != PreviewQuantity::Position || panel.deviation;
    DrawYTicks(dc, panel.mapping, panel.ticks, grid, tick, textHeight,
               crossesZero ? &tick : nullptr);
}

// One column a pixel of the panel, in IU: the time span it covers.
void PanelSpan(const Panel& panel, const PreviewUnits& units, double& from, double& to,
               int& columns) {
    from = panel.mapping.minX * units.time.iuPerUnit;
    to = panel.mapping.maxX * units.time.iuPerUnit;
    columns = std::max(1, panel.mapping.plot.Width());
}

void DrawEnvelope(CDC& dc, const Panel& panel, const PreviewUnits& units,
                  const std::vector<EnvelopeColumn>& envelope, CPen& pen) {
    const CGraphMapping& mapping = panel.mapping;
    std::vector<POINT> points;
    points.reserve(envelope.size() * 4);
    const auto add = [&](int x, double iu) {
        const POINT point{x, mapping.ToPixelY(Shown(units, panel.quantity, iu))};
        if (points.empty() || points.back().x != point.x || points.back().y != point.y)
            points.push_back(point);
    };
    for (size_t c = 0; c < envelope.size(); ++c) {
        const EnvelopeColumn& column = envelope[c];
        const int x = mapping.plot.left + static_cast<int>(c);
        add(x, column.first);
        const bool rising = column.first <= column.last;
        add(x, rising ? column.low : column.high);
        add(x, rising ? column.high : column.low);
        add(x, column.last);
    }
    if (points.size() == 1) points.push_back(points.front());
    dc.SelectObject(&pen);
    dc.Polyline(points.data(), static_cast<int>(points.size()));
}

// The table's curve, or its deviation from the profile.
void DrawCurve(CDC& dc, const Panel& panel, const PreviewPlotContent& content) {
    double from = 0, to = 0;
    int columns = 0;
    PanelSpan(panel, content.units, from, to, columns);
    // A smooth line where the curve is a line; where many segments share a pixel it is a band,
    // which a thin pen fills as well at a fraction of the cost.
    const bool dense = content.preview->GetSegments().size() > static_cast<size_t>(columns);
    CPen pen(PS_SOLID, dense ? 1 : 2, RGB16(CR16_CURVE));
    DrawEnvelope(dc, panel, content.units,
                 panel.deviation
                     ? ProfileEnvelope(content, panel, from, to, columns)
                     : PreviewEnvelope(*content.preview, panel.quantity, from, to, columns),
                 pen);
}

void DrawProfileCurve(CDC& dc, const Panel& panel, const PreviewPlotContent& content) {
    double from = 0, to = 0;
    int columns = 0;
    PanelSpan(panel, content.units, from, to, columns);
    CPen pen(PS_SOLID, kProfilePen, kProfileColour);
    DrawEnvelope(dc, panel, content.units, ProfileEnvelope(content, panel, from, to, columns), pen);
}

// The table's points; where they lie closer than a marker's width, one marker stands for them,
// so that a long table costs a few hundred markers, not one a point.
void MarkPoints(CDC& dc, const Panel& panel, const PreviewPlotContent& content) {
    CPen pen(PS_SOLID, 1, RGB16(CR16_CURVE));
    CBrush brush(RGB16(CR16_WHITE));
    dc.SelectObject(&pen);
    dc.SelectObject(&brush);
    const std::vector<double>& times = content.preview->GetTimes();
    const std::vector<double>& positions = content.preview->GetPositions();
    int lastX = 0;
    for (size_t i = 0; i < times.size(); ++i) {
        const int x = panel.mapping.ToPixelX(content.units.Time(times[i]));
        if (i > 0 && x - lastX < 2 * kMarkerRadius + 2) continue;
        const int y = panel.mapping.ToPixelY(content.units.Position(positions[i]));
        dc.Rectangle(x - kMarkerRadius, y - kMarkerRadius, x + kMarkerRadius + 1,
                     y + kMarkerRadius + 1);
        lastX = x;
    }
}

void DrawLimit(CDC& dc, const Panel& panel, const PreviewUnits& units, Fonts& fonts) {
    if (!panel.limit || !panel.limitInScale) return;
    const double limit = Shown(units, panel.quantity, *panel.limit);
    CPen dashed(PS_DASH, 1, RGB16(CR16_RED));
    dc.SelectObject(&dashed);
    dc.SelectObject(&fonts.ticks);
    dc.SetTextColor(RGB16(CR16_RED));
    dc.SetTextAlign(TA_RIGHT | TA_BOTTOM);
    const CRect& plot = panel.mapping.plot;
    for (double value : {limit, -limit}) {
        if (value < panel.mapping.minY || value > panel.mapping.maxY) continue;
        const int y = panel.mapping.ToPixelY(value);
        dc.MoveTo(plot.left, y);
        dc.LineTo(plot.right, y);
        dc.TextOut(plot.right - 4, y - 1,
                   Text("limit " + FormatReadable(value) + " " + panel.unit));
    }
}

// A red dot at (time, shown) and a label beside it: "WORD 12.5 rot/s at 0.2 s".
void MarkPeak(CDC& dc, const Panel& panel, const PreviewUnits& units, const char* word, double time,
              double shown, Fonts& fonts) {
    const CRect& plot = panel.mapping.plot;
    const int x = panel.mapping.ToPixelX(units.Time(time));
    const int y = panel.mapping.ToPixelY(shown);
    CPen pen(PS_SOLID, 1, RGB16(CR16_RED));
    CBrush brush(RGB16(CR16_RED));
    dc.SelectObject(&pen);
    dc.SelectObject(&brush);
    dc.Ellipse(x - 4, y - 4, x + 5, y + 5);

    dc.SelectObject(&fonts.ticks);
    dc.SetTextColor(RGB16(CR16_BLACK));
    const CString label =
        Text(std::string(word) + " " + FormatReadable(std::abs(shown)) + " " + panel.unit + " at " +
             FormatReadable(units.Time(time)) + " " + units.time.name);
    const CSize extent = dc.GetTextExtent(label);
    // Beside the marker on the side with room, away from the curve's peak, inside the plot.
    const int leftmost = plot.left + 2;
    const int rightmost = std::max(leftmost, static_cast<int>(plot.right - 2 - extent.cx));
    const int textX = std::clamp(x + 8 + extent.cx <= plot.right - 2 ? x + 8 : x - 8 - extent.cx,
                                 leftmost, rightmost);
    const bool above = shown >= 0 ? y - 6 - extent.cy >= plot.top : y + 6 + extent.cy > plot.bottom;
    const int textY = above ? y - 6 - extent.cy : y + 6;
    dc.SetBkMode(OPAQUE);
    dc.SetBkColor(RGB16(CR16_BACKGROUND));
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.TextOut(textX, textY, label);
    dc.SetBkMode(TRANSPARENT);
}

void AnnotatePeak(CDC& dc, const Panel& panel, const PreviewPlotContent& content,
                  const MotionPeak& peak, Fonts& fonts) {
    // The value in the peak's own segment: at a point the acceleration jumps, and the peak may
    // be the end of the segment before, on either side of zero.
    const CubicSegment& segment = content.preview->GetSegments()[peak.segment];
    const double tau = std::clamp(peak.time - segment.startTime, 0.0, segment.duration);
    const double value = panel.quantity == PreviewQuantity::Velocity ? segment.VelocityAt(tau)
                                                                     : segment.AccelerationAt(tau);
    MarkPeak(dc, panel, content.units, "peak", peak.time,
             Shown(content.units, panel.quantity, value), fonts);
}

void AnnotateDeviation(CDC& dc, const Panel& panel, const PreviewPlotContent& content,
                       Fonts& fonts) {
    const double t = content.deviation.time;
    const double gap = content.preview->PositionAt(t) - content.profile->PositionAt(t);
    MarkPeak(dc, panel, content.units, "largest", t,
             content.units.Position(std::copysign(content.deviation.value, gap)), fonts);
}

// Which line is which, at the right end of the position panel's title row.
void DrawLegend(CDC& dc, const Panel& panel, Fonts& fonts) {
    const CRect& plot = panel.mapping.plot;
    dc.SelectObject(&fonts.ticks);
    dc.SetTextColor(RGB16(CR16_BLACK));
    dc.SetTextAlign(TA_LEFT | TA_BOTTOM);
    const int y = plot.top - 3;
    const int swatch = 24;
    int x = plot.right;
    for (const bool profile : {true, false}) {
        const char* name = profile ? "profile" : "table";
        x -= dc.GetTextExtent(name).cx + swatch + 18;
        CPen line(PS_SOLID, profile ? kProfilePen : 2,
                  profile ? kProfileColour : RGB16(CR16_CURVE));
        dc.SelectObject(&line);
        const int lineY = y - dc.GetTextExtent(name).cy / 2;
        dc.MoveTo(x, lineY);
        dc.LineTo(x + swatch, lineY);
        dc.TextOut(x + swatch + 6, y, Text(name));
    }
}

void DrawPanelTitle(CDC& dc, const Panel& panel, const PreviewUnits& units, Fonts& fonts) {
    const CRect& plot = panel.mapping.plot;
    dc.SelectObject(&fonts.label);
    dc.SetTextColor(RGB16(CR16_BLACK));
    dc.SetTextAlign(TA_LEFT | TA_BOTTOM);
    const CString title = Text(panel.title + " [" + panel.unit + "]");
    dc.TextOut(plot.left, plot.top - 3, title);
    if (panel.limit && !panel.limitInScale) {
        const int width = dc.GetTextExtent(title).cx;
        dc.SelectObject(&fonts.ticks);
        dc.SetTextColor(RGB16(CR16_RED));
        dc.TextOut(plot.left + width + 10, plot.top - 3,
                   Text("limit " + FormatReadable(Shown(units, panel.quantity, *panel.limit)) +
                        " " + panel.unit + ", far above the curve"));
    }
}

}  // namespace

PreviewPlotLayout LayOutPreviewPlot(CDC& dc, const CRect& area, const PreviewPlotContent& content) {
    PreviewPlotLayout result;
    if (!content.preview || !content.figures || content.preview->GetSegments().empty()) {
        return result;
    }
    Fonts fonts;
    dc.SaveDC();
    const Layout layout = Arrange(dc, area, content, fonts);
    dc.RestoreDC(-1);
    result.panelCount = layout.panelCount;
    for (int i = 0; i < layout.panelCount; ++i) result.panels[i] = layout.panels[i].mapping.plot;
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
    dc.SelectObject(&fonts.ticks);
    dc.SetTextColor(RGB16(CR16_DARKGRAY));
    dc.SetTextAlign(TA_RIGHT | TA_BOTTOM);
    dc.TextOut(layout.titleRow.right, layout.titleRow.bottom,
               "Preview: an estimate for planning, not the drive's own profile");

    const int last = layout.panelCount - 1;
    for (int i = 0; i <= last; ++i) {
        const Panel& panel = layout.panels[i];
        const CRect& plot = panel.mapping.plot;
        DrawPanelTitle(dc, panel, content.units, fonts);
        DrawAxes(dc, panel, layout.timeTicks, i == last, layout.textHeight, fonts);
        dc.SaveDC();
        dc.IntersectClipRect(&plot);
        DrawLimit(dc, panel, content.units, fonts);
        if (content.profile && !panel.deviation) DrawProfileCurve(dc, panel, content);
        DrawCurve(dc, panel, content);
        if (panel.deviation) {
            AnnotateDeviation(dc, panel, content, fonts);
        } else if (panel.quantity == PreviewQuantity::Position) {
            MarkPoints(dc, panel, content);
        } else {
            const bool speed = panel.quantity == PreviewQuantity::Velocity;
            AnnotatePeak(dc, panel, content,
                         speed ? content.figures->peakSpeed : content.figures->peakAcceleration,
                         fonts);
        }
        dc.RestoreDC(-1);
        CPen frame(PS_SOLID, 1, RGB16(CR16_DARKGRAY));
        dc.SelectObject(&frame);
        dc.SelectStockObject(NULL_BRUSH);
        dc.Rectangle(plot.left - 1, plot.top - 1, plot.right + 1, plot.bottom + 1);
    }

    if (content.profile) DrawLegend(dc, layout.panels[0], fonts);
    const CRect& bottom = layout.panels[last].mapping.plot;
    dc.SelectObject(&fonts.label);
    dc.SetTextColor(RGB16(CR16_BLACK));
    dc.SetTextAlign(TA_CENTER | TA_TOP);
    dc.TextOut((bottom.left + bottom.right) / 2, bottom.bottom + 7 + layout.textHeight,
               Text("Time [" + content.units.time.name + "]"));
    dc.RestoreDC(-1);
}
