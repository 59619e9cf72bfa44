// A container that holds slots and shows one of them at a time, like a tab strip with its
// pages. It keeps the slots' position and activation orders, switches the shown view when
// the active slot changes and asks the slots' controllers before they close. How slots
// are drawn and laid out is the subclasses' business. Main thread only.
#pragma once
#include "corvel/ui/afDockSlotOrder.h"
#include "corvel/widgets/afContainer.h"
#include "zem/base/CallbackList.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace corvel {

class afDataObject;
class afDataObjectComposite;
class afDockSlot;
class afDockSlotController;
class afDropTarget;

class afDock : public afContainer {
public:
    typedef zem::CallbackList<void(afDock*)> FocusListeners;
    // Takes a drop whose data filled the handler's data object; answers the action done.
    typedef int (*DropFunction)(void* user, afDock* dock, afDataObject* data, int position, afEvent* event, int allowed,
                                int last);

    explicit afDock(afView* parent);
    // Deletes the slots it still holds; their views are not its own.
    ~afDock() override;

    const wchar_t* getTypeName() const override;
    void addScopeEntries(ScopePath& path) override;
    void onChildFocus(afView* view, bool gained) override;
    void onCreated() override;
    void onBeforeDestroy() override;

    // Creates a slot and inserts it; position -1 or out of range appends. Returns the
    // position used and the slot. When the slot gets no view it is deleted and the
    // exception goes on; the dock is unchanged.
    std::pair<int, afDockSlot*> addSlot(afDockSlotController* controller, void* data, uint32_t id = 0xE35E00DFu,
                                        int position = -1);
    // Moves a slot of this dock, or takes a slot over from its old dock (not deleting
    // it). Returns the position used; -1 for a null slot.
    int insertSlot(afDockSlot* slot, int position);
    // Null deactivates; a slot of another dock is ignored.
    void setActiveSlot(afDockSlot* slot);
    afDockSlot* getActiveSlot() const { return m_active; }
    // The controllers may keep some of the slots; the others are deleted. Always true.
    bool removeSlots(const std::vector<afDockSlot*>& slots);
    // False for a slot of another dock.
    bool removeSlot(afDockSlot* slot);
    void removeAllSlots();
    // Nothing when the slot kept belongs elsewhere.
    void removeOtherSlots(afDockSlot* kept);

    // Null for a bad index or order.
    afDockSlot* getSlot(int index, int order = AF_ORDER_POSITION) const;
    // The position, or -1 for a slot not here.
    int getSlotIndex(const afDockSlot* slot) const;
    // Directions as afDockSlotOrder's, from the active slot; null for none or bad input.
    afDockSlot* getAdjacentSlot(int direction, int order = AF_ORDER_POSITION) const;
    int getSlotCount() const { return static_cast<int>(m_orders.size()); }
    const afDockSlotOrder& getOrders() const { return m_orders; }

    // Takes data (owned) as a part of what drops accept; the first handler whose data
    // object a drop filled gets the drop.
    void addDropHandler(afDataObject* data, void* user, DropFunction function);
    afDropTarget* getDropTarget() const { return m_dropTarget; }
    // Whether drops of other data than this process's dragged tabs have a handler here.
    bool takesForeignDrops() const { return m_dropHandlers.size() > (m_slotHandlerAdded ? 1u : 0u); }

    // Told when the dock or a view inside it gains the focus, before its parent hears of it.
    FocusListeners& focusListeners() { return m_focusListeners; }

    // Notifications for the dock classes (nothing by default).
    virtual void onSlotInserted(afDockSlot* slot, int position);
    virtual void onSlotRemoved(afDockSlot* slot, bool deleting);
    virtual void onSlotsRemoving(std::vector<afDockSlot*>& slots);
    virtual void onActiveSlotChanged(afDockSlot* previous);
    virtual void onSlotDecorationChanged(afDockSlot* slot);
    virtual void onSlotMoved(afDockSlot* slot, int position);
    virtual void onActiveViewChanged(afDockSlot* slot, afDockSlot* previous);
    // Must set the slot's view.
    virtual void createSlotView(afDockSlot* slot) = 0;
    virtual void onSlotStateChanged(afDockSlot* slot, int state);
    // The slot position a drop at (x, y) in dock coordinates lands on; out gets where
    // a marker would stand.
    virtual int dropPosition(int x, int y, POINT* out);
    // Registers the drop target on the dock's window and adds the slot drop handler.
    virtual void createDropTarget();
    virtual void destroyDropTarget();
    // Drags a slot of this dock (with what its controller adds); false for others.
    virtual bool dragSlot(afDockSlot* slot);
    // The slot this process is dragging now, or null: docks accept only such drags.
    static afDockSlot* getDraggedSlot();
    virtual int onSlotDrop(afDropTarget* target, afEvent* event, int allowed, int last);
    virtual int onSlotDragOver(afDropTarget* target, afEvent* event, int allowed, int last);
    virtual void onSlotDragLeave(afDropTarget* target);

protected:
    // Runs the OLE drag of the slot's data; the drop comes back through the targets.
    virtual int runSlotDrag(afDataObject* data, int allowed);

private:
    // Takes the slot out of this dock, activating its successor first when it was active.
    void detachSlot(afDockSlot* slot, bool deleting);
    static int dropSlot(void* user, afDock* dock, afDataObject* data, int position, afEvent* event, int allowed,
                        int last);

    struct DropHandler {
        afDataObject* data; // a part of m_dropData
        void* user;
        DropFunction function;
    };

    afDockSlot* m_active = nullptr; // the shown slot; kept current in m_orders
    afDockSlotOrder m_orders;       // owns nothing: the slots are deleted by detachSlot or ~afDock
    FocusListeners m_focusListeners;
    std::vector<DropHandler> m_dropHandlers;           // in the order added
    std::unique_ptr<afDataObjectComposite> m_dropData; // what drops are fetched into
    afDropTarget* m_dropTarget = nullptr;              // owned by the window while registered
    bool m_slotHandlerAdded = false;
};

} // namespace corvel
