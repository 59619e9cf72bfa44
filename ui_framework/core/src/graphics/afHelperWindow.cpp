#include "corvel/ui/afHelperWindow.h"

#include "corvel/ui/afCanvas.h"

namespace corvel {

afHelperWindow::afHelperWindow(afView* owner) : afWindow(owner) {
    m_blend.BlendOp = AC_SRC_OVER;
    m_blend.BlendFlags = 0;
    m_blend.SourceConstantAlpha = 255;
    m_blend.AlphaFormat = AC_SRC_ALPHA;
}

bool afHelperWindow::buildSeed(Seed& seed) {
    if (!afWindow::buildSeed(seed))
        return false;
    seed.style = WS_POPUP;
    seed.exStyle = 0x000800A8; // layered, tool window, transparent, top-most
    return true;
}

void afHelperWindow::onCreated() {
    afWindow::onCreated();
    updateLayered();
}

void afHelperWindow::setVisible(bool visible, bool) {
    if (m_hwnd)
        afViewPlatform::setVisible(visible, false);
}

void afHelperWindow::moveTo(int x, int y) {
    if (!m_hwnd)
        return;
    POINT position{x, y};
    UpdateLayeredWindow(m_hwnd, nullptr, &position, nullptr, nullptr, nullptr, 0, nullptr, 0);
    markGeometryStale();
}

void afHelperWindow::onLayeredPaint(afCanvas&, int, int, int, int) {}

void afHelperWindow::updateLayered() {
    if (!m_hwnd)
        return;
    RECT window;
    GetWindowRect(m_hwnd, &window);
    SIZE size{window.right - window.left, window.bottom - window.top};
    onLayeredSize(size);
    if (size.cx <= 0 || size.cy <= 0)
        return;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    // A zero-filled 32-bit top-down section: per-pixel alpha at any screen depth, and
    // whatever the hook leaves unpainted stays transparent.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (memory && bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        {
            std::unique_ptr<afCanvas> canvas = afCanvas::create(memory);
            onLayeredPaint(*canvas, 0, 0, size.cx, size.cy);
        }
        GdiFlush();
        POINT source{0, 0};
        UpdateLayeredWindow(m_hwnd, screen, nullptr, &size, memory, &source, m_colorKey,
                            m_updateFlags == ULW_ALPHA ? &m_blend : nullptr, m_updateFlags);
        SelectObject(memory, old);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

} // namespace corvel
