// Round values along a graph's axis: steps of 1, 2 or 5 times a power of ten.
#pragma once

#include <vector>

struct AxisScale {
    double low = 0;  // the axis's ends, on ticks
    double high = 1;
    double step = 1;

    // The ticks from low to high.
    std::vector<double> Ticks() const;
};

// The scale that holds [low, high] with at most `maxTicks` intervals (at least 1). An empty or
// non-finite range gets a scale around it.
AxisScale NiceScale(double low, double high, int maxTicks);
