// One page of a dock: the view it shows and the controller that made it and decides its
// title, closing and storing. Owners tag it with their own objects (its tab button).
#pragma once
#include "corvel/config/TaggedObject.h"

#include <cstdint>

namespace corvel {

class afDock;
class afDockSlotController;
class afView;

class afDockSlot : public TaggedObject {
public:
    static constexpr uint32_t DEFAULT_ID = 0xE35E00DFu; // "default"

    afDockSlot(afDockSlotController* controller, void* data, uint32_t id)
        : m_id(id), m_data(data), m_controller(controller) {}
    ~afDockSlot() override = default;

    virtual uint32_t getType() const { return m_type; }

    afView* getView() const { return m_view; }
    // The dock's createSlotView sets it; never null once the slot is in a dock.
    void setView(afView* view) { m_view = view; }
    uint32_t getId() const { return m_id; }
    // The controller marks a slot of another kind; it tells the dock to redraw the tab.
    void setId(uint32_t id) { m_id = id; }
    void* getData() const { return m_data; }
    void setData(void* data) { m_data = data; }
    afDockSlotController* getController() const { return m_controller; }
    afDock* getDock() const { return m_dock; }

private:
    friend class afDock;

    uint32_t m_type = DEFAULT_ID;
    afView* m_view = nullptr; // not owned
    uint32_t m_id;
    void* m_data;                       // the controller's word (a document tab's controller)
    afDockSlotController* m_controller; // not owned
    afDock* m_dock = nullptr;           // the dock that holds it, or null
};

} // namespace corvel
