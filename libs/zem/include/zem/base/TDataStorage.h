// Bump storage for many small copies that all die together (the texts of a scope path):
// a chain of blocks, each request carved from the current one, nothing freed alone.
#pragma once
#include "zem/base/Assert.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace zem {

// Blocks hold BlockUnits units, or the request plus BlockUnits when a request is larger.
// Requests are padded so that every copy starts 4-byte aligned.
template <class T, size_t BlockUnits = 4096> class TDataStorage {
    static constexpr size_t PAD_UNITS = sizeof(T) >= 4 ? 1 : 4 / sizeof(T);

public:
    TDataStorage() = default;
    TDataStorage(const TDataStorage&) = delete;
    TDataStorage& operator=(const TDataStorage&) = delete;

    // Uninitialised room for count units; count 0 is a caller's fault.
    T* allocate(size_t count) {
        ZEM_ASSERT_MSG(count != 0, L"size");
        size_t padded = (count + PAD_UNITS - 1) / PAD_UNITS * PAD_UNITS;
        if (m_blocks.empty() || m_blocks.back().capacity - m_blocks.back().used < padded)
            addBlock(padded > BlockUnits ? padded + BlockUnits : BlockUnits);
        Block& block = m_blocks.back();
        T* out = block.data.get() + block.used;
        block.used += padded;
        return out;
    }

    // Releases every block; pointers handed out before are dangling afterwards.
    void clear() { m_blocks.clear(); }

    size_t blockCount() const { return m_blocks.size(); }

private:
    struct Block {
        std::unique_ptr<T[]> data;
        size_t capacity; // units
        size_t used;     // used <= capacity; a multiple of PAD_UNITS
    };

    void addBlock(size_t units) { m_blocks.push_back(Block{std::unique_ptr<T[]>(new T[units]), units, 0}); }

    std::vector<Block> m_blocks; // the last one is current; the rest of earlier ones stays unused
};

} // namespace zem
