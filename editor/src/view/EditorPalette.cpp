#include "EditorPalette.h"

#include <algorithm>
#include <cmath>

namespace corvel {

namespace {

// Lightness of the palette's first sixteen shades of the button face.
const double SHADES[16] = {1.0,         248 / 255.0, 238 / 255.0, 221 / 255.0, 5 / 6.0,     204 / 255.0,
                           187 / 255.0, 170 / 255.0, 153 / 255.0, 136 / 255.0, 119 / 255.0, 102 / 255.0,
                           85 / 255.0,  68 / 255.0,  51 / 255.0,  34 / 255.0};

double hueChannel(double p, double q, double t) {
    if (t < 0)
        t += 1;
    if (t > 1)
        t -= 1;
    if (6 * t < 1)
        return p + (q - p) * 6 * t;
    if (2 * t < 1)
        return q;
    if (3 * t < 2)
        return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
}

} // namespace

COLORREF editorPaletteColor(int index) {
    if (index < 0 || index >= 16)
        return 0;
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    double r = GetRValue(face) / 255.0, g = GetGValue(face) / 255.0, b = GetBValue(face) / 255.0;
    double high = std::max({r, g, b}), low = std::min({r, g, b});
    double l = SHADES[index];
    if (high == low) {
        int grey = static_cast<int>(l * 255);
        return RGB(grey, grey, grey);
    }
    double mid = (high + low) / 2;
    double s = mid < 0.5 ? (high - low) / (high + low) : (high - low) / (2 - high - low);
    double h = high == r ? (g - b) / (high - low) : high == g ? 2 + (b - r) / (high - low) : 4 + (r - g) / (high - low);
    h /= 6;
    if (h < 0)
        h += 1;
    double q = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    double p = 2 * l - q;
    return RGB(static_cast<int>(hueChannel(p, q, h + 1.0 / 3) * 255), static_cast<int>(hueChannel(p, q, h) * 255),
               static_cast<int>(hueChannel(p, q, h - 1.0 / 3) * 255));
}

} // namespace corvel
