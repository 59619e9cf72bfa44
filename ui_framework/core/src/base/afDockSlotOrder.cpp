#include "corvel/ui/afDockSlotOrder.h"

#include "corvel/ui/moveToIndex.h"

#include <algorithm>

namespace corvel {

namespace {

bool eraseFirst(std::vector<afDockSlot*>& slots, afDockSlot* slot) {
    auto found = std::find(slots.begin(), slots.end(), slot);
    if (found == slots.end())
        return false;
    slots.erase(found);
    return true;
}

} // namespace

void afDockSlotOrder::insert(afDockSlot* slot, int index) {
    remove(slot);
    if (index < 0 || static_cast<size_t>(index) > m_position.size())
        m_position.push_back(slot);
    else
        m_position.insert(m_position.begin() + index, slot);
    m_activation.push_back(slot);
}

void afDockSlotOrder::remove(afDockSlot* slot) {
    eraseFirst(m_position, slot);
    eraseFirst(m_activation, slot);
}

void afDockSlotOrder::markActive(afDockSlot* slot) {
    if (std::find(m_activation.begin(), m_activation.end(), slot) == m_activation.end())
        return;
    eraseFirst(m_activation, slot);
    m_activation.push_back(slot);
}

bool afDockSlotOrder::move(afDockSlot* slot, size_t index) {
    return moveToIndex(m_position, slot, index);
}

afDockSlot* afDockSlotOrder::neighbour(afDockOrder order, int direction) const {
    if (m_activation.empty())
        return nullptr;
    afDockSlot* currentSlot = m_activation.back();
    if (direction == AF_DOCK_CURRENT)
        return currentSlot;
    const std::vector<afDockSlot*>& chosen = slots(order);
    auto found = std::find(chosen.begin(), chosen.end(), currentSlot);
    if (found == chosen.end())
        return nullptr;
    size_t at = static_cast<size_t>(found - chosen.begin());
    size_t last = chosen.size() - 1;
    switch (direction) {
    case AF_DOCK_PREVIOUS:
        return chosen[at == 0 ? last : at - 1];
    case AF_DOCK_NEXT:
        return chosen[at == last ? 0 : at + 1];
    case AF_DOCK_SUCCESSOR:
        if (at != last)
            return chosen[at + 1];
        return at == 0 ? nullptr : chosen[at - 1];
    default:
        return nullptr;
    }
}

} // namespace corvel
