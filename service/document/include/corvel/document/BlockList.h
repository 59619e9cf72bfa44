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
        if (m_fill == BLOCK)
            addBlock();
        m_current[m_fill++] = value;
        ++m_size;
    }
    size_t size() const { return m_size; }
    // Throws InvalidArgumentException "buff is too small" when capacity < size().
    void flatten(int32_t* out, size_t capacity) const;
    void clear();

private:
    void addBlock();

    std::vector<std::unique_ptr<int32_t[]>> m_blocks;
    int32_t* m_current = nullptr; // the last block
    size_t m_fill = BLOCK;        // entries used in the last block, 0 < m_fill <= BLOCK once one exists
    size_t m_size = 0;
};

} // namespace corvel
