// Fixed-size allocators for records taken and returned at a high rate (log records,
// message payloads), and a free list of equal-sized buffers.
#pragma once
#include "zem/base/Assert.h"
#include "zem/thread/CriticalSection.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <set>
#include <vector>

namespace zem {

// Records are raw storage of Size bytes; the caller constructs in place if it needs to.
// Up to Depot completely free blocks stay allocated so a burst after a burst of
// releases does not reach the heap.
template <size_t Size, size_t ChunkSize, int Depot> class TAllocator {
public:
    TAllocator() : m_lock(DEFAULT_SPIN_COUNT) {}
    ~TAllocator() {
        for (Block* b : m_set)
            delete b;
    }
    TAllocator(const TAllocator&) = delete;
    TAllocator& operator=(const TAllocator&) = delete;

    void* allocate() {
        CriticalSectionLock guard(m_lock);
        if (!m_head) {
            Block* b = new Block;
            m_set.insert(b);
            linkHead(b);
            return pop(b);
        }
        Block* b = m_head;
        if (b->used == 0) {
            --m_supply_depot;
            ZEM_ASSERT(m_supply_depot >= 0);
        }
        void* p = pop(b);
        if (b->used == ChunkSize) {
            ZEM_ASSERT(b->prev == NULL);
            unlink(b);
        }
        return p;
    }

    void free(void* record) {
        CriticalSectionLock guard(m_lock);
        Block* b = findBlock(record);
        bool wasFull = b->used == ChunkSize;
        b->freeStack[b->freeCount++] = static_cast<unsigned char*>(record);
        --b->used;
        if (wasFull)
            linkHead(b);
        if (b->used != 0)
            return;
        if (m_supply_depot >= Depot) {
            unlink(b);
            m_set.erase(b);
            if (m_cache == b)
                m_cache = nullptr;
            delete b;
            return;
        }
        ++m_supply_depot;
    }

    size_t blockCount() const { return m_set.size(); }
    int supplyDepot() const { return m_supply_depot; }

private:
    struct Block {
        Block* prev = nullptr;
        Block* next = nullptr;
        unsigned char* freeStack[ChunkSize];
        size_t freeCount = ChunkSize;
        size_t used = 0;
        alignas(std::max_align_t) unsigned char m_heap[ChunkSize * Size];

        Block() {
            for (size_t i = 0; i < ChunkSize; ++i)
                freeStack[i] = &m_heap[i * Size];
        }
        bool contains(const void* p) const {
            uintptr_t a = reinterpret_cast<uintptr_t>(p);
            return a >= reinterpret_cast<uintptr_t>(&m_heap[0]) && a < reinterpret_cast<uintptr_t>(&m_heap[0]) + sizeof(m_heap);
        }
    };

    void* pop(Block* b) {
        ++b->used;
        return b->freeStack[--b->freeCount];
    }

    void linkHead(Block* b) {
        b->prev = nullptr;
        b->next = m_head;
        if (m_head)
            m_head->prev = b;
        m_head = b;
    }

    void unlink(Block* b) {
        if (b->prev)
            b->prev->next = b->next;
        else if (m_head == b)
            m_head = b->next;
        else
            return; // not in the list (a full block)
        if (b->next)
            b->next->prev = b->prev;
        b->prev = b->next = nullptr;
    }

    Block* findBlock(const void* p) {
        if (m_cache && m_cache->contains(p))
            return m_cache;
        auto it = m_set.upper_bound(reinterpret_cast<Block*>(const_cast<void*>(p)));
        ZEM_ASSERT(it != m_set.begin());
        --it;
        ZEM_ASSERT_MSG((*it)->contains(p),
                       L"((xuint)p >= (xuint)&m_heap[0]) && ((xuint)p < (xuint)&m_heap[chunk_size])");
        m_cache = *it;
        return *it;
    }

    CriticalSection m_lock;
    std::set<Block*> m_set; // every block, by address
    Block* m_cache = nullptr;
    int m_supply_depot = 0; // empty blocks kept
    Block* m_head = nullptr; // list of blocks that have free records
};

// A free list of equal-sized buffers, last in first out.
class MemoryPool {
public:
    MemoryPool(size_t blockSize, size_t preallocate = 0);
    ~MemoryPool();
    MemoryPool(const MemoryPool&) = delete;
    MemoryPool& operator=(const MemoryPool&) = delete;

    void* get();
    void release(void* block);
    size_t blockSize() const { return m_blockSize; }
    size_t allocatedCount() const { return m_allocated; }

private:
    size_t m_blockSize;
    size_t m_allocated = 0;     // guarded by m_lock
    std::vector<void*> m_free;  // guarded by m_lock
    CriticalSection m_lock{4000};
};

} // namespace zem
