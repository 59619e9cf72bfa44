// A list of int32 values collected in blocks of 256, so that a growing list never copies
// what it already holds; flattened once when complete.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace corvel {

class BlockList {
public:
    static constexpr size_t BLOCK = 256;

    void append(int32_t value) {
        if (m_size % BLOCK == 0)
            m_blocks.emplace_back(new int32_t[BLOCK]);
        m_blocks.back()[m_size % BLOCK] = value;
        ++m_size;
    }
    size_t size() const { return m_size; }
    // Throws InvalidArgumentException "buff is too small" when capacity < size().
    void flatten(int32_t* out, size_t capacity) const;
    void clear();

private:
    std::vector<std::unique_ptr<int32_t[]>> m_blocks;
    size_t m_size = 0;
};

} // namespace corvel
