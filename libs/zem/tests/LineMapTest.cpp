#include "zem/text/LineMap.h"

#include "zem/base/Exception.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct PositionCase {
    uint32_t offset;
    uint32_t line;
    uint32_t column;
};

::testing::AssertionResult mapsTo(zem::LineMap& map, const PositionCase& c) {
    const zem::LinePosition p = map.getPosition(c.offset);
    if (p.line == c.line && p.column == c.column && p.offset == c.offset)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "offset " << c.offset << " gave (" << p.line << ", " << p.column << ", "
                                         << p.offset << "), expected (" << c.line << ", " << c.column << ")";
}

TEST(LineMapTest, CrLfPairIsOneBreakAndItsMiddleStaysOnTheLine) {
    const std::wstring text = L"a\r\nb";
    zem::LineMap map(text.data(), text.size());
    const PositionCase cases[] = {{0, 0, 0}, {1, 0, 1}, {2, 0, 2}, {3, 1, 0}, {4, 1, 1}};
    for (const PositionCase& c : cases)
        EXPECT_TRUE(mapsTo(map, c));
}

TEST(LineMapTest, LoneCrAndLfAndEmptyLines) {
    const std::wstring text = L"ab\rc\n\n\r\rd\n";
    zem::LineMap map(text.data(), text.size());
    const PositionCase cases[] = {
        {2, 0, 2}, {3, 1, 0}, {4, 1, 1}, {5, 2, 0}, {6, 3, 0}, {7, 4, 0}, {8, 5, 0}, {9, 5, 1}, {10, 6, 0},
    };
    for (const PositionCase& c : cases)
        EXPECT_TRUE(mapsTo(map, c));
}

// The scan is lazy: asking backwards after a far offset, and forwards again after a near
// one, must answer the same as a fresh map.
TEST(LineMapTest, AnswersDoNotDependOnTheOrderOfQuestions) {
    std::wstring text;
    for (int i = 0; i < 200; ++i)
        text += (i % 3 == 0) ? L"line\r\n" : (i % 3 == 1 ? L"x\n" : L"yy\r");
    zem::LineMap lazy(text.data(), text.size());
    const uint32_t order[] = {5, 400, 3, 401, 0, static_cast<uint32_t>(text.size()), 17, 18, 19};
    for (uint32_t offset : order) {
        zem::LineMap fresh(text.data(), text.size());
        const zem::LinePosition expected = fresh.getPosition(offset);
        const zem::LinePosition actual = lazy.getPosition(offset);
        EXPECT_EQ(expected.line, actual.line) << offset;
        EXPECT_EQ(expected.column, actual.column) << offset;
    }
}

TEST(LineMapTest, EndOfTextAndPastIt) {
    const std::wstring noBreak = L"abc";
    zem::LineMap a(noBreak.data(), noBreak.size());
    EXPECT_TRUE(mapsTo(a, {3, 0, 3}));
    EXPECT_THROW(a.getPosition(4), zem::AssertionViolationException);

    const std::wstring trailing = L"abc\n";
    zem::LineMap b(trailing.data(), trailing.size());
    EXPECT_TRUE(mapsTo(b, {4, 1, 0}));

    zem::LineMap empty(L"", 0);
    EXPECT_TRUE(mapsTo(empty, {0, 0, 0}));
}

} // namespace
