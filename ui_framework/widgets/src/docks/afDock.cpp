#include "corvel/widgets/afDock.h"

#include "corvel/ui/afEvent.h"
#include "corvel/ui/afTypeNames.h"
#include "corvel/widgets/afDataObjectComposite.h"
#include "corvel/widgets/afDataObjectScalar.h"
#include "corvel/widgets/afDockSlot.h"
#include "corvel/widgets/afDockSlotController.h"
#include "corvel/widgets/afDropSource.h"
#include "corvel/widgets/afDropTarget.h"
#include "zem/base/Exception.h"

#include <algorithm>
#include <memory>

namespace corvel {

namespace {

constexpr const wchar_t SLOT_FORMAT[] = L"afDockSlot";

// The slot this process is dragging. A slot pointer dropped at any other time came from
// another instance and means nothing here, even when it equals a live slot's address.
afDockSlot* s_draggedSlot = nullptr;

} // namespace

afDock::afDock(afView* parent) : afContainer(parent), m_dropData(new afDataObjectComposite()) {}

afDock::~afDock() {
    // The target points at the drop data, which goes before the window does.
    destroyDropTarget();
    std::vector<afDockSlot*> slots(m_orders.begin(AF_ORDER_POSITION), m_orders.end(AF_ORDER_POSITION));
    for (afDockSlot* slot : slots) {
        m_orders.remove(slot);
        slot->m_dock = nullptr;
        delete slot;
    }
    m_active = nullptr;
}

const wchar_t* afDock::getTypeName() const {
    return afTypeName::DOCK;
}

void afDock::addScopeEntries(ScopePath& path) {
    // Actions invoked on a dock see the context its shown slot's owner adds.
    if (m_active && m_active->m_controller)
        m_active->m_controller->getSlotScope(m_active, path);
}

void afDock::onCreated() {
    afContainer::onCreated();
    createDropTarget();
}

void afDock::onBeforeDestroy() {
    destroyDropTarget();
    afContainer::onBeforeDestroy();
}

void afDock::onChildFocus(afView* view, bool gained) {
    if (gained)
        m_focusListeners.invoke(this);
    afContainer::onChildFocus(view, gained);
}

std::pair<int, afDockSlot*> afDock::addSlot(afDockSlotController* controller, void* data, uint32_t id, int position) {
    std::unique_ptr<afDockSlot> slot(new afDockSlot(controller, data, id));
    int used = insertSlot(slot.get(), position);
    return {used, slot.release()};
}

int afDock::insertSlot(afDockSlot* slot, int position) {
    if (!slot)
        return -1;
    if (slot->m_dock == this) {
        size_t index = position < 0 ? m_orders.size() : static_cast<size_t>(position);
        if (!m_orders.move(slot, index))
            return -1;
        int used = getSlotIndex(slot);
        onSlotMoved(slot, used);
        return used;
    }
    if (slot->m_dock)
        slot->m_dock->detachSlot(slot, false);
    slot->m_dock = this;
    slot->m_view = nullptr;
    m_orders.insert(slot, position);
    // The order makes a new slot current; the shown slot stays the one neighbours are
    // taken from, or closing it would pick the wrong successor.
    if (m_active)
        m_orders.markActive(m_active);
    try {
        createSlotView(slot);
        if (!slot->m_view)
            throw zem::NullPointerException(L"Slot requires a view to be associated.");
    } catch (...) {
        m_orders.remove(slot);
        slot->m_dock = nullptr;
        throw;
    }
    int used = getSlotIndex(slot);
    onSlotInserted(slot, used);
    if (slot->m_controller)
        slot->m_controller->onSlotInserted(slot);
    return used;
}

void afDock::setActiveSlot(afDockSlot* slot) {
    if (slot && slot->m_dock != this)
        return;
    if (slot == m_active)
        return;
    afDockSlot* previous = m_active;
    m_active = slot;
    if (slot)
        m_orders.markActive(slot);
    onActiveSlotChanged(previous);
    if (previous && previous->m_controller)
        previous->m_controller->onSlotDeactivated(previous);
    if (slot && slot->m_controller)
        slot->m_controller->onSlotActivated(slot);
    afView* view = slot ? slot->m_view : nullptr;
    afView* previousView = previous ? previous->m_view : nullptr;
    if (view != previousView)
        onActiveViewChanged(slot, previous);
}

void afDock::detachSlot(afDockSlot* slot, bool deleting) {
    if (slot == m_active)
        setActiveSlot(m_orders.neighbour(AF_ORDER_POSITION, AF_DOCK_SUCCESSOR));
    onSlotRemoved(slot, deleting);
    if (slot->m_controller)
        slot->m_controller->onSlotRemoved(slot, deleting);
    m_orders.remove(slot);
    if (m_active)
        m_orders.markActive(m_active);
    slot->m_dock = nullptr;
    if (deleting)
        delete slot;
}

bool afDock::removeSlots(const std::vector<afDockSlot*>& slots) {
    // Each controller hears once, with its own slots, in order of first appearance.
    std::vector<std::pair<afDockSlotController*, std::vector<afDockSlot*>>> groups;
    for (afDockSlot* slot : slots) {
        if (!slot || slot->m_dock != this)
            continue;
        auto group = std::find_if(groups.begin(), groups.end(),
                                  [slot](const auto& entry) { return entry.first == slot->m_controller; });
        if (group == groups.end())
            groups.push_back({slot->m_controller, {slot}});
        else if (std::find(group->second.begin(), group->second.end(), slot) == group->second.end())
            group->second.push_back(slot);
    }
    std::vector<afDockSlot*> remaining;
    for (auto& group : groups) {
        if (group.first)
            group.first->onSlotsClosing(group.second);
        remaining.insert(remaining.end(), group.second.begin(), group.second.end());
    }
    onSlotsRemoving(remaining);
    for (afDockSlot* slot : remaining) {
        if (slot && slot->m_dock == this)
            detachSlot(slot, true);
    }
    return true;
}

bool afDock::removeSlot(afDockSlot* slot) {
    if (!slot || slot->m_dock != this)
        return false;
    return removeSlots({slot});
}

void afDock::removeAllSlots() {
    removeSlots(std::vector<afDockSlot*>(m_orders.begin(AF_ORDER_POSITION), m_orders.end(AF_ORDER_POSITION)));
}

void afDock::removeOtherSlots(afDockSlot* kept) {
    if (!kept || kept->m_dock != this)
        return;
    std::vector<afDockSlot*> others;
    for (auto it = m_orders.begin(AF_ORDER_POSITION); it != m_orders.end(AF_ORDER_POSITION); ++it) {
        if (*it != kept)
            others.push_back(*it);
    }
    removeSlots(others);
}

afDockSlot* afDock::getSlot(int index, int order) const {
    if (order != AF_ORDER_POSITION && order != AF_ORDER_ACTIVATION)
        return nullptr;
    if (index < 0 || static_cast<size_t>(index) >= m_orders.size())
        return nullptr;
    return *(m_orders.begin(static_cast<afDockOrder>(order)) + index);
}

int afDock::getSlotIndex(const afDockSlot* slot) const {
    if (!slot || slot->m_dock != this)
        return -1;
    auto begin = m_orders.begin(AF_ORDER_POSITION);
    auto found = std::find(begin, m_orders.end(AF_ORDER_POSITION), slot);
    return found == m_orders.end(AF_ORDER_POSITION) ? -1 : static_cast<int>(found - begin);
}

afDockSlot* afDock::getAdjacentSlot(int direction, int order) const {
    if (order != AF_ORDER_POSITION && order != AF_ORDER_ACTIVATION)
        return nullptr;
    if (direction < AF_DOCK_CURRENT || direction > AF_DOCK_SUCCESSOR)
        return nullptr;
    return m_orders.neighbour(static_cast<afDockOrder>(order), direction);
}

void afDock::onSlotInserted(afDockSlot*, int) {}
void afDock::onSlotRemoved(afDockSlot*, bool) {}
void afDock::onSlotsRemoving(std::vector<afDockSlot*>&) {}
void afDock::onActiveSlotChanged(afDockSlot*) {}
void afDock::onSlotDecorationChanged(afDockSlot*) {}
void afDock::onSlotMoved(afDockSlot*, int) {}
void afDock::onActiveViewChanged(afDockSlot*, afDockSlot*) {}
void afDock::onSlotStateChanged(afDockSlot*, int) {}

int afDock::dropPosition(int, int, POINT* out) {
    if (out)
        *out = POINT{0, 0};
    return 0;
}

void afDock::addDropHandler(afDataObject* data, void* user, DropFunction function) {
    m_dropHandlers.push_back(DropHandler{data, user, function});
    m_dropData->addPart(data, true);
}

void afDock::createDropTarget() {
    if (m_dropTarget || !m_hwnd)
        return;
    auto* target = new afDropTarget(m_dropData.get(), false);
    target->setView(this);
    target->overCallback =
        afDropTarget::ActionCallback(this, [](void* dock, afDropTarget* t, afEvent* event, int allowed, int last) {
            return static_cast<afDock*>(dock)->onSlotDragOver(t, event, allowed, last);
        });
    target->dropCallback =
        afDropTarget::ActionCallback(this, [](void* dock, afDropTarget* t, afEvent* event, int allowed, int last) {
            return static_cast<afDock*>(dock)->onSlotDrop(t, event, allowed, last);
        });
    target->leaveCallback = afDropTarget::LeaveCallback(
        this, [](void* dock, afDropTarget* t) { static_cast<afDock*>(dock)->onSlotDragLeave(t); });
    m_dropTarget = target;
    setDropTarget(target);
    if (!m_slotHandlerAdded) {
        m_slotHandlerAdded = true;
        addDropHandler(new afDataObjectScalar<afDockSlot*>(SLOT_FORMAT, nullptr), nullptr, &afDock::dropSlot);
    }
}

void afDock::destroyDropTarget() {
    if (!m_dropTarget)
        return;
    m_dropTarget = nullptr;
    setDropTarget(nullptr); // revokes and deletes it
}

bool afDock::dragSlot(afDockSlot* slot) {
    if (!slot || slot->m_dock != this)
        return false;
    afDataObjectComposite data;
    int allowed = slot->m_controller ? slot->m_controller->getSlotDragData(slot, &data) : 1;
    data.addPart(new afDataObjectScalar<afDockSlot*>(SLOT_FORMAT, slot), false);
    allowed |= 16;
    afDockSlot* outer = s_draggedSlot;
    s_draggedSlot = slot;
    try {
        runSlotDrag(&data, allowed);
    } catch (...) {
        s_draggedSlot = outer;
        throw;
    }
    s_draggedSlot = outer;
    return true;
}

afDockSlot* afDock::getDraggedSlot() {
    return s_draggedSlot;
}

int afDock::runSlotDrag(afDataObject* data, int allowed) {
    afDropSource source;
    source.setDataObject(data);
    return source.drag(allowed);
}

int afDock::onSlotDrop(afDropTarget* target, afEvent* event, int allowed, int last) {
    if (!target || target != m_dropTarget || last == 1)
        return 1;
    if (!target->getData())
        return 1;
    POINT point{event->x, event->y};
    ScreenToClient(m_hwnd, &point);
    int position = dropPosition(point.x, point.y, nullptr);
    for (const DropHandler& handler : m_dropHandlers) {
        if (!handler.data->isEmpty())
            return handler.function(handler.user, this, handler.data, position, event, allowed, last);
    }
    return 1;
}

int afDock::onSlotDragOver(afDropTarget*, afEvent*, int, int last) {
    return last;
}

void afDock::onSlotDragLeave(afDropTarget*) {}

int afDock::dropSlot(void*, afDock* dock, afDataObject* data, int position, afEvent*, int, int last) {
    afDockSlot* slot = static_cast<afDataObjectScalar<afDockSlot*>*>(data)->getValue();
    if (!slot || slot != s_draggedSlot)
        return 1;
    dock->insertSlot(slot, position);
    return last;
}

} // namespace corvel
