// The preview drawn as three panels on one time axis: position (the table's points marked),
// speed and acceleration, peaks annotated, the drive's limits as dashed lines; with a profile,
// its curves under the table's and a fourth panel of the deviation. Drawn through a device
// context, so that it looks the same in a window and in a file.
#pragma once

#include <MC_DriveLimits.h>
#include <afxdc.h>

#include <string>

#include "Deviation.h"
#include "MotionFigures.h"
#include "PreviewUnits.h"
#include "TrajectoryPreview.h"

struct PreviewPlotContent {
    const CTrajectoryPreview* preview = nullptr;  // built
    const MotionFigures* figures = nullptr;       // of that preview
    PreviewUnits units;
    CMC_DriveLimits limits;
    std::string title;  // above the panels
    // The motion the table is meant to follow, over the same span, or null; and the table's
    // largest deviation from it.
    const ReferenceMotion* profile = nullptr;
    DeviationPeak deviation;
};

// Fills `area` of the device context with the plot. A drawing of N points costs time linear in N
// and in the area's width: each panel's curve is reduced to one column a pixel.
void DrawPreviewPlot(CDC& dc, const CRect& area, const PreviewPlotContent& content);

// Where DrawPreviewPlot puts the panels' plotting areas in `area`, top to bottom (the fourth
// only with a profile); for callers that look at what was drawn.
struct PreviewPlotLayout {
    CRect panels[4];
    int panelCount = 0;
};
PreviewPlotLayout LayOutPreviewPlot(CDC& dc, const CRect& area, const PreviewPlotContent& content);
