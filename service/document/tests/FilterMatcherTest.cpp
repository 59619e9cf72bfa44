#include "corvel/document/FilterMatcher.h"

#include "corvel/document/SimpleFilterData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

uint32_t score(uint32_t gap, uint32_t sum) {
    return (gap << 16) | sum;
}

struct MatchCase {
    const wchar_t* filter;
    const wchar_t* candidate;
    bool anchored;
    bool passes;
    uint32_t score;
};

::testing::AssertionResult matchesAs(const MatchCase& c) {
    corvel::FilterMatcher matcher(c.filter);
    matcher.setFlags(c.anchored ? uint32_t(corvel::FilterMatcher::ANCHORED) : 0u);
    std::wstring candidate = c.candidate;
    uint32_t actual = 0xDEAD;
    bool passed = matcher.match(candidate.c_str(), candidate.size(), actual);
    if (passed != c.passes || actual != (c.passes ? c.score : 0))
        return ::testing::AssertionFailure() << "\"" << narrow(c.filter) << "\" on \"" << narrow(candidate) << "\""
                                             << (c.anchored ? " anchored" : "") << ": " << (passed ? "passes" : "fails")
                                             << " with gap " << (actual >> 16) << ", sum " << (actual & 0xFFFF);
    return ::testing::AssertionSuccess();
}

TEST(FilterMatcherTest, MatchesAndScores) {
    const MatchCase cases[] = {
        {L"ab", L"xaxb", true, true, score(0, 2)},
        {L"ab", L"ab", true, true, 0},
        {L"ba", L"ab", true, false, 0},
        {L"ABC", L"AxBxC", true, true, score(0, 2)},
        {L"abc", L"AXBXC", true, true, score(0, 2)},
        {L"foo", L"foo/bar.txt", true, false, 0},
        {L"foo", L"foo/bar.txt", false, true, score(1, 0)},
        {L"bar", L"foo/bar.txt", true, true, score(1, 4)},
        {L"bar", L"/foo/bar.txt", true, true, score(2, 4)},
        {L"bar", L"bar.txt", true, true, score(0, 4)},
        // "src/": any file name, "src" in an earlier folder.
        {L"src/", L"src/main.cpp", true, true, score(0, 8)},
        {L"src/", L"lib/src/doc/x.h", true, true, score(1 + 1, 3)},
        {L"src/", L"main.cpp", true, false, 0},
        {L"src/doc/ctl", L"src/doc/ctl.cpp", true, true, score(0, 4)},
        {L"src/doc/ctl", L"root/src/x/doc/y/control.cpp", true, true, score(1 + 1 + 1, 8)},
        {L"src doc", L"src\\doc", true, true, 0},
        {L"s d", L"a:src?doc", true, true, score(1, 2 + 2)},
        {L"s d", L"a:src?doc*", true, false, 0},
        {L"s d", L"a:src?doc*", false, true, score(1 + 1, 2 + 2)},
        {L"", L"anything", true, false, 0},
        {L"x", L"", true, false, 0},
        {L" ", L"", true, true, 0},
        {L"a", L"b/a/c", false, true, score(1 + 1, 0)},
        {L"a", L"b/c", false, false, 0},
    };
    for (const MatchCase& c : cases)
        EXPECT_TRUE(matchesAs(c));
}

TEST(FilterMatcherTest, SplitsFromTheEnd) {
    const struct {
        const wchar_t* filter;
        std::vector<std::wstring> words;
    } cases[] = {
        {L"", {}},      {L"src/", {L"", L"src"}},        {L"a  b//c", {L"c", L"b", L"a"}}, {L"/lead", {L"lead"}},
        {L"//", {L""}}, {L"Src\\DOC", {L"doc", L"src"}},
    };
    for (const auto& c : cases) {
        corvel::FilterMatcher matcher(L"old");
        EXPECT_EQ(!c.words.empty(), matcher.setFilter(c.filter)) << narrow(c.filter);
        std::vector<std::wstring> words;
        for (const corvel::FilterMatcher::Part& w : matcher.words())
            words.emplace_back(w.text, w.length);
        EXPECT_EQ(c.words, words) << narrow(c.filter);
    }
}

TEST(FilterMatcherTest, PartsAreSegmentsWithoutAnchoring) {
    corvel::FilterMatcher matcher(L"doc/ctl");
    std::vector<corvel::FilterMatcher::Part> parts = {{L"src", 3}, {L"doc", 3}, {L"x", 1}, {L"ctl", 3}};
    uint32_t s = 0;
    ASSERT_TRUE(matcher.matchParts(parts, s));
    EXPECT_EQ(score(1 + 1, 0), s);
    corvel::FilterMatcher first(L"src");
    ASSERT_TRUE(first.matchParts(parts, s));
    EXPECT_EQ(score(3, 0), s);
    corvel::FilterMatcher none(L"zz");
    EXPECT_FALSE(none.matchParts(parts, s));
    EXPECT_EQ(0u, s);
}

TEST(FilterMatcherTest, HugeTextsSaturateTheirFields) {
    std::wstring candidate(70000, L'x');
    candidate += L"/a";
    corvel::FilterMatcher matcher(L"x");
    matcher.setFlags(0);
    uint32_t s = 0;
    ASSERT_TRUE(matcher.match(candidate.c_str(), candidate.size(), s));
    EXPECT_EQ(score(1, 0xFFFF), s);

    std::wstring manySegments;
    for (int i = 0; i < 70000; ++i)
        manySegments += L"a/";
    manySegments += L"b";
    corvel::FilterMatcher b(L"b");
    ASSERT_TRUE(b.match(manySegments.c_str(), manySegments.size(), s));
    EXPECT_EQ(score(0xFFFF, 0), s);

    std::wstring longFilter(70000, L'q');
    corvel::FilterMatcher q(longFilter.c_str());
    ASSERT_TRUE(q.match(longFilter.c_str(), longFilter.size(), s));
    EXPECT_EQ(0u, s);
}

TEST(FilterMatcherTest, ACopyKeepsItsOwnWords) {
    corvel::FilterMatcher original(L"abc/def");
    corvel::FilterMatcher copy(original);
    original.setFilter(L"zzz");
    ASSERT_EQ(2u, copy.words().size());
    EXPECT_EQ(L"def", std::wstring(copy.words()[0].text, copy.words()[0].length));
}

TEST(SimpleFilterDataTest, RowsCursorAndComparisons) {
    corvel::SimpleFilterData data;
    EXPECT_EQ(nullptr, data.first());
    auto* b = data.addItem(L"beta", L"second b", 7);
    auto* a = data.addItem(L"alpha", L"second a", -1);
    auto* c = data.addItem(L"alphabet", L"", 9);
    EXPECT_EQ(3u, data.getCount());
    EXPECT_EQ(1, data.getColumnCount());
    EXPECT_EQ(std::vector<std::wstring>{L"Snippets"}, data.getColumns().titles);
    EXPECT_EQ(std::vector<int>{100}, data.getColumns().widths);
    std::vector<void*> seen;
    for (void* row = data.first(); row; row = data.next())
        seen.push_back(row);
    EXPECT_EQ((std::vector<void*>{b, a, c}), seen);
    EXPECT_EQ(nullptr, data.next());
    size_t length = 0;
    EXPECT_EQ(std::wstring(L"beta"), data.getItemText(b, 3, length));
    EXPECT_EQ(4u, length);
    EXPECT_EQ(std::wstring(L"second a"), data.getItemSecondText(a));
    EXPECT_EQ(7, data.getItemTag(b));

    data.setItemMatch(a, 5, 1);
    data.setItemMatch(b, 5, 2);
    data.setItemMatch(c, 3, 3);
    EXPECT_EQ(0, data.compareItems(a, b, false));
    EXPECT_GT(0, data.compareItems(c, a, false));
    EXPECT_LT(0, data.compareItems(b, c, false));
    EXPECT_GT(0, data.compareItems(a, c, true));
    EXPECT_LT(0, data.compareItems(b, a, true));
    // Equal scores keep list order through a stable sort.
    std::vector<void*> rows = {b, a, c};
    std::stable_sort(rows.begin(), rows.end(), [&](void* x, void* y) { return data.compareItems(x, y, false) < 0; });
    EXPECT_EQ((std::vector<void*>{c, b, a}), rows);
}

} // namespace
