#include "corvel/text/RegExCache.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using corvel::RegExCache;
using corvel::RegExPtr;

// The grammar compiler takes the patterns validation compiled: one text and options give
// one compiled pattern, other options another.
TEST(RegExCacheTest, OneTextAndOptionsCompileOnce) {
    RegExPtr first = RegExCache::get(L"\\bcache_test_a\\b", zem::REGEX_CAPTURE_GROUP);
    RegExPtr again = RegExCache::get(L"\\bcache_test_a\\b", zem::REGEX_CAPTURE_GROUP);
    RegExPtr ignoringCase = RegExCache::get(L"\\bcache_test_a\\b", zem::REGEX_CAPTURE_GROUP | zem::REGEX_IGNORE_CASE);
    ASSERT_TRUE(first->isCompiled());
    EXPECT_EQ(first, again);
    EXPECT_NE(first, ignoringCase);
    EXPECT_EQ(zem::REGEX_CAPTURE_GROUP | zem::REGEX_IGNORE_CASE, ignoringCase->options());
}

// A pattern the engine refuses keeps its error for every asker.
TEST(RegExCacheTest, APatternThatDoesNotCompileKeepsItsError) {
    RegExPtr broken = RegExCache::get(L"cache_test_(", zem::REGEX_CAPTURE_GROUP);
    zem::RegExError error;
    EXPECT_FALSE(broken->isCompiled());
    EXPECT_TRUE(RegExCache::get(L"cache_test_(", zem::REGEX_CAPTURE_GROUP)->getError(error));
}

// Pruning lets go of what only the cache holds, and keeps what a rule still uses.
TEST(RegExCacheTest, PruneKeepsOnlyPatternsInUse) {
    RegExPtr held = RegExCache::get(L"cache_test_held", zem::REGEX_CAPTURE_GROUP);
    std::weak_ptr<zem::RegEx> dropped = RegExCache::get(L"cache_test_dropped", zem::REGEX_CAPTURE_GROUP);
    EXPECT_FALSE(dropped.expired());
    RegExCache::prune();
    EXPECT_TRUE(dropped.expired());
    EXPECT_EQ(held, RegExCache::get(L"cache_test_held", zem::REGEX_CAPTURE_GROUP));
}

} // namespace
