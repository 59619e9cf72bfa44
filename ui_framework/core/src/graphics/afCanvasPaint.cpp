#include "corvel/ui/afCanvasPaint.h"

namespace corvel {

void afCanvasPaint::prepare() {
    // The update region must be read before BeginPaint validates the window.
    m_updateRegion = CreateRectRgn(0, 0, 0, 0);
    if (m_updateRegion) {
        GetUpdateRgn(m_hwnd, m_updateRegion, FALSE);
        RECT box{0, 0, 0, 0};
        GetRgnBox(m_updateRegion, &box);
        m_updateBox = afRect(box);
    }
    if (!m_dc) {
        m_paint = std::make_unique<PAINTSTRUCT>();
        m_dc = BeginPaint(m_hwnd, m_paint.get());
    }
    bindToWindow(m_hwnd, m_font);
    afCanvas::prepare();
}

afCanvasPaint::~afCanvasPaint() {
    restoreDC();
    if (m_updateRegion)
        DeleteObject(m_updateRegion);
    if (m_paint)
        EndPaint(m_hwnd, m_paint.get());
}

} // namespace corvel
