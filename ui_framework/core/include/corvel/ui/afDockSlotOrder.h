// A dock's two orders over its slots: where they stand (position order) and when they
// were last activated (activation order; the last one is the current slot). The dock
// asks it which slot to show when stepping through tabs or when the current one goes.
#pragma once
#include <cstddef>
#include <vector>

namespace corvel {

class afDockSlot;

// The orders, by the same number in every call.
enum afDockOrder { AF_ORDER_POSITION = 0, AF_ORDER_ACTIVATION = 1 };

// What neighbour looks for.
enum afDockDirection {
    AF_DOCK_CURRENT = 0,   // the current slot, in either order
    AF_DOCK_PREVIOUS = 1,  // the one before the current slot, wrapping round
    AF_DOCK_NEXT = 2,      // the one after, wrapping round
    AF_DOCK_SUCCESSOR = 3, // the one to activate when the current slot goes: after it, else before it
};

class afDockSlotOrder {
public:
    typedef std::vector<afDockSlot*>::const_iterator const_iterator;

    // Puts slot at index of the position order (appended when the index lies outside
    // 0..size) and makes it the current slot. A slot already held moves.
    void insert(afDockSlot* slot, int index);
    // Takes the slot out of both orders; nothing when it is not held.
    void remove(afDockSlot* slot);
    // Makes a held slot the current one; the position order is not touched.
    void markActive(afDockSlot* slot);
    // Moves a held slot to index of the position order (appended at or past the end);
    // false when it is not held. The activation order is not touched.
    bool move(afDockSlot* slot, size_t index);

    const_iterator begin(afDockOrder order) const { return slots(order).begin(); }
    const_iterator end(afDockOrder order) const { return slots(order).end(); }
    size_t size() const { return m_position.size(); }
    // The current slot, or null when there are none.
    afDockSlot* current() const { return m_activation.empty() ? nullptr : m_activation.back(); }
    // The slot the direction picks in the order, or null for none.
    afDockSlot* neighbour(afDockOrder order, int direction) const;

private:
    const std::vector<afDockSlot*>& slots(afDockOrder order) const {
        return order == AF_ORDER_ACTIVATION ? m_activation : m_position;
    }

    // Both hold the same slots, each once; not owned.
    std::vector<afDockSlot*> m_activation; // least recently activated first
    std::vector<afDockSlot*> m_position;   // as they stand in the dock
};

} // namespace corvel
