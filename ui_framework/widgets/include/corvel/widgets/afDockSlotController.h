// What owns the slots of docks (the file manager's document tabs, the project manager's
// lists): it makes their views, keeps or lets go of them when they close, and stores and
// restores them under its id.
#pragma once
#include <cstdint>
#include <vector>

namespace corvel {

class afDataObjectComposite;
class afDock;
class afDockSlot;
class afMenu;
class afView;
class JasmineValue;
class ScopePath;

class afDockSlotController {
public:
    explicit afDockSlotController(uint32_t controllerId) : m_controllerId(controllerId) {}
    virtual ~afDockSlotController() = default;

    // Called by the dock manager and the dock classes.
    virtual afView* createSlotView(afDockSlot* slot) = 0;
    virtual void fillSlotMenu(afDockSlot* slot, afMenu* menu);
    virtual bool storeSlot(afDockSlot* slot, JasmineValue& value);
    virtual bool restoreSlot(const JasmineValue& value, afDock* dock, int position);
    virtual void onDockEvent(uint32_t eventId, void* detail);

    // Called by afDock.
    virtual void onSlotInserted(afDockSlot* slot);
    virtual void onSlotRemoved(afDockSlot* slot, bool deleting);
    // The controller may take slots out of the list to keep them open.
    virtual void onSlotsClosing(std::vector<afDockSlot*>& slots);
    virtual void onSlotActivated(afDockSlot* slot);
    virtual void onSlotDeactivated(afDockSlot* slot);
    // May add parts of its own (a file list); answers the allowed drop actions.
    virtual int getSlotDragData(afDockSlot* slot, afDataObjectComposite* data);
    virtual void getSlotScope(afDockSlot* slot, ScopePath& path);

    uint32_t getControllerId() const { return m_controllerId; }

private:
    uint32_t m_controllerId; // the symbol its slots are stored under
};

} // namespace corvel
