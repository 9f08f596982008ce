#include "GraphTicks.h"

#include <algorithm>
#include <cmath>

CGraphTicks MakeTicks(double low, double high, int maxCount) {
    CGraphTicks ticks;
    const double span = high - low;
    if (!(span > 0) || !std::isfinite(span)) return ticks;
    const double rough = span / std::max(1, maxCount);
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    const double residual = rough / magnitude;
    ticks.step = magnitude * (residual <= 1 ? 1 : residual <= 2 ? 2 : residual <= 5 ? 5 : 10);
    const double first = std::ceil(low / ticks.step - 1e-9);
    for (double index = first; index * ticks.step <= high + ticks.step * 1e-9; ++index) {
        // Multiplying keeps values round where adding steps would gather error.
        const double value = index * ticks.step;
        ticks.values.push_back(std::fabs(value) < ticks.step * 1e-9 ? 0.0 : value);
        if (ticks.values.size() > 1000) break;
    }
    return ticks;
}

CString TickLabel(double value, double step) {
    const int decimals = std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 12);
    CString label;
    label.Format("%.*f", decimals, value);
    return label;
}
