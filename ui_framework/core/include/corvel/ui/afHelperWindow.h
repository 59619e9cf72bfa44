// The base of floating, non-activating popups (hints, drop markers): a layered top-most
// tool window that paints itself off-screen and hands the result, with per-pixel alpha,
// to the window system.
#pragma once
#include "corvel/ui/afWindow.h"

namespace corvel {

class afHelperWindow : public afWindow {
public:
    explicit afHelperWindow(afView* owner);

    bool buildSeed(Seed& seed) override;
    void onCreated() override;
    void setVisible(bool visible, bool activate) override;
    using afWindow::setVisible;

    virtual void moveTo(int x, int y);
    virtual bool isShown() const { return m_hwnd ? isVisible() : false; }
    // Called before painting; may change the size.
    virtual void onLayeredSize(SIZE& size) { (void)size; }
    virtual void onLayeredPaint(afCanvas& canvas, int x, int y, int width, int height);

    // Paints the window off-screen and hands the picture over. An empty size paints nothing.
    void updateLayered();

private:
    BLENDFUNCTION m_blend;
    COLORREF m_colorKey = 0;
    DWORD m_updateFlags = ULW_ALPHA;
};

} // namespace corvel
