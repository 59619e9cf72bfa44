#include "corvel/ui/afCanvasBuffer.h"

namespace corvel {

afCanvasBuffer::afCanvasBuffer(HDC target, const afRect& area, bool copyBack)
    : afCanvas(CreateCompatibleDC(target)), m_target(target), m_copyBack(copyBack) {
    m_rect = area;
}

void afCanvasBuffer::prepare() {
    m_bitmap = CreateCompatibleBitmap(m_target, m_rect.width(), m_rect.height());
    if (m_bitmap)
        m_oldBitmap = SelectObject(m_dc, m_bitmap);
    SelectObject(m_dc, GetCurrentObject(m_target, OBJ_FONT));
    afCanvas::prepare();
}

// Copy back first, then restore the DC, put the original bitmap back and only then
// delete ours: a bitmap still selected into a DC cannot be deleted.
afCanvasBuffer::~afCanvasBuffer() {
    if (m_copyBack)
        flush(m_rect.left, m_rect.top, nullptr);
    restoreDC();
    if (m_oldBitmap)
        SelectObject(m_dc, m_oldBitmap);
    if (m_bitmap)
        DeleteObject(m_bitmap);
    if (m_dc)
        DeleteDC(m_dc);
}

void afCanvasBuffer::flush(int x, int y, const RECT* clip) {
    int width = m_rect.width();
    int height = m_rect.height();
    if (clip) {
        if (clip->right - x < width)
            width = clip->right - x;
        if (clip->bottom - y < height)
            height = clip->bottom - y;
    }
    if (width <= 0 || height <= 0 || !m_bitmap)
        return;
    BitBlt(m_target, x, y, width, height, m_dc, 0, 0, SRCCOPY);
}

} // namespace corvel
