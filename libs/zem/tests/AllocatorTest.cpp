#include "zem/base/Allocator.h"
#include "zem/base/Exception.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

typedef zem::TAllocator<28, 512, 2> LogRecordAllocator;

TEST(AllocatorTest, BlocksGrowAndEmptyOnesStayUpToTheDepot) {
    LogRecordAllocator allocator;
    std::vector<void*> records;
    for (int i = 0; i < 513; ++i)
        records.push_back(allocator.allocate());
    EXPECT_EQ(2u, allocator.blockCount());
    for (void* r : records)
        allocator.free(r);
    EXPECT_EQ(2u, allocator.blockCount());
    EXPECT_EQ(2, allocator.supplyDepot());

    // A third block that empties while two are kept is given back.
    records.clear();
    for (int i = 0; i < 3 * 512; ++i)
        records.push_back(allocator.allocate());
    EXPECT_EQ(3u, allocator.blockCount());
    EXPECT_EQ(0, allocator.supplyDepot());
    for (void* r : records)
        allocator.free(r);
    EXPECT_EQ(2u, allocator.blockCount());
}

TEST(AllocatorTest, RecordsAreDistinctAndReused) {
    zem::TAllocator<16, 4, 1> allocator;
    void* a = allocator.allocate();
    void* b = allocator.allocate();
    EXPECT_NE(a, b);
    allocator.free(b);
    EXPECT_EQ(b, allocator.allocate());
    allocator.free(a);
    allocator.free(b);
}

TEST(AllocatorTest, ForeignAddressIsAnAssertion) {
    zem::TAllocator<16, 4, 1> allocator;
    void* kept = allocator.allocate();
    char below[16];
    static char above[16];
    int stackAndStatic = 0;
    for (void* foreign : {static_cast<void*>(below), static_cast<void*>(above)}) {
        try {
            allocator.free(foreign);
        } catch (zem::AssertionViolationException&) {
            ++stackAndStatic;
        }
    }
    EXPECT_EQ(2, stackAndStatic);
    allocator.free(kept);
}

TEST(MemoryPoolTest, LastReleasedIsFirstTaken) {
    zem::MemoryPool pool(4096, 16);
    EXPECT_EQ(16u, pool.allocatedCount());
    void* a = pool.get();
    void* b = pool.get();
    pool.release(a);
    EXPECT_EQ(a, pool.get());
    pool.release(a);
    pool.release(b);
    EXPECT_EQ(16u, pool.allocatedCount());
}

} // namespace
