// The three background drawables: solid colour, framed colour and nine-patch.
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afColorDrawable.h"
#include "corvel/ui/afDrawableNinePatch.h"
#include "corvel/ui/afFrameDrawable.h"

namespace corvel {

std::unique_ptr<afColorDrawable> afColorDrawable::create(COLORREF color) {
    return std::make_unique<afColorDrawable>(color);
}

void afColorDrawable::fill(HDC dc, COLORREF color, const RECT& rect) {
    COLORREF old = SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

void afColorDrawable::draw(afCanvas& canvas, void*) {
    fill(canvas.getDC(), m_color, getBounds());
}

std::unique_ptr<afFrameDrawable> afFrameDrawable::create(COLORREF line, COLORREF background, int edges) {
    return std::make_unique<afFrameDrawable>(background, line, line, line, line, edges);
}

void afFrameDrawable::draw(afCanvas& canvas, void*) {
    HDC dc = canvas.getDC();
    const afRect& b = getBounds();
    afColorDrawable::fill(dc, m_background, b);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
    COLORREF oldColor = GetDCPenColor(dc);
    auto line = [dc](COLORREF color, int x1, int y1, int x2, int y2) {
        SetDCPenColor(dc, color);
        MoveToEx(dc, x1, y1, nullptr);
        LineTo(dc, x2, y2);
    };
    // Every line lies inside the bounds: right and bottom on the last column and row.
    if (m_edges & EDGE_RIGHT)
        line(m_right, b.right - 1, b.top, b.right - 1, b.bottom);
    if (m_edges & EDGE_LEFT)
        line(m_left, b.left, b.top, b.left, b.bottom);
    if (m_edges & EDGE_TOP)
        line(m_top, b.left, b.top, b.right, b.top);
    if (m_edges & EDGE_BOTTOM)
        line(m_bottom, b.left, b.bottom - 1, b.right, b.bottom - 1);
    SetDCPenColor(dc, oldColor);
    SelectObject(dc, oldPen);
}

std::unique_ptr<afDrawableNinePatch> afDrawableNinePatch::create(const afNinePatch* ninePatch) {
    return std::make_unique<afDrawableNinePatch>(ninePatch);
}

bool afDrawableNinePatch::getPadding(RECT& out) const {
    if (!m_ninePatch)
        return afDrawable::getPadding(out);
    out = m_ninePatch->getPadding();
    return true;
}

void afDrawableNinePatch::draw(afCanvas& canvas, void*) {
    const afRect& b = getBounds();
    int width = b.width();
    int height = b.height();
    if (!m_ninePatch || width <= 0 || height <= 0)
        return;
    if (!m_cache || m_cache->getWidth() != width || m_cache->getHeight() != height) {
        m_cache.reset();
        m_cache = afBitmap::create(width, height);
        if (!m_cache)
            return;
        m_ninePatch->renderTo(*m_cache);
        ++m_renders;
    }
    canvas.alphaBlend(m_cache->getWidth(), m_cache->getHeight(), *m_cache, b.left, b.top);
}

} // namespace corvel
