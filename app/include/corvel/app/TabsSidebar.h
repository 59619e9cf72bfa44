// The left sidebar's dock: tab buttons stacked top to bottom, the active slot's view
// opening right under its own button. Main thread only.
#pragma once
#include "corvel/app/DockSimple.h"

#include <vector>

namespace corvel {

class afLayoutLinear;

class TabsSidebar : public DockSimple {
public:
    explicit TabsSidebar(afView* parent);

    // The dock as a child of window with its native window; null for a null window.
    static TabsSidebar* create(afView* window);

    const wchar_t* getTypeName() const override;
    bool onDraw(afCanvas* canvas, afCanvasRegion* region) override;

    afLayoutLinear* getContent() const { return m_content; }
    // The tab buttons in position order.
    const std::vector<ViewVirtualButton*>& getButtons() const { return m_buttons; }

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
    // Puts the content in order: each button in position order, the active slot's view
    // right after its button, the other views after their first button (hidden); edge
    // lines on top for the active button and those below it, at the bottom above it.
    void restack();

    afLayoutLinear* m_content;
    std::vector<ViewVirtualButton*> m_buttons; // position order
};

} // namespace corvel
