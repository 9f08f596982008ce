#include "GraphDecimation.h"

#include <algorithm>

void DecimateCurve(const double* xs, const double* ys, int first, int last,
                   const CGraphMapping& mapping, std::vector<POINT>& polyline) {
    polyline.clear();
    if (last < first) return;
    const double scaleX = mapping.ScaleX(), scaleY = mapping.ScaleY();
    const double left = mapping.plot.left - mapping.minX * scaleX;
    const double bottom = (mapping.plot.bottom - 1) + mapping.minY * scaleY;
    auto pixelY = [&](double y) { return CGraphMapping::ClampedPixel(bottom - y * scaleY); };

    // A run: the points of one column. Its lowest and highest values are mapped only when it
    // ends; the mapping keeps their order, so they stay the column's extremes in pixels.
    int column = 0, entry = 0, lowest = 0, highest = 0, exit = 0;
    auto closeRun = [&] {
        polyline.push_back(POINT{column, pixelY(ys[entry])});
        const int firstExtreme = std::min(lowest, highest),
                  secondExtreme = std::max(lowest, highest);
        polyline.push_back(POINT{column, pixelY(ys[firstExtreme])});
        polyline.push_back(POINT{column, pixelY(ys[secondExtreme])});
        polyline.push_back(POINT{column, pixelY(ys[exit])});
    };
    for (int i = first; i <= last; ++i) {
        const int x = CGraphMapping::ClampedPixel(left + xs[i] * scaleX);
        if (i > first && x == column) {
            if (ys[i] < ys[lowest]) lowest = i;
            if (ys[i] > ys[highest]) highest = i;
            exit = i;
            continue;
        }
        if (i > first) closeRun();
        column = x;
        entry = lowest = highest = exit = i;
    }
    closeRun();
    // Runs of one point repeat it four times: drop repeats, which draw nothing.
    polyline.erase(
        std::unique(polyline.begin(), polyline.end(),
                    [](const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }),
        polyline.end());
}
