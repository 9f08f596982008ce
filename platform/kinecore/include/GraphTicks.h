// The ticks of a graph's axis: round values 1, 2 or 5 times a power of ten apart.
#pragma once

#include <afxstr.h>

#include <vector>

#include "GraphMapping.h"

struct CGraphTicks {
    std::vector<double> values;  // inside [low, high], ascending
    double step = 1;
};

// At most about maxCount ticks over [low, high].
CGraphTicks MakeTicks(double low, double high, int maxCount);
// A tick's label with as many decimals as the step needs ("0.25", "1500", "-2").
CString TickLabel(double value, double step);

// A grid line across the plot and a short tick outside it at each value of the x axis, labelled
// below when `labels`.
void DrawXTicks(CDC& dc, const CGraphMapping& mapping, const CGraphTicks& ticks, CPen& grid,
                CPen& tick, bool labels);
// The same along the y axis, labelled on the left; the line at zero in `zeroLine` when given.
void DrawYTicks(CDC& dc, const CGraphMapping& mapping, const CGraphTicks& ticks, CPen& grid,
                CPen& tick, int textHeight, CPen* zeroLine = nullptr);
