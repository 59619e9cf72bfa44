#include "corvel/widgets/WidgetPalette.h"

#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afIcon.h"
#include "corvel/ui/afResources.h"
#include "corvel/ui/afWindowsUX.h"
#include "corvel/widgets/afControlSplitter.h"
#include "zem/base/Crc.h"

#include <algorithm>
#include <memory>

namespace corvel {

namespace {

constexpr int PLUS_ICON_RESOURCE = 151;
constexpr int PLUS_ICON_SIZE = 16;

// Lightness of shades 0-15, from white down.
constexpr double SHADE_LIGHTNESS[16] = {
    1.0,         248.0 / 255, 238.0 / 255, 221.0 / 255, 5.0 / 6,    204.0 / 255, 187.0 / 255, 170.0 / 255,
    153.0 / 255, 136.0 / 255, 119.0 / 255, 102.0 / 255, 85.0 / 255, 68.0 / 255,  51.0 / 255,  34.0 / 255,
};

WidgetPalette* g_instance = nullptr;

struct Hsl {
    double h, s, l;
};

Hsl toHsl(COLORREF color) {
    double r = GetRValue(color) / 255.0, g = GetGValue(color) / 255.0, b = GetBValue(color) / 255.0;
    double high = std::max({r, g, b}), low = std::min({r, g, b});
    Hsl hsl{0, 0, (high + low) / 2};
    if (high == low)
        return hsl;
    double range = high - low;
    hsl.s = hsl.l < 0.5 ? range / (high + low) : range / (2 - high - low);
    if (high == r)
        hsl.h = (g - b) / range;
    else if (high == g)
        hsl.h = 2 + (b - r) / range;
    else
        hsl.h = 4 + (r - g) / range;
    hsl.h /= 6;
    if (hsl.h < 0)
        hsl.h += 1;
    return hsl;
}

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

// Truncated toward zero; the small bias keeps 248/255 from landing on 247 where the
// x87 unit carries more precision than the constants were written with.
BYTE toByte(double channel) {
    return static_cast<BYTE>(static_cast<int>(channel * 255 + 1e-9));
}

COLORREF fromHsl(const Hsl& hsl) {
    if (hsl.s == 0)
        return RGB(toByte(hsl.l), toByte(hsl.l), toByte(hsl.l));
    double q = hsl.l <= 0.5 ? hsl.l * (1 + hsl.s) : hsl.l + hsl.s - hsl.l * hsl.s;
    double p = 2 * hsl.l - q;
    return RGB(toByte(hueChannel(p, q, hsl.h + 1.0 / 3)), toByte(hueChannel(p, q, hsl.h)),
               toByte(hueChannel(p, q, hsl.h - 1.0 / 3)));
}

BYTE blend(BYTE top, BYTE bottom, double x) {
    return static_cast<BYTE>(static_cast<int>((1 - x) * bottom) + static_cast<int>(x * top));
}

} // namespace

WidgetPalette::WidgetPalette() {
    rebuild();
    afResources::add(zem::symbolId(L"plus"), std::make_unique<afIcon>(PLUS_ICON_RESOURCE, PLUS_ICON_SIZE));
    g_instance = this;
}

WidgetPalette::~WidgetPalette() {
    if (g_instance == this)
        g_instance = nullptr;
}

WidgetPalette* WidgetPalette::instance() {
    return g_instance;
}

void WidgetPalette::rebuild() {
    rebuildFrom(GetSysColor(COLOR_BTNFACE));
    m_gradient = afWindowsUX::getInstance() != nullptr;
}

void WidgetPalette::rebuildFrom(COLORREF buttonFace) {
    buildColors(buttonFace);
    buildFills();
}

void WidgetPalette::buildColors(COLORREF buttonFace) {
    Hsl face = toHsl(buttonFace);
    for (int i = 0; i < 16; ++i)
        m_colors[i] = fromHsl(Hsl{face.h, face.s, SHADE_LIGHTNESS[i]});
    m_colors[16] = 0;
    m_colors[17] = 0;
    m_colors[18] = 0xE2944F;
    m_colors[19] = 0xCE7737;
    m_colors[20] = 0xCBFFFF;
    m_colors[21] = 0x9BFFFF;
}

void WidgetPalette::buildFills() {
    const COLORREF* c = m_colors;
    std::fill(std::begin(m_fills), std::end(m_fills), Fill{0, 0, 0});
    // The second row (16 up) repeats the first for buttons with the style byte, except
    // that its warning fill keeps white gradients over a flat accent.
    m_fills[1] = {c[2], c[3], c[3]};
    m_fills[2] = {c[0], c[0], c[0]};
    m_fills[3] = {0xFCF9F2, 0xF6ECD8, 0xF6ECD8};
    m_fills[4] = {c[20], c[21], c[21]};
    m_fills[5] = {c[2], c[3], c[3]};
    m_fills[6] = {c[1], c[2], c[2]};
    m_fills[17] = {c[1], c[2], c[2]};
    m_fills[18] = {c[0], c[0], c[0]};
    m_fills[19] = {0xFCF9F2, 0xF6ECD8, 0xF6ECD8};
    m_fills[20] = {c[0], c[0], c[20]};
    m_fills[21] = {c[1], c[2], c[2]};
    m_fills[22] = {c[0], c[0], c[0]};
}

COLORREF WidgetPalette::color(int index) const {
    if (index < 0 || index >= COLOR_COUNT)
        return 0;
    return m_colors[index];
}

const WidgetPalette::Fill& WidgetPalette::getFill(int index) const {
    if (index < 0 || index >= FILL_COUNT)
        return m_fills[0];
    return m_fills[index];
}

COLORREF WidgetPalette::gradientRow(const Fill& fill, int row, int height) {
    // Rows 0..height-2 span the gradient; a strip of two rows or less would divide by zero
    // and the last row would overshoot the bottom colour, so the share is clamped.
    double x = 1 - static_cast<double>(row) / std::max(height - 2, 1);
    x = std::min(1.0, std::max(0.0, x));
    return RGB(blend(GetRValue(fill.top), GetRValue(fill.bottom), x),
               blend(GetGValue(fill.top), GetGValue(fill.bottom), x),
               blend(GetBValue(fill.top), GetBValue(fill.bottom), x));
}

void WidgetPalette::fill(int index, afCanvas& canvas, const RECT& rect) const {
    const Fill& chosen = getFill(index);
    if (!m_gradient) {
        canvas.fillRect(chosen.flat, rect);
        return;
    }
    int height = rect.bottom - rect.top;
    for (int row = 0; row < height; ++row) {
        RECT line{rect.left, rect.top + row, rect.right, rect.top + row + 1};
        canvas.fillRect(gradientRow(chosen, row, height), line);
    }
}

void WidgetPalette::drawText(const std::wstring& text, afCanvas& canvas, const RECT& rect, int colorIndex,
                             bool mnemonics) const {
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOCLIP | DT_END_ELLIPSIS;
    if (!mnemonics)
        format |= DT_NOPREFIX;
    canvas.drawText(text, rect, color(colorIndex), format);
}

void WidgetPalette::paintBottomSplitter(void* palette, afControlSplitter* splitter, afCanvas* canvas, const RECT& rect,
                                        bool active) {
    const WidgetPalette& self = *static_cast<const WidgetPalette*>(palette);
    bool barVisible = splitter->getTarget() && splitter->getTarget()->isVisible();
    canvas->fillRect(self.color(active ? 3 : 2), rect);
    canvas->drawTopEdge(self.color(active ? 7 : 5), rect);
    if (barVisible)
        canvas->drawBottomEdge(self.color(5), rect);
}

void WidgetPalette::paintLeftSplitter(void* palette, afControlSplitter* splitter, afCanvas* canvas, const RECT& rect,
                                      bool active) {
    const WidgetPalette& self = *static_cast<const WidgetPalette*>(palette);
    if (!active) {
        canvas->fillRect(self.color(2), rect);
        canvas->drawRightEdge(self.color(5), rect);
        return;
    }
    canvas->fillRect(self.color(3), rect);
    canvas->drawRightEdge(self.color(7), rect);
    if (splitter->getTarget() && splitter->getTarget()->isVisible())
        canvas->drawLeftEdge(self.color(5), rect);
}

} // namespace corvel
