// A motion as show and plot take it: once the module accepts its text, the table reads, the
// preview builds, every figure is finite and agrees with the segment's travel, the limits find
// exactly the segments over them, and the plot draws within its area.
#include <LimitViolations.h>
#include <MotionFigures.h>

#include <cmath>

#include "FuzzCheck.h"
#include "plugin/Exports.h"
#include "preview/PreviewPlot.h"
#include "pt/PtTableReader.h"

namespace {

// Draws nothing; checks that each primitive lies within what the plot was given.
class CCheckingSurface : public CDrawingSurface {
public:
    explicit CCheckingSurface(const CRect& bounds) : m_bounds(bounds) {}
    CRect GetBounds() const override { return m_bounds; }
    void SetClip(const RECT& rect) override {
        FUZZ_CHECK(rect.left >= m_bounds.left && rect.right <= m_bounds.right &&
                       rect.top >= m_bounds.top && rect.bottom <= m_bounds.bottom,
                   "a clip beyond the surface");
    }
    void DrawPolyline(const POINT* points, int count, const LOGPEN&) override {
        FUZZ_CHECK(count >= 2, "a polyline of one point");
        // Lines may leave the clip, but not by more than a screen could ever hold.
        for (int i = 0; i < count; ++i) {
            FUZZ_CHECK(std::abs(points[i].x) < kFar && std::abs(points[i].y) < kFar,
                       "a point of the plot far off the drawing");
        }
    }
    void DrawRectangle(const RECT&, const LOGPEN&, const LOGBRUSH&) override {}
    void DrawEllipse(const RECT&, const LOGPEN&, const LOGBRUSH&) override {}
    void FillRect(const RECT&, COLORREF) override {}
    void DrawTextLine(int, int, UINT, const CString& text, const LOGFONT&, COLORREF, bool,
                      COLORREF) override {
        FUZZ_CHECK(text.str().find("nan") == std::string::npos &&
                       text.str().find("inf") == std::string::npos,
                   "a label that shows no number");
    }
    CSize MeasureText(const CString& text, const LOGFONT& font) const override {
        return CSize(text.GetLength() * 7, std::abs(font.lfHeight) + 2);
    }

private:
    static constexpr long kFar = 1 << 24;
    CRect m_bounds;
};

bool Finite(double value) { return std::isfinite(value); }

void CheckFigures(const MotionFigures& figures, size_t points) {
    FUZZ_CHECK(static_cast<size_t>(figures.points) == points,
               "a point count that is not the table's");
    FUZZ_CHECK(figures.segments.size() + 1 == points, "a segment count that is not the table's");
    for (double value :
         {figures.duration, figures.netTravel, figures.totalTravel, figures.peakSpeed.value,
          figures.peakAcceleration.value, figures.smallestTimeStep}) {
        FUZZ_CHECK(Finite(value), "a figure of the summary that is not finite");
    }
    for (const SegmentFigures& segment : figures.segments) {
        for (double value : {segment.timeStep, segment.positionStep, segment.averageSpeed,
                             segment.totalTravel, segment.peakSpeed, segment.peakAcceleration}) {
            FUZZ_CHECK(Finite(value), "a figure of a segment that is not finite");
        }
        FUZZ_CHECK(segment.timeStep > 0, "a segment without time");
        // The speed reaches its average somewhere in the segment, so its peak is no lower.
        FUZZ_CHECK(segment.peakSpeed >= std::abs(segment.averageSpeed) * (1 - 1e-9),
                   "a peak speed below the segment's average");
        FUZZ_CHECK(segment.totalTravel >= std::abs(segment.positionStep) * (1 - 1e-9),
                   "less travel than the segment's net step");
        FUZZ_CHECK(segment.peakSpeed <= figures.peakSpeed.value &&
                       segment.peakAcceleration <= figures.peakAcceleration.value,
                   "a segment's peak above the motion's");
    }
}

// Limits at a fraction of the peaks: each segment over them is named once a quantity.
void CheckViolations(const MotionFigures& figures, double fraction) {
    MotionLimits limits;
    limits.maxSpeed = figures.peakSpeed.value * fraction;
    limits.maxAcceleration = figures.peakAcceleration.value * fraction;
    const std::vector<LimitViolation> violations = FindLimitViolations(figures, limits);
    size_t expected = 0;
    for (const SegmentFigures& segment : figures.segments) {
        expected += segment.peakSpeed > *limits.maxSpeed;
        expected += segment.peakAcceleration > *limits.maxAcceleration;
    }
    FUZZ_CHECK(violations.size() == expected, "violations that are not the segments over a limit");
    for (const LimitViolation& violation : violations) {
        const bool speed = violation.quantity == MotionQuantity::Speed;
        FUZZ_CHECK(violation.limit == (speed ? *limits.maxSpeed : *limits.maxAcceleration),
                   "a violation against the other quantity's limit");
        FUZZ_CHECK(violation.value > violation.limit, "a violation at or under its limit");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzHost host;
    const std::string text = InputText(data, size);
    CString parameters(text);
    CString program;
    if (!TranslateMotionSequence(*host.setup, host.motion, parameters, program)) return 0;

    PtTable table;
    const CString message = ReadPtTable(text, *host.setup, table);
    FUZZ_CHECK(message.IsEmpty(), "an accepted motion whose table does not read");
    TrajectoryPreview preview;
    std::string error;
    FUZZ_CHECK(preview.Build(table.times, table.positions, error), error.c_str());
    const MotionFigures figures = MotionFigures::Of(preview);
    CheckFigures(figures, table.times.size());
    CheckViolations(figures, size % 3 == 0 ? 1.0 : 0.5);

    const auto& positionUnits = host.setup->GetUnits(UnitKind::Position);
    const auto& timeUnits = host.setup->GetUnits(UnitKind::Time);
    PreviewPlotContent content;
    content.preview = &preview;
    content.figures = &figures;
    content.units = {positionUnits[size % positionUnits.size()],
                     timeUnits[size / 5 % timeUnits.size()]};
    content.limits.maxSpeed = figures.peakSpeed.value / 2;
    content.title = "fuzz";
    const CRect area(0, 0, 200 + static_cast<int>(size % 400), 200 + static_cast<int>(size % 300));
    CCheckingSurface surface(area);
    CDC dc(&surface);
    DrawPreviewPlot(dc, area, content);
    return 0;
}
