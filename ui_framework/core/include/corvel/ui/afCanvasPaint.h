// The canvas of one WM_PAINT of a window: its update region and box, its client
// rectangle, and the window's font selected.
#pragma once
#include "corvel/ui/afCanvas.h"

#include <memory>

namespace corvel {

class afCanvasPaint : public afCanvas {
public:
    ~afCanvasPaint() override;

    HRGN getUpdateRegion() const { return m_updateRegion; }
    const afRect& getUpdateBox() const { return m_updateBox; }
    const afRect& getClientRect() const { return m_rect; }

private:
    friend class afCanvas;
    afCanvasPaint(HWND hwnd, HFONT font, HDC dc) : afCanvas(dc), m_hwnd(hwnd), m_font(font) {}
    void prepare() override;

    HWND m_hwnd;
    HFONT m_font;
    std::unique_ptr<PAINTSTRUCT> m_paint; // only when this canvas called BeginPaint
    HRGN m_updateRegion = nullptr;        // owned
    afRect m_updateBox;
};

} // namespace corvel
