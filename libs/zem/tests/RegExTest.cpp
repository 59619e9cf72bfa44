#include "zem/text/RegEx.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using zem::RegEx;
using zem::RegExPtr;

typedef std::vector<std::pair<int, int>> Groups;

std::wstring describe(const zem::MatchResults& r) {
    std::wstring out = L"{";
    for (int i = 0; i < r.getCount(); ++i) {
        if (i)
            out += L", ";
        out += L"(" + std::to_wstring(r.getBegin(i)) + L"," + std::to_wstring(r.getEnd(i)) + L")";
    }
    return out + L"}";
}

std::string narrow(const std::wstring& w) {
    std::string out;
    for (wchar_t c : w)
        out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

// Groups expected empty: no match at all.
::testing::AssertionResult matchesAs(const wchar_t* pattern, uint32_t options, const std::wstring& subject, int at,
                                     const Groups& expected) {
    RegExPtr re = RegEx::create(pattern, options);
    zem::RegExError error;
    if (re->getError(error))
        return ::testing::AssertionFailure() << narrow(pattern) << " did not compile: " << narrow(error.message);
    std::unique_ptr<zem::MatchResultsRegEx> r(
        RegEx::match(nullptr, re.get(), subject.data(), subject.data() + subject.size(), subject.data() + at));
    Groups actual;
    for (int i = 0; i < r->getCount(); ++i)
        actual.emplace_back(r->getBegin(i), r->getEnd(i));
    if (actual == expected && r->isMatched() == !expected.empty())
        return ::testing::AssertionSuccess();
    zem::MatchResultsSimple want;
    for (auto& g : expected)
        want.add(g.first, g.second);
    return ::testing::AssertionFailure() << narrow(pattern) << " on \"" << narrow(subject) << "\" at " << at
                                         << ": expected " << narrow(describe(want)) << ", got " << narrow(describe(*r));
}

TEST(RegExTest, AnchoredMatchTable) {
    const uint32_t CG = zem::REGEX_CAPTURE_GROUP;
    EXPECT_TRUE(matchesAs(L"abc", CG, L"abcd", 0, {{0, 3}}));
    EXPECT_TRUE(matchesAs(L"b", CG, L"ab", 0, {})); // anchored: no search forward
    EXPECT_TRUE(matchesAs(L"b", CG, L"ab", 1, {{1, 2}}));
    EXPECT_TRUE(matchesAs(L"(a)|(b)", CG, L"b", 0, {{0, 1}, {-1, -1}, {0, 1}}));
    EXPECT_TRUE(matchesAs(L"(\\d+)-(\\d+)", CG, L"x12-345", 1, {{1, 7}, {1, 3}, {4, 7}}));
    EXPECT_TRUE(matchesAs(L"(?<y>\\d{4})", CG, L"2024", 0, {{0, 4}, {0, 4}}));
    EXPECT_TRUE(matchesAs(L"ABC", CG | zem::REGEX_IGNORE_CASE, L"abc", 0, {{0, 3}}));
    EXPECT_TRUE(matchesAs(L"ABC", CG, L"abc", 0, {}));
    EXPECT_TRUE(matchesAs(L"a.b", CG, L"a\nb", 0, {}));
    EXPECT_TRUE(matchesAs(L"a.b", CG | zem::REGEX_MULTILINE, L"a\nb", 0, {{0, 3}}));
    EXPECT_TRUE(matchesAs(L"a b # note", CG | zem::REGEX_EXTENDED, L"ab", 0, {{0, 2}}));
    // Offsets count UTF-16 units: the emoji is two.
    EXPECT_TRUE(matchesAs(L"(.)(x)", CG, L"\xD83D\xDE00x", 0, {{0, 3}, {0, 2}, {2, 3}}));
    EXPECT_TRUE(matchesAs(L"\u00e9+", CG, L"\u00e9\u00e9z", 0, {{0, 2}}));
    EXPECT_TRUE(matchesAs(L"$", CG, L"ab", 2, {{2, 2}})); // at the very end
    EXPECT_TRUE(matchesAs(L"a*", CG, L"", 0, {{0, 0}}));  // empty subject
}

TEST(RegExTest, EmptyAndNullPatternsNeverMatch) {
    for (const wchar_t* pattern : {static_cast<const wchar_t*>(nullptr), L""}) {
        RegExPtr re = RegEx::create(pattern, zem::REGEX_CAPTURE_GROUP, 1);
        ASSERT_TRUE(re);
        zem::RegExError error;
        EXPECT_FALSE(re->getError(error));
        EXPECT_FALSE(re->isCompiled());
        EXPECT_EQ(1, re->globalFlag());
        std::wstring text = L"abc";
        std::unique_ptr<zem::MatchResultsRegEx> r(
            RegEx::match(nullptr, re.get(), text.data(), text.data() + 3, text.data()));
        EXPECT_FALSE(r->isMatched());
        EXPECT_EQ(0, r->getCount());
    }
}

struct BadPattern {
    const wchar_t* pattern;
    const wchar_t* message;
    int begin, end;
};

::testing::AssertionResult failsAs(const BadPattern& row) {
    RegExPtr re = RegEx::create(row.pattern);
    zem::RegExError error;
    if (!re->getError(error))
        return ::testing::AssertionFailure() << narrow(row.pattern) << " compiled";
    if (re->isCompiled() || error.code >= 0 || error.code != re->lastErrorCode() || error.message != row.message ||
        error.begin != row.begin || error.end != row.end)
        return ::testing::AssertionFailure()
               << narrow(row.pattern) << ": expected \"" << narrow(row.message) << "\" [" << row.begin << "," << row.end
               << "], got " << error.code << " \"" << narrow(error.message) << "\" [" << error.begin << "," << error.end
               << "]";
    return ::testing::AssertionSuccess();
}

TEST(RegExTest, BadPatternsReportTheEnginesError) {
    const BadPattern rows[] = {
        {L"(", L"end pattern with unmatched parenthesis", 0, 0},
        {L"a)", L"unmatched close parenthesis", 0, 0},
        {L"[a", L"premature end of char-class", 0, 0},
        {L"*", L"target of repeat operator is not specified", 0, 0},
        {L"[b-a]", L"empty range in char class", 0, 0},
        // The engine names the offending part; its offsets are in units of the pattern.
        {L"(?<n>a)\\k<mm>", L"undefined name <mm> reference", 10, 12},
    };
    for (const BadPattern& row : rows)
        EXPECT_TRUE(failsAs(row));
}

TEST(RegExTest, MatchWithFailedPatternNeverMatches) {
    RegExPtr re = RegEx::create(L"(a");
    std::wstring text = L"(a";
    std::unique_ptr<zem::MatchResultsRegEx> r(
        RegEx::match(nullptr, re.get(), text.data(), text.data() + 2, text.data()));
    EXPECT_FALSE(r->isMatched());
}

TEST(RegExTest, ReusedResultsAreClearedAndTheirCachesRefreshed) {
    RegExPtr re = RegEx::create(L"(a)|(b)");
    std::wstring a = L"a", b = L"b", c = L"c";
    std::unique_ptr<zem::MatchResultsRegEx> r(RegEx::match(nullptr, re.get(), a.data(), a.data() + 1, a.data()));
    EXPECT_EQ(1, r->getFirstMatchedGroup());
    EXPECT_EQ(2, r->countMatchedGroups());
    // Caught: a cached first group surviving the next match of the same results.
    EXPECT_EQ(r.get(), RegEx::match(r.get(), re.get(), b.data(), b.data() + 1, b.data()));
    EXPECT_EQ(2, r->getFirstMatchedGroup());
    EXPECT_EQ(2, r->countMatchedGroups());
    RegEx::match(r.get(), re.get(), c.data(), c.data() + 1, c.data());
    EXPECT_FALSE(r->isMatched());
    EXPECT_EQ(0, r->getFirstMatchedGroup());
    EXPECT_EQ(0, r->countMatchedGroups());
}

TEST(RegExTest, PositionsOutsideTheSubjectGiveNoMatch) {
    RegExPtr re = RegEx::create(L"x*");
    std::wstring text = L"xxxx";
    const wchar_t* s = text.data() + 1;
    const wchar_t* e = text.data() + 3;
    std::unique_ptr<zem::MatchResultsRegEx> r(RegEx::match(nullptr, re.get(), s, e, e));
    EXPECT_TRUE(r->isMatched()); // the end itself is inside
    RegEx::match(r.get(), re.get(), s, e, e + 1);
    EXPECT_FALSE(r->isMatched());
    RegEx::match(r.get(), re.get(), s, e, s - 1);
    EXPECT_FALSE(r->isMatched());
    RegEx::match(r.get(), re.get(), e, s, s); // reversed subject
    EXPECT_FALSE(r->isMatched());
    RegEx::search(r.get(), re.get(), s, e, s, e + 1);
    EXPECT_FALSE(r->isMatched());
    RegEx::match(r.get(), nullptr, s, e, s);
    EXPECT_FALSE(r->isMatched());
}

TEST(RegExTest, SearchForwardAndBackward) {
    RegExPtr re = RegEx::create(L"[a-z]+ing");
    std::wstring text = L"Singing and ringing";
    const wchar_t* s = text.data();
    const wchar_t* e = s + text.size();
    std::unique_ptr<zem::MatchResultsRegEx> r(RegEx::search(nullptr, re.get(), s, e, s, e));
    EXPECT_EQ(1, r->getBegin(0));
    EXPECT_EQ(7, r->getEnd(0));
    RegEx::search(r.get(), re.get(), s, e, s + 7, e);
    EXPECT_EQ(12, r->getBegin(0));
    RegEx::search(r.get(), re.get(), s, e, e, s); // backward: the last place a match starts
    EXPECT_EQ(15, r->getBegin(0));
    EXPECT_EQ(19, r->getEnd(0));
    RegEx::search(r.get(), re.get(), s, e, s + 16, e);
    EXPECT_FALSE(r->isMatched());
}

TEST(RegExTest, EngineErrorDuringMatchIsRecorded) {
    // Nested unbounded repeats on a long run without the final "b" exceed the engine's retry limit.
    RegExPtr re = RegEx::create(L"(?:a|aa)*(?:a|aa)*c");
    ASSERT_TRUE(re->isCompiled());
    std::wstring text(5000, L'a');
    std::unique_ptr<zem::MatchResultsRegEx> r(
        RegEx::match(nullptr, re.get(), text.data(), text.data() + text.size(), text.data()));
    EXPECT_FALSE(r->isMatched());
    EXPECT_EQ(0, r->getCount());
    zem::RegExError error;
    ASSERT_TRUE(re->getError(error));
    EXPECT_LT(error.code, -1);
    EXPECT_FALSE(error.message.empty());
}

struct HexRow {
    const wchar_t* in;
    const wchar_t* out;
    bool rewritten;
};

::testing::AssertionResult rewritesAs(const HexRow& row) {
    std::wstring out = L"junk";
    bool rewritten = RegEx::rewriteHexEscapes(row.in, out);
    if (out == row.out && rewritten == row.rewritten)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << narrow(row.in) << "\": expected \"" << narrow(row.out) << "\" "
                                         << row.rewritten << ", got \"" << narrow(out) << "\" " << rewritten;
}

TEST(RegExTest, HexEscapeRewriteTable) {
    const HexRow rows[] = {
        {L"a\\x41b", L"a\\x41\\x00b", true},
        {L"\\x41\\x42", L"\\x41\\x00\\x42\\x00", true},
        {L"\\x4f", L"\\x4f\\x00", true}, // exactly four units
        {L"abc", L"abc", false},
        {L"\\x4", L"\\x4", false}, // shorter than four units
        {L"ab\\x4", L"ab\\x4", false},
        {L"\\X41", L"\\X41", false},
        {L"\\x4g", L"\\x4g", false},
        {L"\\x{41}", L"\\x{41}", false},
        // Caught: the second backslash of an escaped backslash starting a rewrite.
        {L"\\\\x41", L"\\\\x41", false},
        {L"\\\\\\x41", L"\\\\\\x41\\x00", true},
        {L"[\\x41-\\x5A]", L"[\\x41\\x00-\\x5A\\x00]", true},
        {L"abc\\", L"abc\\", false}, // a lone backslash at the end
    };
    for (const HexRow& row : rows)
        EXPECT_TRUE(rewritesAs(row));
}

TEST(RegExTest, RewrittenHexEscapesMatchTheirCharacters) {
    std::wstring pattern;
    ASSERT_TRUE(RegEx::rewriteHexEscapes(L"a\\x41b[\\x41-\\x43]+", pattern));
    EXPECT_TRUE(matchesAs(pattern.c_str(), zem::REGEX_CAPTURE_GROUP, L"aAbCBA", 0, {{0, 6}}));
    ASSERT_FALSE(RegEx::rewriteHexEscapes(L"\\\\x41", pattern));
    EXPECT_TRUE(matchesAs(pattern.c_str(), zem::REGEX_CAPTURE_GROUP, L"\\x41", 0, {{0, 4}}));
}

// Random pattern texts from the characters patterns are built of: compiling, matching and
// searching must neither crash nor hang, and every reported group must lie in the subject.
TEST(RegExTest, RandomPatternsNeverCrash) {
    const wchar_t alphabet[] = L"ab()[]{}|*+?.^$\\-,:<>=!#&~0123456789xkpPdwsBbAzZgG\xD83D\xDE00\xD800\xDC00";
    const size_t alphabetSize = sizeof(alphabet) / sizeof(alphabet[0]) - 1;
    std::mt19937 rng(20240611u);
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    std::unique_ptr<zem::MatchResultsRegEx> r = zem::createMatchResultsRegEx();
    int compiled = 0;
    for (int round = 0; round < 20000; ++round) {
        std::wstring pattern;
        size_t length = 1 + pick(24);
        for (size_t i = 0; i < length; ++i)
            pattern += alphabet[pick(alphabetSize)];
        std::wstring subject;
        size_t subjectLength = pick(40);
        for (size_t i = 0; i < subjectLength; ++i)
            subject += alphabet[pick(alphabetSize)];
        std::wstring rewritten;
        RegEx::rewriteHexEscapes(pattern, rewritten);
        RegExPtr re = RegEx::create(rewritten, zem::REGEX_CAPTURE_GROUP | static_cast<uint32_t>(pick(8)));
        zem::RegExError error;
        bool failed = re->getError(error);
        ASSERT_EQ(failed, !re->isCompiled()) << narrow(pattern);
        if (failed) {
            ASSERT_FALSE(error.message.empty()) << narrow(pattern);
            ASSERT_TRUE(error.begin >= 0 && error.begin <= error.end && error.end <= static_cast<int>(rewritten.size()))
                << narrow(pattern);
            continue;
        }
        ++compiled;
        const wchar_t* s = subject.data();
        const wchar_t* e = s + subject.size();
        for (int pass = 0; pass < 2; ++pass) {
            size_t at = pick(subject.size() + 1);
            if (pass == 0)
                RegEx::match(r.get(), re.get(), s, e, s + at);
            else
                RegEx::search(r.get(), re.get(), s, e, s + at, e);
            for (int g = 0; g < r->getCount(); ++g) {
                if (!r->isGroupMatched(g))
                    continue;
                ASSERT_TRUE(r->getBegin(g) <= static_cast<int>(subject.size()) &&
                            r->getEnd(g) <= static_cast<int>(subject.size()) && r->getEnd(g) >= 0)
                    << narrow(pattern) << " group " << g;
            }
            zem::MatchGroupTexts texts;
            if (r->isMatched())
                r->getGroupTexts(s, static_cast<int>(subject.size()), texts);
        }
    }
    EXPECT_GT(compiled, 100); // the table must exercise matching too, not only errors
}

} // namespace
