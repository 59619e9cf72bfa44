#include "zem/base/Allocator.h"

#include <algorithm>
#include <cstdlib>

namespace zem {

MemoryPool::MemoryPool(size_t blockSize, size_t preallocate) : m_blockSize(blockSize) {
    m_free.reserve(std::max<size_t>(128, preallocate));
    for (size_t i = 0; i < preallocate; ++i) {
        m_free.push_back(::operator new(blockSize));
        ++m_allocated;
    }
}

MemoryPool::~MemoryPool() {
    for (void* block : m_free)
        ::operator delete(block);
}

void* MemoryPool::get() {
    CriticalSectionLock guard(m_lock);
    if (!m_free.empty()) {
        void* block = m_free.back();
        m_free.pop_back();
        return block;
    }
    ++m_allocated;
    return ::operator new(m_blockSize);
}

void MemoryPool::release(void* block) {
    if (!block)
        return;
    CriticalSectionLock guard(m_lock);
    m_free.push_back(block);
}

} // namespace zem
