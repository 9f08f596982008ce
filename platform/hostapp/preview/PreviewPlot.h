// The preview drawn as panels on one time axis: position (the table's points marked), speed,
// acceleration, optionally jerk, and with a profile the deviation from it, the profile's curves
// under the table's; peaks marked where the curve has them and annotated, the drive's limits as
// dashed lines. Labels never cover one another nor the curve. Drawn through a device context, so
// that it looks the same in a window and in a file.
#pragma once

#include <Deviation.h>
#include <MotionFigures.h>
#include <MotionLimits.h>
#include <PreviewUnits.h>
#include <TrajectoryPreview.h>
#include <afxdc.h>

#include <string>
#include <vector>

struct PreviewPlotContent {
    const TrajectoryPreview* preview = nullptr;  // built
    const MotionFigures* figures = nullptr;      // of that preview
    PreviewUnits units;
    MotionLimits limits;
    std::string title;  // above the panels
    bool jerk = false;  // a panel of its own, after acceleration
    // The motion the table is meant to follow, over the same span, or null; and the table's
    // largest deviation from it, shown in a last panel.
    const ReferenceMotion* profile = nullptr;
    DeviationPeak deviation;
};

// What DrawPreviewPlot placed, for callers that look at what was drawn.
struct PreviewPlotMarks {
    std::vector<CRect> labels;  // every text's box but the tick labels
    // The markers' centres, top to bottom: the peaks of speed, acceleration and jerk, and the
    // deviation's largest value.
    std::vector<CPoint> peaks;
};

// Fills `area` of the device context with the plot. A drawing of N points costs time linear in N
// and in the area's width: each panel's curve is reduced to one column a pixel.
void DrawPreviewPlot(CDC& dc, const CRect& area, const PreviewPlotContent& content,
                     PreviewPlotMarks* marks = nullptr);

// Where DrawPreviewPlot puts the panels' plotting areas in `area`, top to bottom: position,
// speed, acceleration, then jerk and deviation when shown; for callers that look at what was
// drawn.
struct PreviewPlotLayout {
    CRect panels[5];
    int count = 0;
};
PreviewPlotLayout LayOutPreviewPlot(CDC& dc, const CRect& area, const PreviewPlotContent& content);
