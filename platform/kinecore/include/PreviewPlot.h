// The preview drawn as panels on one time axis: position (the table's points marked), speed,
// acceleration and optionally jerk, peaks marked where the curve has them and annotated, the
// drive's limits as dashed lines. Labels never cover one another nor the curve. Drawn through a
// device context, so that it looks the same in a window and in a file.
#pragma once

#include <MC_DriveLimits.h>
#include <afxdc.h>

#include <string>
#include <vector>

#include "MotionFigures.h"
#include "PreviewUnits.h"
#include "TrajectoryPreview.h"

struct PreviewPlotContent {
    const CTrajectoryPreview* preview = nullptr;  // built
    const MotionFigures* figures = nullptr;       // of that preview
    PreviewUnits units;
    CMC_DriveLimits limits;
    std::string title;  // above the panels
    bool jerk = false;  // a fourth panel
};

// What DrawPreviewPlot placed, for callers that look at what was drawn.
struct PreviewPlotMarks {
    std::vector<CRect> labels;  // every text's box but the tick labels
    // The peaks' markers' centres, one a panel of speed, acceleration and jerk, top to bottom.
    std::vector<CPoint> peaks;
};

// Fills `area` of the device context with the plot. A drawing of N points costs time linear in N
// and in the area's width: each panel's curve is reduced to one column a pixel.
void DrawPreviewPlot(CDC& dc, const CRect& area, const PreviewPlotContent& content,
                     PreviewPlotMarks* marks = nullptr);

// Where DrawPreviewPlot puts the panels' plotting areas in `area`, top to bottom; for callers
// that look at what was drawn.
struct PreviewPlotLayout {
    CRect panels[4];
    int count = 0;
};
PreviewPlotLayout LayOutPreviewPlot(CDC& dc, const CRect& area, const PreviewPlotContent& content);
