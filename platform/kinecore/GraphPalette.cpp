#include "GraphWindow.h"

namespace {

// The standard VGA colours, in the order of tagColorRef16.
constexpr COLORREF kPalette[16] = {
    RGB(0, 0, 0),       RGB(0, 0, 128),   RGB(0, 128, 0),   RGB(0, 128, 128),
    RGB(128, 0, 0),     RGB(128, 0, 128), RGB(128, 128, 0), RGB(192, 192, 192),
    RGB(128, 128, 128), RGB(0, 0, 255),   RGB(0, 255, 0),   RGB(0, 255, 255),
    RGB(255, 0, 0),     RGB(255, 0, 255), RGB(255, 255, 0), RGB(255, 255, 255),
};

}  // namespace

COLORREF RGB16(tagColorRef16 color) {
    const int index = static_cast<int>(color);
    if (index >= 0 && index < 16) return kPalette[index];
    switch (color) {
        case CR16_CURVE:
            return RGB(0, 64, 192);
        case CR16_GRID:
            return RGB(216, 216, 216);
        case CR16_BACKGROUND:
            return RGB(255, 255, 240);
        default:
            return RGB(0, 0, 0);  // an entry the host does not define draws black
    }
}
