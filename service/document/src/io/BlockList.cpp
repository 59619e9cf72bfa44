#include "corvel/document/BlockList.h"

#include "zem/base/Assert.h"
#include "zem/base/Exception.h"

#include <algorithm>

namespace corvel {

void BlockList::flatten(int32_t* out, size_t capacity) const {
    if (capacity < m_size)
        throw zem::InvalidArgumentException(L"buff is too small");
    size_t copied = 0;
    for (const std::unique_ptr<int32_t[]>& block : m_blocks) {
        const size_t count = std::min(BLOCK, m_size - copied);
        std::copy(block.get(), block.get() + count, out + copied);
        copied += count;
    }
    ZEM_ASSERT_MSG(copied == m_size, L"copied == m_size");
}

void BlockList::addBlock() {
    m_blocks.emplace_back(new int32_t[BLOCK]);
    m_current = m_blocks.back().get();
    m_fill = 0;
}

void BlockList::clear() {
    m_blocks.clear();
    m_current = nullptr;
    m_fill = BLOCK;
    m_size = 0;
}

} // namespace corvel
