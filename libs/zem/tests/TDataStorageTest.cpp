#include "zem/base/TDataStorage.h"

#include "zem/base/Exception.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(TDataStorageTest, CopiesStayAlignedAndApart) {
    zem::TDataStorage<wchar_t> storage;
    wchar_t* a = storage.allocate(3);
    wchar_t* b = storage.allocate(1);
    wchar_t* c = storage.allocate(2);
    EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(a) % 4);
    EXPECT_EQ(a + 4, b);
    EXPECT_EQ(b + 2, c);
    EXPECT_EQ(1u, storage.blockCount());
}

TEST(TDataStorageTest, BlockBoundaries) {
    zem::TDataStorage<wchar_t> storage;
    // Exactly one block's worth fits; the next unit starts a second block.
    wchar_t* whole = storage.allocate(4096);
    whole[4095] = L'x';
    EXPECT_EQ(1u, storage.blockCount());
    storage.allocate(1);
    EXPECT_EQ(2u, storage.blockCount());
    // A request larger than a block gets a block of its own with room to spare.
    wchar_t* big = storage.allocate(5000);
    big[4999] = L'y';
    EXPECT_EQ(3u, storage.blockCount());
    storage.allocate(4000);
    EXPECT_EQ(3u, storage.blockCount());
    storage.clear();
    EXPECT_EQ(0u, storage.blockCount());
}

TEST(TDataStorageTest, ZeroUnitsIsAnAssertion) {
    zem::TDataStorage<wchar_t> storage;
    EXPECT_THROW(storage.allocate(0), zem::Exception);
}

} // namespace
