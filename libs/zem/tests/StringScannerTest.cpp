#include "zem/text/StringScanner.h"

#include "zem/base/Exception.h"
#include "zem/text/MatchResults.h"

#include <gtest/gtest.h>

namespace {

using namespace zem;

TEST(StringScannerTest, LengthAndMovement) {
    StringScanner scanner(L"abc", 0);
    EXPECT_EQ(3, scanner.length());
    EXPECT_EQ(0, scanner.advance(10));
    EXPECT_EQ(3, scanner.position());
    EXPECT_EQ(0, scanner.previousPosition());
    EXPECT_TRUE(scanner.isEnd());
    EXPECT_EQ(3, scanner.advance(-10));
    EXPECT_EQ(0, scanner.position());

    StringScanner part(L"abc", 2);
    EXPECT_EQ(L'a', part.getChar());
    EXPECT_EQ(L'b', part.getChar());
    EXPECT_EQ(1, part.previousPosition());
    EXPECT_EQ(0, part.getChar()); // at the end nothing moves
    EXPECT_EQ(2, part.position());
    EXPECT_EQ(1, part.previousPosition());

    StringScanner none(nullptr);
    EXPECT_EQ(0, none.length());
    EXPECT_TRUE(none.isEnd());
    EXPECT_EQ(0, none.getChar());
}

TEST(StringScannerTest, LengthPastTheTextIsAnAssertion) {
    EXPECT_NO_THROW(StringScanner(L"abc", 3));
    EXPECT_THROW(StringScanner(L"abc", 4), AssertionViolationException);
    EXPECT_THROW(StringScanner(L"abc", -2), AssertionViolationException);
}

TEST(StringScannerTest, ScanMatchesAnchoredAndMovesPast) {
    RegExPtr word = RegEx::create(L"([a-z])([a-z]*)");
    RegExPtr digits = RegEx::create(L"[0-9]+");
    StringScanner scanner(L"abc123");
    EXPECT_FALSE(scanner.scan(digits)); // anchored: no search ahead
    EXPECT_EQ(0, scanner.position());
    EXPECT_EQ(L"", scanner.getGroup(0));

    ASSERT_TRUE(scanner.scan(word));
    EXPECT_TRUE(scanner.isMatched());
    EXPECT_EQ(3, scanner.position());
    EXPECT_EQ(0, scanner.previousPosition());
    EXPECT_EQ(L"abc", scanner.getGroup(0));
    EXPECT_EQ(L"a", scanner.getGroup(1));
    EXPECT_EQ(L"bc", scanner.getGroup(2));
    EXPECT_EQ(L"", scanner.getGroup(3));

    EXPECT_FALSE(scanner.scan(word));
    EXPECT_FALSE(scanner.isMatched());
    EXPECT_EQ(L"", scanner.getGroup(0)); // a failed scan forgets the groups
    EXPECT_TRUE(scanner.scan(digits));
    EXPECT_EQ(L"123", scanner.getGroup(0));
    EXPECT_TRUE(scanner.isEnd());
    EXPECT_FALSE(scanner.scan(digits));
}

TEST(StringScannerTest, ScanStopsAtTheGivenLength) {
    RegExPtr digits = RegEx::create(L"[0-9]+");
    StringScanner scanner(L"12345", 3);
    ASSERT_TRUE(scanner.scan(digits));
    EXPECT_EQ(L"123", scanner.getGroup(0));
}

TEST(StringScannerTest, MatchDataAndAssertions) {
    StringScanner scanner(L"x");
    EXPECT_THROW(scanner.scan(static_cast<const RegEx*>(nullptr)), AssertionViolationException);
    ASSERT_TRUE(scanner.scan(RegEx::create(L"x")));
    scanner.useMatchData(true);
    EXPECT_TRUE(scanner.isSimpleMatchData());
    EXPECT_FALSE(scanner.isMatched());
    EXPECT_EQ(0, scanner.matchData()->getCount());
    scanner.useMatchData(false);
    EXPECT_FALSE(scanner.isSimpleMatchData());
    EXPECT_EQ(0, scanner.matchData()->getCount());
    // A pattern that did not compile never matches.
    StringScanner other(L"(");
    EXPECT_FALSE(other.scan(RegEx::create(L"(")));
    EXPECT_EQ(0, other.position());
}

} // namespace
