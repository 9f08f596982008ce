#include "GraphMapping.h"

#include <algorithm>
#include <cmath>

int CGraphMapping::ToPixelX(double x) const {
    // The same sums as the decimation's, so that a point and its curve meet on one pixel.
    return ClampedPixel((plot.left - minX * ScaleX()) + x * ScaleX());
}

int CGraphMapping::ToPixelY(double y) const {
    return ClampedPixel((plot.bottom - 1 + minY * ScaleY()) - y * ScaleY());
}

double CGraphMapping::ScaleX() const { return (plot.Width() - 1) / (maxX - minX); }

double CGraphMapping::ScaleY() const { return (plot.Height() - 1) / (maxY - minY); }

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
