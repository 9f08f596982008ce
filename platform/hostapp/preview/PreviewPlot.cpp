#include "preview/PreviewPlot.h"

#include <GraphMapping.h>
#include <GraphPalette.h>
#include <GraphTicks.h>
#include <GraphWindow.h>
#include <NumberText.h>
#include <PreviewEnvelope.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

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
    MotionQuantity quantity = MotionQuantity::Position;
    bool deviation = false;  // the table's position minus the profile's
    std::string title;
    std::string unit;
    std::optional<double> limit;
    const MotionPeak* peak = nullptr;  // none for the position
    bool limitInScale = false;
    CGraphTicks ticks;
    CGraphMapping mapping;  // x in the time unit shown, y in the panel's unit
};

CString Text(const std::string& text) { return CString(text.c_str()); }

double Shown(const PreviewUnits& units, MotionQuantity quantity, double iu) {
    switch (quantity) {
        case MotionQuantity::Position:
            return units.Position(iu);
        case MotionQuantity::Speed:
            return units.Speed(iu);
        case MotionQuantity::Acceleration:
            return units.Acceleration(iu);
        case MotionQuantity::Jerk:
            return units.Jerk(iu);
    }
    return iu;
}

// Everything DrawPreviewPlot needs before it draws: the panels, their ranges and places.
struct Layout {
    CRect titleRow;
    CGraphTicks timeTicks;
    std::vector<Panel> panels;
    int textHeight = 0;
};

// Position, speed, acceleration, then jerk and the deviation from the profile where asked for.
std::vector<Panel> PanelsOf(const PreviewPlotContent& content) {
    const PreviewUnits& units = content.units;
    const MotionFigures& figures = *content.figures;
    std::vector<Panel> panels;
    const auto add = [&](MotionQuantity quantity, bool deviation, std::string title,
                         std::string unit, std::optional<double> limit, const MotionPeak* peak) {
        panels.push_back(
            {quantity, deviation, std::move(title), std::move(unit), limit, peak, false, {}, {}});
    };
    add(MotionQuantity::Position, false, "Position", units.position.name, {}, nullptr);
    add(MotionQuantity::Speed, false, "Speed", units.SpeedName(), content.limits.maxSpeed,
        &figures.peakSpeed);
    add(MotionQuantity::Acceleration, false, "Acceleration", units.AccelerationName(),
        content.limits.maxAcceleration, &figures.peakAcceleration);
    if (content.jerk) {
        add(MotionQuantity::Jerk, false, "Jerk", units.JerkName(), content.limits.maxJerk,
            &figures.peakJerk);
    }
    if (content.profile) {
        add(MotionQuantity::Position, true, "Deviation from the profile", units.position.name, {},
            nullptr);
    }
    return panels;
}

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
double ProfileValueAt(const ReferenceMotion& profile, MotionQuantity quantity, double t) {
    if (t < 0 || t > profile.Duration()) {
        if (quantity != MotionQuantity::Position) return 0;
        t = std::clamp(t, 0.0, profile.Duration());
    }
    switch (quantity) {
        case MotionQuantity::Position:
            return profile.PositionAt(t);
        case MotionQuantity::Speed:
            return profile.VelocityAt(t);
        case MotionQuantity::Acceleration:
            return profile.AccelerationAt(t);
        case MotionQuantity::Jerk:
            return profile.JerkAt(t);
    }
    return 0;
}

bool ShowsProfileCurve(const PreviewPlotContent& content, const Panel& panel) {
    return content.profile && !panel.deviation;
}

// What a panel draws in IU: the profile's curve or the deviation.
std::vector<EnvelopeColumn> ProfileEnvelope(const PreviewPlotContent& content, const Panel& panel,
                                            double from, double to, int columns) {
    const ReferenceMotion& profile = *content.profile;
    if (panel.deviation) {
        const TrajectoryPreview& preview = *content.preview;
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
    const TrajectoryPreview& preview = *content.preview;
    const PreviewUnits& units = content.units;
    Layout layout;
    layout.panels = PanelsOf(content);
    const int count = static_cast<int>(layout.panels.size());

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
    const int panelHeight = (panelsBottom - panelsTop - (count - 1) * kPanelGap) / count;
    const int plotHeight = std::max(10, panelHeight - labelHeight - 4);

    // The ranges first: the widest tick label decides where the plots start.
    const double start = preview.GetStartTime(), end = preview.GetEndTime();
    int labelWidth = 0;
    for (Panel& panel : layout.panels) {
        double low = 0, high = 0;
        if (!panel.deviation) {
            const EnvelopeColumn whole = PreviewEnvelope(preview, panel.quantity, start, end, 1)[0];
            low = Shown(units, panel.quantity, whole.low);
            high = Shown(units, panel.quantity, whole.high);
        }
        if (ShowsProfileCurve(content, panel) || panel.deviation) {
            // The profile's range at the resolution it will be drawn at.
            for (const EnvelopeColumn& column : ProfileEnvelope(
                     content, panel, start, end, std::max(1, area.Width() - 2 * kMargin))) {
                low = std::min(low, Shown(units, panel.quantity, column.low));
                high = std::max(high, Shown(units, panel.quantity, column.high));
            }
        }
        if (panel.quantity != MotionQuantity::Position || panel.deviation) {
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
        // Room above and below the curve for the labels of its peak and its limits.
        const double pad = (high - low) * 0.12;
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
    for (Panel& panel : layout.panels) {
        panel.mapping.plot =
            CRect(plotLeft, top + labelHeight + 4, plotRight, top + labelHeight + 4 + plotHeight);
        panel.mapping.minX = from;
        panel.mapping.maxX = to;
        top += panelHeight + kPanelGap;
    }
    return layout;
}

// The texts placed so far, and the pixels that the current panel's curve covers, so that a new
// label finds a place that hides neither.
class LabelPlacer {
public:
    // Per column of the plot, the lowest and highest pixel row of the curve.
    void SetCurve(const CRect& plot, std::vector<std::pair<int, int>> rows) {
        m_plot = plot;
        m_rows = std::move(rows);
    }
    void ClearCurve() { m_rows.clear(); }

    bool HitsLabel(const CRect& box) const {
        return std::any_of(m_placed.begin(), m_placed.end(), [&](const CRect& placed) {
            return box.left < placed.right && placed.left < box.right && box.top < placed.bottom &&
                   placed.top < box.bottom;
        });
    }
    bool HitsCurve(const CRect& box) const {
        if (m_rows.empty()) return false;
        for (int x = std::max(box.left, m_plot.left); x < std::min(box.right, m_plot.right); ++x) {
            const auto& [low, high] = m_rows[static_cast<size_t>(x - m_plot.left)];
            if (low <= high && box.top <= high && low < box.bottom) return true;
        }
        return false;
    }
    // The first candidate that hides nothing; failing that, the first that covers no label,
    // with `clear` false: it must be drawn so that the curve shows through.
    CRect Choose(const std::vector<CRect>& candidates, bool& clear) const {
        for (const CRect& box : candidates) {
            if (!HitsLabel(box) && !HitsCurve(box)) {
                clear = true;
                return box;
            }
        }
        clear = false;
        for (const CRect& box : candidates) {
            if (!HitsLabel(box)) return box;
        }
        return candidates.front();
    }
    void Place(const CRect& box) { m_placed.push_back(box); }
    const std::vector<CRect>& Placed() const { return m_placed; }

private:
    CRect m_plot;
    std::vector<std::pair<int, int>> m_rows;
    std::vector<CRect> m_placed;
};

// Text whose box's top left corner is `box`'s.
void PlaceText(CDC& dc, LabelPlacer& placer, const CRect& box, const CString& text) {
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.TextOut(box.left, box.top, text);
    placer.Place(box);
}

CRect BoxAt(int left, int top, CSize extent) {
    return CRect(left, top, left + extent.cx, top + extent.cy);
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
    // Speed, acceleration, jerk and the deviation change sign at zero: its line stands out.
    const bool crossesZero = panel.quantity != MotionQuantity::Position || panel.deviation;
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

// Draws the envelope's curve and widens `rows`, per column of the plot, to the rows its pen
// covers.
void DrawEnvelope(CDC& dc, const Panel& panel, const PreviewUnits& units,
                  const std::vector<EnvelopeColumn>& envelope, int width, COLORREF colour,
                  std::vector<std::pair<int, int>>& rows) {
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
    CPen pen(PS_SOLID, width, colour);
    dc.SelectObject(&pen);
    dc.Polyline(points.data(), static_cast<int>(points.size()));

    // A line between two columns covers both; the pen widens it by a pixel or two.
    const int columns = static_cast<int>(rows.size());
    const auto cover = [&](int x, int low, int high) {
        for (int c = x - mapping.plot.left - width; c <= x - mapping.plot.left + width; ++c) {
            if (c < 0 || c >= columns) continue;
            auto& [top, bottom] = rows[static_cast<size_t>(c)];
            top = std::min(top, low - width);
            bottom = std::max(bottom, high + width);
        }
    };
    for (size_t i = 0; i < points.size(); ++i) {
        const POINT& point = points[i];
        const POINT& before = points[i == 0 ? 0 : i - 1];
        cover(point.x, std::min(point.y, before.y), std::max(point.y, before.y));
    }
}

// The profile's curve where it has one to show, under the table's curve or its deviation from
// the profile; returns, per column of the plot, the rows that they cover.
std::vector<std::pair<int, int>> DrawCurves(CDC& dc, const Panel& panel,
                                            const PreviewPlotContent& content) {
    double from = 0, to = 0;
    int columns = 0;
    PanelSpan(panel, content.units, from, to, columns);
    std::vector<std::pair<int, int>> rows(static_cast<size_t>(columns), {INT_MAX, INT_MIN});
    if (ShowsProfileCurve(content, panel)) {
        DrawEnvelope(dc, panel, content.units, ProfileEnvelope(content, panel, from, to, columns),
                     kProfilePen, kProfileColour, rows);
    }
    // A smooth line where the curve is a line; where many segments share a pixel it is a band,
    // which a thin pen fills as well at a fraction of the cost.
    const bool dense = content.preview->GetSegments().size() > static_cast<size_t>(columns);
    DrawEnvelope(dc, panel, content.units,
                 panel.deviation
                     ? ProfileEnvelope(content, panel, from, to, columns)
                     : PreviewEnvelope(*content.preview, panel.quantity, from, to, columns),
                 dense ? 1 : 2, RGB16(CR16_CURVE), rows);
    return rows;
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

// Each line dashed across the plot, its label at the right: the upper one above its line, the
// lower one below, moved to the left or the middle where the curve or a label is in the way.
void DrawLimit(CDC& dc, const Panel& panel, const PreviewUnits& units, Fonts& fonts,
               LabelPlacer& placer) {
    if (!panel.limit || !panel.limitInScale) return;
    const double limit = Shown(units, panel.quantity, *panel.limit);
    CPen dashed(PS_DASH, 1, RGB16(CR16_RED));
    dc.SelectObject(&dashed);
    dc.SelectObject(&fonts.ticks);
    dc.SetTextColor(RGB16(CR16_RED));
    const CRect& plot = panel.mapping.plot;
    for (double value : {limit, -limit}) {
        if (value < panel.mapping.minY || value > panel.mapping.maxY) continue;
        const int y = panel.mapping.ToPixelY(value);
        dc.MoveTo(plot.left, y);
        dc.LineTo(plot.right, y);
        const CString label = Text("limit " + FormatReadable(value) + " " + panel.unit);
        const CSize extent = dc.GetTextExtent(label);
        const int top = value > 0 ? y - 1 - extent.cy : y + 2;
        std::vector<CRect> candidates;
        for (int left : {static_cast<int>(plot.right - 4 - extent.cx), plot.left + 4,
                         static_cast<int>(plot.CenterPoint().x - extent.cx / 2)}) {
            candidates.push_back(BoxAt(left, top, extent));
        }
        bool clear = true;
        PlaceText(dc, placer, placer.Choose(candidates, clear), label);
    }
}

// The panel's value at its peak, with the sign that the curve has there: taken from the
// peak's own segment, since at a point the neighbour's value may differ in sign and size.
double PeakValue(const Panel& panel, const PreviewPlotContent& content) {
    const MotionPeak& peak = *panel.peak;
    const CubicSegment& segment = content.preview->GetSegments()[static_cast<size_t>(peak.segment)];
    return Shown(content.units, panel.quantity,
                 SegmentValue(segment, panel.quantity,
                              std::clamp(peak.time - segment.startTime, 0.0, segment.duration)));
}

// A red dot at (time, shown) and a label beside it, "WORD 12.5 rot/s at 0.2 s", where it hides
// neither the curve nor another label; the dot's centre.
CPoint MarkPeak(CDC& dc, const Panel& panel, const PreviewUnits& units, const char* word,
                double time, double shown, Fonts& fonts, LabelPlacer& placer) {
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
    const CString label = Text(std::string(word) + " " + FormatReadable(std::abs(shown)) + " " +
                               panel.unit + " at " + units.TimeText(time));
    const CSize extent = dc.GetTextExtent(label);
    // Beside the marker first, on its outer side, then along the plot's edges; only places that
    // lie inside the plot.
    const int leftOf = x - 8 - extent.cx, rightOf = x + 8;
    const int above = y - 6 - extent.cy, below = y + 6;
    const int outer = shown >= 0 ? above : below, inner = shown >= 0 ? below : above;
    std::vector<CRect> candidates;
    for (int top : {outer, inner}) {
        for (int left : {rightOf, leftOf}) candidates.push_back(BoxAt(left, top, extent));
    }
    const int leftmost = plot.left + 4, rightmost = plot.right - 4 - extent.cx;
    for (int top :
         {static_cast<int>(plot.top) + 3, static_cast<int>(plot.bottom - 3 - extent.cy)}) {
        for (int step = 0; step <= 8; ++step) {
            candidates.push_back(BoxAt(leftmost + (rightmost - leftmost) * step / 8, top, extent));
        }
    }
    std::erase_if(candidates, [&](const CRect& box) {
        return box.left < plot.left || box.right > plot.right || box.top < plot.top ||
               box.bottom > plot.bottom;
    });
    if (candidates.empty()) candidates.push_back(BoxAt(leftmost, plot.top + 3, extent));
    bool clear = true;
    const CRect box = placer.Choose(candidates, clear);
    if (clear) {
        // Nothing to show through: the background keeps grid lines from crossing the text.
        dc.SetBkMode(OPAQUE);
        dc.SetBkColor(RGB16(CR16_BACKGROUND));
    }
    PlaceText(dc, placer, box, label);
    dc.SetBkMode(TRANSPARENT);
    return CPoint(x, y);
}

CPoint AnnotatePeak(CDC& dc, const Panel& panel, const PreviewPlotContent& content, Fonts& fonts,
                    LabelPlacer& placer) {
    return MarkPeak(dc, panel, content.units, "peak", panel.peak->time, PeakValue(panel, content),
                    fonts, placer);
}

CPoint AnnotateDeviation(CDC& dc, const Panel& panel, const PreviewPlotContent& content,
                         Fonts& fonts, LabelPlacer& placer) {
    const double t = content.deviation.time;
    const double gap = content.preview->PositionAt(t) - content.profile->PositionAt(t);
    return MarkPeak(dc, panel, content.units, "largest", t,
                    content.units.Position(std::copysign(content.deviation.value, gap)), fonts,
                    placer);
}

// Which line is which, at the right end of the position panel's title row; left out where the
// row has no room beside the title.
void DrawLegend(CDC& dc, const Panel& panel, Fonts& fonts, LabelPlacer& placer) {
    const CRect& plot = panel.mapping.plot;
    dc.SelectObject(&fonts.ticks);
    dc.SetTextColor(RGB16(CR16_BLACK));
    const int swatch = 24;
    struct Entry {
        const char* name;
        CRect box;  // swatch and name
    };
    std::vector<Entry> entries;
    int right = plot.right;
    for (const char* name : {"profile", "table"}) {
        const CSize extent = dc.GetTextExtent(name);
        const int left = right - extent.cx - swatch - 6;
        entries.push_back({name, CRect(left, plot.top - 3 - extent.cy, right, plot.top - 3)});
        right = left - 12;
    }
    for (const Entry& entry : entries) {
        if (entry.box.left < plot.left || placer.HitsLabel(entry.box)) return;
    }
    for (const Entry& entry : entries) {
        const bool profile = entry.name == std::string_view("profile");
        CPen line(PS_SOLID, profile ? kProfilePen : 2,
                  profile ? kProfileColour : RGB16(CR16_CURVE));
        dc.SelectObject(&line);
        const int lineY = entry.box.CenterPoint().y;
        dc.MoveTo(entry.box.left, lineY);
        dc.LineTo(entry.box.left + swatch, lineY);
        dc.SetTextAlign(TA_LEFT | TA_TOP);
        dc.TextOut(entry.box.left + swatch + 6, entry.box.top, Text(entry.name));
        placer.Place(entry.box);
    }
}

void DrawPanelTitle(CDC& dc, const Panel& panel, const PreviewUnits& units, Fonts& fonts,
                    LabelPlacer& placer) {
    const CRect& plot = panel.mapping.plot;
    dc.SelectObject(&fonts.label);
    dc.SetTextColor(RGB16(CR16_BLACK));
    const CString title = Text(panel.title + " [" + panel.unit + "]");
    const CSize extent = dc.GetTextExtent(title);
    const CRect box = BoxAt(plot.left, plot.top - 3 - extent.cy, extent);
    PlaceText(dc, placer, box, title);
    if (panel.limit && !panel.limitInScale) {
        dc.SelectObject(&fonts.ticks);
        dc.SetTextColor(RGB16(CR16_RED));
        const std::string limit = "limit " +
                                  FormatReadable(Shown(units, panel.quantity, *panel.limit)) + " " +
                                  panel.unit;
        // Shortened where the plot is too narrow for the whole note.
        for (const std::string& note : {limit + ", far above the curve", limit}) {
            const CSize noteExtent = dc.GetTextExtent(Text(note));
            const CRect noteBox = BoxAt(box.right + 10, box.bottom - noteExtent.cy, noteExtent);
            if (noteBox.right <= plot.right) {
                PlaceText(dc, placer, noteBox, Text(note));
                break;
            }
        }
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
    result.count = static_cast<int>(layout.panels.size());
    for (int i = 0; i < result.count; ++i) {
        result.panels[i] = layout.panels[static_cast<size_t>(i)].mapping.plot;
    }
    return result;
}

void DrawPreviewPlot(CDC& dc, const CRect& area, const PreviewPlotContent& content,
                     PreviewPlotMarks* marks) {
    if (!content.preview || !content.figures || content.preview->GetSegments().empty()) return;
    Fonts fonts;
    LabelPlacer placer;
    std::vector<CPoint> peaks;
    dc.SaveDC();
    dc.IntersectClipRect(&area);
    dc.FillSolidRect(&area, RGB16(CR16_WHITE));
    dc.SetBkMode(TRANSPARENT);
    const Layout layout = Arrange(dc, area, content, fonts);

    dc.SelectObject(&fonts.title);
    dc.SetTextColor(RGB16(CR16_BLACK));
    // Cut short where the drawing is too narrow for all of it.
    std::string shortened = content.title;
    while (shortened.size() > 4 && dc.GetTextExtent(Text(shortened)).cx > layout.titleRow.Width()) {
        shortened.erase(shortened.size() - 4);
        while (!shortened.empty() && (static_cast<unsigned char>(shortened.back()) & 0xC0) == 0x80)
            shortened.pop_back();
        shortened += "...";
    }
    const CString title = Text(shortened);
    const CRect titleBox =
        BoxAt(layout.titleRow.left, layout.titleRow.top, dc.GetTextExtent(title));
    PlaceText(dc, placer, titleBox, title);
    dc.SelectObject(&fonts.ticks);
    dc.SetTextColor(RGB16(CR16_DARKGRAY));
    // Where the title leaves room for it.
    const CString note = "Preview: an estimate for planning, not the drive's own profile";
    const CSize noteExtent = dc.GetTextExtent(note);
    const CRect noteBox = BoxAt(layout.titleRow.right - noteExtent.cx,
                                layout.titleRow.bottom - noteExtent.cy, noteExtent);
    if (noteBox.left >= titleBox.right + 10) PlaceText(dc, placer, noteBox, note);

    for (size_t i = 0; i < layout.panels.size(); ++i) {
        const Panel& panel = layout.panels[i];
        const CRect& plot = panel.mapping.plot;
        DrawPanelTitle(dc, panel, content.units, fonts, placer);
        if (i == 0 && content.profile) DrawLegend(dc, panel, fonts, placer);
        DrawAxes(dc, panel, layout.timeTicks, i + 1 == layout.panels.size(), layout.textHeight,
                 fonts);
        dc.SaveDC();
        dc.IntersectClipRect(&plot);
        // The curves first, so that the labels know where they run.
        placer.SetCurve(plot, DrawCurves(dc, panel, content));
        DrawLimit(dc, panel, content.units, fonts, placer);
        if (panel.deviation) {
            peaks.push_back(AnnotateDeviation(dc, panel, content, fonts, placer));
        } else if (panel.peak) {
            peaks.push_back(AnnotatePeak(dc, panel, content, fonts, placer));
        } else {
            MarkPoints(dc, panel, content);
        }
        placer.ClearCurve();
        dc.RestoreDC(-1);
        CPen frame(PS_SOLID, 1, RGB16(CR16_DARKGRAY));
        dc.SelectObject(&frame);
        dc.SelectStockObject(NULL_BRUSH);
        dc.Rectangle(plot.left - 1, plot.top - 1, plot.right + 1, plot.bottom + 1);
    }

    const CRect& bottom = layout.panels.back().mapping.plot;
    dc.SelectObject(&fonts.label);
    dc.SetTextColor(RGB16(CR16_BLACK));
    const CString axis = Text("Time [" + content.units.time.name + "]");
    const CSize axisExtent = dc.GetTextExtent(axis);
    PlaceText(dc, placer,
              BoxAt((bottom.left + bottom.right - axisExtent.cx) / 2,
                    bottom.bottom + 7 + layout.textHeight, axisExtent),
              axis);
    dc.RestoreDC(-1);
    if (marks) {
        marks->labels = placer.Placed();
        marks->peaks = std::move(peaks);
    }
}
