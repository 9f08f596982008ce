#include "GraphDecimation.h"

#include <algorithm>

void DecimateCurve(const double* xs, const double* ys, int first, int last,
                   const CGraphMapping& mapping, std::vector<POINT>& polyline) {
    polyline.clear();
    if (last < first) return;
    POINT entry{}, low{}, high{}, exit{};
    bool open = false;
    size_t lowAt = 0, highAt = 0;  // the order of low and high within the run
    auto closeRun = [&] {
        polyline.push_back(entry);
        if (lowAt <= highAt) {
            polyline.push_back(low);
            polyline.push_back(high);
        } else {
            polyline.push_back(high);
            polyline.push_back(low);
        }
        polyline.push_back(exit);
    };
    size_t inRun = 0;
    for (int i = first; i <= last; ++i) {
        const POINT point{mapping.ToPixelX(xs[i]), mapping.ToPixelY(ys[i])};
        if (open && point.x == entry.x) {
            if (point.y < low.y) low = point, lowAt = inRun;
            if (point.y > high.y) high = point, highAt = inRun;
            exit = point;
            ++inRun;
            continue;
        }
        if (open) closeRun();
        entry = low = high = exit = point;
        lowAt = highAt = 0;
        inRun = 1;
        open = true;
    }
    if (open) closeRun();
    // Runs of one point repeat it four times: drop repeats, which draw nothing.
    polyline.erase(
        std::unique(polyline.begin(), polyline.end(),
                    [](const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }),
        polyline.end());
}
