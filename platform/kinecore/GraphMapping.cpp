#include "GraphMapping.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kFarOutside = 30000;

int Clamped(double pixel) {
    return static_cast<int>(std::lround(std::clamp(pixel, -kFarOutside, kFarOutside)));
}

}  // namespace

int CGraphMapping::ToPixelX(double x) const {
    return Clamped(plot.left + (x - minX) / (maxX - minX) * (plot.Width() - 1));
}

int CGraphMapping::ToPixelY(double y) const {
    return Clamped(plot.bottom - 1 - (y - minY) / (maxY - minY) * (plot.Height() - 1));
}

double CGraphMapping::FromPixelX(int px) const {
    return minX + (px - plot.left) * (maxX - minX) / std::max(1, plot.Width() - 1);
}

double CGraphMapping::FromPixelY(int py) const {
    return minY + (plot.bottom - 1 - py) * (maxY - minY) / std::max(1, plot.Height() - 1);
}

void WidenRange(double& low, double& high) {
    if (!std::isfinite(low) || !std::isfinite(high)) {
        low = 0;
        high = 1;
    }
    if (high < low) std::swap(low, high);
    if (high - low <= 1e-12 * std::max(1.0, std::fabs(low))) {
        const double half = std::max(0.5, std::fabs(low) * 0.05);
        low -= half;
        high += half;
    }
}
