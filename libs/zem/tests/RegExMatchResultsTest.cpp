#include "zem/base/Exception.h"
#include "zem/text/MatchResults.h"
#include "zem/text/RegEx.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// The base as a reader with two fixed groups, for the base's own operations.
class FixedResults : public zem::MatchResults {
public:
    void clear() override {}
    int getCount() const override { return 2; }
    int getBegin(int i) const override { return i == 0 ? 5 : (i == 1 ? 4 : -1); }
    int getEnd(int i) const override { return i == 0 ? 2 : (i == 1 ? 6 : -1); }
};

TEST(MatchResultsTest, BaseRefusesWritesWithItsTexts) {
    FixedResults r;
    try {
        r.set(0, 1, 2);
        FAIL() << "set did not throw";
    } catch (zem::IllegalStateException& e) {
        EXPECT_EQ(L"MatchResults::set method not supported.", e.message());
    }
    try {
        r.add(1, 2);
        FAIL() << "add did not throw";
    } catch (zem::IllegalStateException& e) {
        EXPECT_EQ(L"MatchResults::add method not supported.", e.message());
    }
}

TEST(MatchResultsTest, LengthIsNeverNegative) {
    FixedResults r;
    EXPECT_EQ(3, r.getLength(0)); // end before begin
    EXPECT_EQ(2, r.getLength(1));
    EXPECT_EQ(0, r.getLength(7));
}

TEST(MatchResultsTest, SimpleSetGrowsWithUnmatchedGroups) {
    zem::MatchResultsSimple r;
    r.set(3, 5, 7);
    EXPECT_EQ(4, r.getCount());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(-1, r.getBegin(i));
        EXPECT_EQ(-1, r.getEnd(i));
        EXPECT_FALSE(r.isGroupMatched(i));
    }
    EXPECT_EQ(5, r.getBegin(3));
    EXPECT_EQ(7, r.getEnd(3));
    EXPECT_FALSE(r.isMatched());
    EXPECT_EQ(1, r.countMatchedGroups());
    EXPECT_EQ(3, r.getFirstMatchedGroup());
    EXPECT_EQ(-1, r.getBegin(4));
    EXPECT_EQ(-1, r.getBegin(-1));
    r.set(-2, 1, 1); // ignored
    EXPECT_EQ(4, r.getCount());
    r.add(8, 9);
    EXPECT_EQ(5, r.getCount());
    EXPECT_EQ(8, r.getBegin(4));
    r.clear();
    EXPECT_EQ(0, r.getCount());
    EXPECT_EQ(0, r.countMatchedGroups());
    EXPECT_EQ(0, r.getFirstMatchedGroup());
}

TEST(MatchResultsTest, FirstMatchedGroupNeedsMoreThanGroupZero) {
    zem::MatchResultsSimple r;
    r.add(0, 3);
    EXPECT_EQ(0, r.getFirstMatchedGroup());
    r.add(-1, -1);
    r.add(1, 2);
    EXPECT_EQ(2, r.getFirstMatchedGroup());
}

TEST(MatchResultsTest, GroupTextsOfMatchedGroups) {
    zem::MatchResultsSimple r;
    r.add(1, 5);
    r.add(-1, -1);
    r.add(2, 4);
    std::wstring text = L"xabcdy";
    zem::MatchGroupTexts texts{{9, L"stale"}};
    EXPECT_EQ(3, r.getGroupTexts(text.data(), 6, texts));
    EXPECT_EQ((zem::MatchGroupTexts{{0, L"abcd"}, {2, L"bc"}}), texts);
}

TEST(MatchResultsTest, GroupTextsNeverReadPastTheText) {
    zem::MatchResultsSimple tooLong;
    tooLong.add(0, 7);
    zem::MatchGroupTexts texts;
    EXPECT_THROW(tooLong.getGroupTexts(L"abc", 3, texts), zem::AssertionViolationException);
    // Caught: a group that fits by length but starts near the end of the text.
    zem::MatchResultsSimple lateStart;
    lateStart.add(2, 4);
    EXPECT_THROW(lateStart.getGroupTexts(L"abc", 3, texts), zem::AssertionViolationException);
    zem::MatchResultsSimple exact;
    exact.add(1, 3);
    EXPECT_EQ(1, exact.getGroupTexts(L"abc", 3, texts));
    EXPECT_EQ(L"bc", texts[0]);
}

TEST(MatchResultsTest, RegExResultsSetAndAdd) {
    std::unique_ptr<zem::MatchResultsRegEx> r = zem::createMatchResultsRegEx();
    EXPECT_EQ(0, r->getCount());
    r->set(2, 4, 6); // on results that never matched: the region grows
    EXPECT_EQ(3, r->getCount());
    EXPECT_EQ(-1, r->getBegin(0));
    EXPECT_EQ(-1, r->getEnd(1));
    EXPECT_EQ(4, r->getBegin(2));
    EXPECT_EQ(6, r->getEnd(2));
    EXPECT_EQ(1, r->countMatchedGroups());
    r->add(7, 9);
    EXPECT_EQ(4, r->getCount());
    EXPECT_EQ(7, r->getBegin(3));
    // Caught: the matched-group count cached before a write.
    EXPECT_EQ(2, r->countMatchedGroups());
    r->set(0, 0, 9);
    EXPECT_TRUE(r->isMatched());
    EXPECT_EQ(3, r->countMatchedGroups());
    r->set(-1, 0, 0); // ignored
    EXPECT_EQ(4, r->getCount());
    r->set(40, 1, 2); // past the allocated entries
    EXPECT_EQ(41, r->getCount());
    EXPECT_EQ(-1, r->getBegin(39));
    EXPECT_EQ(1, r->getBegin(40));
    r->clear();
    EXPECT_EQ(0, r->getCount());
    EXPECT_FALSE(r->isMatched());
    // Within the allocated entries but past the count: the count grows to cover it.
    r->set(5, 2, 3);
    EXPECT_EQ(6, r->getCount());
    EXPECT_EQ(-1, r->getBegin(4));
    EXPECT_EQ(5, r->getFirstMatchedGroup());
}

} // namespace
