// Keeps offsets held outside the document in step with its edits: each registered
// callback hears of every insertion (+count) and removal (-count) at an offset.
#pragma once
#include <cstdint>
#include <vector>

namespace corvel {

class PositionManager {
public:
    typedef void (*Callback)(void* object, int32_t offset, int32_t delta);

    virtual ~PositionManager() = default;

    void add(void* object, Callback callback);
    // Removes every registration of the object.
    void remove(void* object);
    // Nothing for a delta of 0; else every callback in registration order.
    void fixUp(int32_t offset, int32_t delta);

private:
    struct Entry {
        void* object;
        Callback callback;
    };
    std::vector<Entry> m_entries;
};

} // namespace corvel
