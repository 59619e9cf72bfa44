// A canvas over GetDC of a window, outside a paint cycle, with the window's font.
#pragma once
#include "corvel/ui/afCanvas.h"

namespace corvel {

class afCanvasWidget : public afCanvas {
public:
    static std::unique_ptr<afCanvasWidget> create(HWND hwnd, HFONT font);
    ~afCanvasWidget() override;

private:
    afCanvasWidget(HWND hwnd, HFONT font) : afCanvas(nullptr), m_hwnd(hwnd), m_font(font) {}
    void prepare() override;

    HWND m_hwnd;
    HFONT m_font;
};

} // namespace corvel
