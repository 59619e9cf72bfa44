// The application's dock: one palette button per slot (the tab) with its context menu,
// a cache of the views made for the slots' data words, and the drop marker shown while a
// tab is dragged over it. Where buttons and views stand is the business of the two
// concrete docks, Tabs and TabsSidebar. Main thread only.
#pragma once
#include "corvel/widgets/afDock.h"

#include <cstdint>
#include <map>

namespace corvel {

class DropMarker;
class afMenu;
class afMenuNode;
class ViewVirtualButton;

class DockSimple : public afDock {
public:
    static const uint32_t BUTTON_TAG; // "button": the slot's tab button
    // The slot's alert symbols given to onSlotStateChanged.
    static const uint32_t STATE_WARNING;   // "warning"
    static const uint32_t STATE_HIGHLIGHT; // "highlight"
    static const uint32_t STATE_DEFAULT;   // "default"

    explicit DockSimple(afView* parent);
    ~DockSimple() override;

    const wchar_t* getTypeName() const override;
    // A visible child window of the dock classes' own.
    bool buildSeed(Seed& seed) override;

    void onSlotInserted(afDockSlot* slot, int position) override;
    void onSlotRemoved(afDockSlot* slot, bool deleting) override;
    void onSlotMoved(afDockSlot* slot, int position) override;
    void onActiveSlotChanged(afDockSlot* previous) override;
    void createSlotView(afDockSlot* slot) override;
    void onSlotDecorationChanged(afDockSlot* slot) override;
    void onSlotStateChanged(afDockSlot* slot, int state) override;
    void onSlotDragLeave(afDropTarget* target) override;
    int dropPosition(int x, int y, POINT* out) override;
    int onSlotDragOver(afDropTarget* target, afEvent* event, int allowed, int last) override;

    static ViewVirtualButton* getButton(const afDockSlot* slot);
    // The slot a tab button stands for, or null.
    afDockSlot* getSlotOfButton(const ViewVirtualButton* button) const;
    // The view cached for a data word, or null.
    afView* getCachedView(void* data) const;
    int getPendingDropPosition() const { return m_dropPosition; }
    DropMarker* getDropMarker() const { return m_marker; }

    // The context menu of a slot's tab at a screen point; runs the choice.
    void showSlotMenu(afDockSlot* slot, int x, int y);

    // What a drop at a point would do: the position (-1 the end) and where the marker
    // stands, in the dock's client coordinates.
    struct DropHit {
        int position = -1;
        POINT marker{0, 0};
    };

protected:
    // Layout hooks of the concrete docks.
    virtual void placeButton(afDockSlot* slot, ViewVirtualButton* button, int position) = 0;
    virtual void removeButton(afDockSlot* slot, ViewVirtualButton* button) = 0;
    virtual void moveButton(afDockSlot* slot, ViewVirtualButton* button, int position) = 0;
    // The view the cache just made for a slot (it is hidden unless the slot is active).
    virtual void placeView(afDockSlot* slot, afView* view) = 0;
    // The last slot showing view left: take it out of the layout (its controller owns it).
    virtual void removeView(afView* view) = 0;
    virtual void onActiveButtonChanged(afDockSlot* slot, afDockSlot* previous) = 0;
    // Where a drop at (x, y) of the dock's client area lands; false when it lands nowhere.
    virtual bool hitTestDrop(int x, int y, DropHit& hit) = 0;
    // Shows the marker for a hit (in client coordinates).
    virtual void showMarker(const DropHit& hit) = 0;
    // The system colour a dock without an active slot shows.
    static COLORREF emptyBackground();
    // The marker, made on first use.
    DropMarker* marker();
    void hideMarker();
    // The button's state from the slot's alert and whether it is the active one.
    void refreshButtonState(afDockSlot* slot);
    // Runs the requests a tab button makes: 1 activate, 2 the context menu, 4 close.
    void onButtonEvent(afDockSlot* slot, afEvent* event);
    // Pops the menu up and returns the chosen node (tests choose without the modal loop).
    virtual afMenuNode* runSlotMenu(afMenu* menu, int x, int y);

private:
    static void onButtonClick(void* self, ViewVirtualButton* button, afEvent* event);
    static void onButtonDrag(void* self, ViewVirtualButton* button, afEvent* event);
    bool isDataShown(void* data, const afDockSlot* except) const;

    std::map<void*, afView*> m_viewCache;           // data word -> view made for it (not owned)
    std::map<const afDockSlot*, uint32_t> m_alerts; // slots with an alert other than default
    DropMarker* m_marker = nullptr;                 // owned by the view tree; made on the first drag-over
    int m_dropPosition = -1;                        // -1 while no drop is pending
};

} // namespace corvel
