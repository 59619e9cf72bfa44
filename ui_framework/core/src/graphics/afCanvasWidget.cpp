#include "corvel/ui/afCanvasWidget.h"

namespace corvel {

std::unique_ptr<afCanvasWidget> afCanvasWidget::create(HWND hwnd, HFONT font) {
    return prepared(new afCanvasWidget(hwnd, font));
}

void afCanvasWidget::prepare() {
    m_dc = GetDC(m_hwnd);
    RECT client{0, 0, 0, 0};
    GetClientRect(m_hwnd, &client);
    m_rect.set(0, 0, client.right - client.left, client.bottom - client.top);
    if (m_font)
        m_oldFont = SelectObject(m_dc, m_font);
    afCanvas::prepare();
}

afCanvasWidget::~afCanvasWidget() {
    restoreDC();
    if (m_oldFont)
        SelectObject(m_dc, m_oldFont);
    if (m_dc)
        ReleaseDC(m_hwnd, m_dc);
    m_dc = nullptr;
}

} // namespace corvel
