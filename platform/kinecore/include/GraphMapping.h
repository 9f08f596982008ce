// Where a graph's values land on the screen: a range of data mapped onto a rectangle of pixels,
// y growing upwards.
#pragma once

#include <afxdc.h>

struct CGraphMapping {
    CRect plot;
    double minX = 0, maxX = 1, minY = 0, maxY = 1;

    // Pixels far outside the plot are held at a distance that every surface can draw.
    int ToPixelX(double x) const;
    int ToPixelY(double y) const;
    double FromPixelX(int px) const;
    double FromPixelY(int py) const;
    // Pixels per unit of x and of y.
    double ScaleX() const;
    double ScaleY() const;
    // A pixel coordinate rounded half away from zero, and held within what every surface can
    // draw; inline, since a redraw maps millions.
    static int ClampedPixel(double pixel) {
        const double held = pixel < -kFarOutside  ? -kFarOutside
                            : pixel > kFarOutside ? kFarOutside
                                                  : pixel;
        return static_cast<int>(held < 0 ? held - 0.5 : held + 0.5);
    }
    static constexpr double kFarOutside = 30000;
};

// A range that can be drawn: never empty, never reversed, finite.
void WidenRange(double& low, double& high);
