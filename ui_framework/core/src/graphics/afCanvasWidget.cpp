#include "corvel/ui/afCanvasWidget.h"

namespace corvel {

std::unique_ptr<afCanvasWidget> afCanvasWidget::create(HWND hwnd, HFONT font) {
    return prepared(new afCanvasWidget(hwnd, font));
}

void afCanvasWidget::prepare() {
    m_dc = GetDC(m_hwnd);
    bindToWindow(m_hwnd, m_font);
    afCanvas::prepare();
}

afCanvasWidget::~afCanvasWidget() {
    restoreDC();
    if (m_dc)
        ReleaseDC(m_hwnd, m_dc);
    m_dc = nullptr;
}

} // namespace corvel
