#include "corvel/document/DocumentScopeStore.h"

#include <gtest/gtest.h>

namespace {

TEST(DocumentScopeStoreTest, InternsByRuleAndParent) {
    corvel::DocumentScopeStore store(nullptr);
    store.createRoot(4, L"source.x");
    corvel::DocumentScope* a = store.intern(7, 0, L"string");
    EXPECT_EQ(a, store.intern(7, 0, L"other name")); // the name is not part of the key
    corvel::DocumentScope* b = store.intern(7, a->getIndex(), L"string");
    EXPECT_NE(a, b);
    EXPECT_EQ(2, b->getIndex());
    EXPECT_EQ(a, b->getParent());
    EXPECT_EQ(4, b->getRootId());
    EXPECT_EQ(L"string", a->getName());
    EXPECT_EQ(L"source.x string string", b->getPath().toString());
    EXPECT_EQ(1u, store.intern(10, 0, L"")->getPath().size()); // an empty name adds no atom
    corvel::DocumentScope* orphan = store.intern(8, 200, L"lost");
    EXPECT_EQ(nullptr, orphan->getParent());
    EXPECT_EQ(L"lost", orphan->getPath().toString());
    EXPECT_EQ(nullptr, store.getScope(static_cast<uint16_t>(store.size())));
    EXPECT_EQ(orphan, store.getScope(orphan->getIndex()));
}

TEST(DocumentScopeStoreTest, ReleasingThreeChunksFreesOneAndKeepsTwo) {
    corvel::DocumentScopeStore store(nullptr);
    store.createRoot(1, L"root");
    for (uint16_t rule = 2; rule <= 120; ++rule)
        store.intern(rule, 0, L"s");
    EXPECT_EQ(120u, store.size());
    EXPECT_EQ(3u, store.getPoolChunkCount());
    store.clear();
    EXPECT_EQ(0u, store.size());
    EXPECT_EQ(2u, store.getPoolChunkCount());
    EXPECT_EQ(2, store.getPoolSpareCount());
    store.createRoot(1, L"again");
    EXPECT_EQ(1u, store.size());
    EXPECT_EQ(1, store.getPoolSpareCount());
}

} // namespace
