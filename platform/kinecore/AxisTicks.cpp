#include "AxisTicks.h"

#include <algorithm>
#include <cmath>

std::vector<double> AxisScale::Ticks() const {
    std::vector<double> ticks;
    const long long count = std::llround((high - low) / step);
    for (long long i = 0; i <= count; ++i) {
        const double tick = low + static_cast<double>(i) * step;
        // No "-0" and no 1e-17 beside a zero tick.
        ticks.push_back(std::abs(tick) < step * 1e-9 ? 0.0 : tick);
    }
    return ticks;
}

AxisScale NiceScale(double low, double high, int maxTicks) {
    if (!std::isfinite(low) || !std::isfinite(high)) low = high = 0;
    if (low > high) std::swap(low, high);
    if (high == low) {
        const double around = low == 0 ? 1 : std::abs(low) * 0.1;
        low -= around;
        high += around;
    }
    maxTicks = std::max(1, maxTicks);
    const double rough = (high - low) / maxTicks;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    AxisScale scale;
    for (double factor : {1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0}) {
        scale.step = factor * power;
        scale.low = std::floor(low / scale.step) * scale.step;
        scale.high = std::ceil(high / scale.step) * scale.step;
        if ((scale.high - scale.low) / scale.step <= maxTicks + 1e-9) break;
    }
    return scale;
}
