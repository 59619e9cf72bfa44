// The thin floating bar that shows where a dragged tab will land: vertical between tabs
// of a strip, horizontal between the stacked tabs of a sidebar. Main thread only.
#pragma once
#include "corvel/ui/afHelperWindow.h"

namespace corvel {

class DropMarker : public afHelperWindow {
public:
    static constexpr int THICKNESS = 6;

    explicit DropMarker(afView* owner);

    // Made with its native window, hidden; null for a null owner.
    static DropMarker* create(afView* owner);

    // False: a vertical bar; true: a horizontal one.
    void setHorizontal(bool horizontal) { m_horizontal = horizontal; }
    bool isHorizontal() const { return m_horizontal; }
    void setLength(int length) { m_length = length; }
    int getLength() const { return m_length; }
    void setColor(COLORREF color) { m_color = color; }
    // Width and height of the bar.
    SIZE getBarSize() const;
    // Shows the bar at an insert point in screen coordinates: it starts there along its
    // length and is centred on it across its thickness.
    void showAt(int x, int y);

    void onLayeredSize(SIZE& size) override;
    void onLayeredPaint(afCanvas& canvas, int x, int y, int width, int height) override;

private:
    bool m_horizontal = false;
    int m_length = 64;
    COLORREF m_color = 0xFFFFFF;
};

} // namespace corvel
