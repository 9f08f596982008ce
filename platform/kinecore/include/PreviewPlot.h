// The preview drawn as three panels on one time axis: position (the table's points marked),
// speed and acceleration, peaks annotated, the drive's limits as dashed lines. Drawn through a
// device context, so that it looks the same in a window and in a file.
#pragma once

#include <MC_DriveLimits.h>
#include <afxdc.h>

#include <string>

#include "MotionFigures.h"
#include "PreviewUnits.h"
#include "TrajectoryPreview.h"

struct PreviewPlotContent {
    const CTrajectoryPreview* preview = nullptr;  // built
    const MotionFigures* figures = nullptr;       // of that preview
    PreviewUnits units;
    CMC_DriveLimits limits;
    std::string title;  // above the panels
};

// Fills `area` of the device context with the plot. A drawing of N points costs time linear in N
// and in the area's width: each panel's curve is reduced to one column a pixel.
void DrawPreviewPlot(CDC& dc, const CRect& area, const PreviewPlotContent& content);

// Where DrawPreviewPlot puts the three panels' plotting areas in `area`, top to bottom; for
// callers that look at what was drawn.
struct PreviewPlotLayout {
    CRect panels[3];
};
PreviewPlotLayout LayOutPreviewPlot(CDC& dc, const CRect& area, const PreviewPlotContent& content);
