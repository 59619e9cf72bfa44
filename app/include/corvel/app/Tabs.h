// A strip of tab buttons above the active slot's view: the document tabs, the bottom bar
// and the bundle editor's docks. The header holds a leading area, the scrolling row of
// buttons and a trailing area; with no slot the area below shows the empty picture.
// Main thread only.
#pragma once
#include "corvel/app/DockSimple.h"
#include "corvel/ui/Callback.h"

namespace corvel {

class afIcon;
class afLayoutHorizontalScroll;
class afLayoutLinear;

class Tabs : public DockSimple {
public:
    typedef Callback<void(Tabs*)> DoubleClick;
    enum : int { EDGE_BOTTOM_LINE = 2 }; // edge mode: the header's line on its bottom edge

    explicit Tabs(afView* parent);

    // The dock as a child of window with its native window; null for a null window.
    static Tabs* create(afView* window);

    const wchar_t* getTypeName() const override;
    bool onDraw(afCanvas* canvas, afCanvasRegion* region) override;

    // A view at the start of the header's trailing area, wrapping its width.
    void addLeadingView(afView* view);
    // Shown centred below the header while no slot is active; not owned.
    void setEmptyPicture(const afIcon* icon);
    const afIcon* getEmptyPicture() const { return m_emptyPicture; }
    // Run by a double click on the button row or on the content.
    void setDoubleClick(void* user, DoubleClick::Function function) { m_doubleClick = DoubleClick(user, function); }
    // 2 draws the header's line on its bottom edge, other values on its top edge.
    void setEdgeMode(int mode);
    int getEdgeMode() const { return m_edgeMode; }

    afLayoutLinear* getContent() const { return m_content; }
    afLayoutLinear* getHeader() const { return m_header; }
    afLayoutLinear* getButtonRow() const { return m_row; }
    afLayoutHorizontalScroll* getScroller() const { return m_scroller; }
    // The area below the header in client coordinates (where the empty picture shows).
    afRect getBodyRect() const;

protected:
    void placeButton(afDockSlot* slot, ViewVirtualButton* button, int position) override;
    void removeButton(afDockSlot* slot, ViewVirtualButton* button) override;
    void moveButton(afDockSlot* slot, ViewVirtualButton* button, int position) override;
    void placeView(afDockSlot* slot, afView* view) override;
    void removeView(afView* view) override;
    void onActiveButtonChanged(afDockSlot* slot, afDockSlot* previous) override;
    bool hitTestDrop(int x, int y, DropHit& hit) override;
    void showMarker(const DropHit& hit) override;

private:
    static bool paintHeader(void* self, afView* view, afCanvas* canvas, afCanvasRegion* region);
    static bool onDoubleClickEvent(void* self, afView* view, afEvent* event);

    afLayoutLinear* m_content;
    afLayoutLinear* m_header;
    afLayoutLinear* m_leading;
    afLayoutHorizontalScroll* m_scroller;
    afLayoutLinear* m_row;
    afLayoutLinear* m_trailing;
    DoubleClick m_doubleClick;
    int m_edgeMode = EDGE_BOTTOM_LINE;
    const afIcon* m_emptyPicture = nullptr; // not owned
};

} // namespace corvel
