// A growable list of int32 values for the document store: its capacity moves in steps
// of 256 entries and shrinks only when more than 512 stand spare, so that typing does
// not reallocate.
#pragma once
#include <cstdint>
#include <memory>

namespace corvel {

class IntList {
public:
    static constexpr int32_t STEP = 256;
    static constexpr int32_t SLACK = 512;

    explicit IntList(int32_t capacity = 0);
    IntList(const IntList&) = delete;
    IntList& operator=(const IntList&) = delete;

    int32_t size() const { return m_size; }
    int32_t capacity() const { return m_capacity; }
    int32_t* data() { return m_items.get(); }
    const int32_t* data() const { return m_items.get(); }
    int32_t operator[](int32_t index) const { return m_items[index]; }
    int32_t& operator[](int32_t index) { return m_items[index]; }

    void append(int32_t value);
    // Opens `count` entries at `index` (their values are left to the caller).
    void insertRoom(int32_t index, int32_t count);
    void erase(int32_t index, int32_t count);
    void clear() { m_size = 0; }
    // Drops the entries from `size` on without giving back capacity.
    void truncate(int32_t size) { m_size = size < m_size ? size : m_size; }
    // Sets the capacity, keeping min(size, capacity) entries.
    void reallocate(int32_t capacity);

    static int32_t roundUp(int32_t count) { return (count + STEP - 1) / STEP * STEP; }

private:
    std::unique_ptr<int32_t[]> m_items;
    int32_t m_size = 0; // 0 <= m_size <= m_capacity
    int32_t m_capacity = 0;
};

} // namespace corvel
