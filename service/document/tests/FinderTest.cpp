#include "corvel/document/Document.h"
#include "corvel/document/FinderBoyerMoore.h"
#include "corvel/document/FinderRegEx.h"
#include "corvel/document/Replacer.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

namespace {

using corvel::Document;

std::string narrow(const std::wstring& w) {
    std::string out;
    for (wchar_t c : w)
        out += c == L'\n' ? std::string("\\n") : std::string(1, c < 128 ? static_cast<char>(c) : '?');
    return out;
}

// A document holding text with its gap at split, so searches cross the gap.
std::unique_ptr<Document> documentOf(const std::wstring& text, size_t split) {
    std::unique_ptr<Document> document(new Document(nullptr));
    document->lockEdit();
    document->beginEdit(nullptr, true);
    split = std::min(split, text.size());
    document->insertText(0, static_cast<int32_t>(text.size() - split), text.data() + split, 0);
    document->insertText(0, static_cast<int32_t>(split), text.data(), 0);
    document->endEdit();
    document->unlockEdit();
    return document;
}

std::string describe(const zem::MatchResults& r) {
    if (!r.isMatched())
        return "none";
    std::string out;
    for (int i = 0; i < r.getCount(); ++i)
        out += (i ? " " : "") + std::to_string(r.getBegin(i)) + "-" + std::to_string(r.getEnd(i));
    return out;
}

struct Search {
    const wchar_t* text;
    const wchar_t* pattern;
    bool regex;
    bool ignoreCase;
    bool wholeWord;
    int32_t lower;
    int32_t upper; // -1: the text's end
    bool backward;
    const char* expected;
};

::testing::AssertionResult findsAs(const Search& s) {
    std::wstring text = s.text;
    for (size_t split : {size_t(0), text.size() / 2, text.size()}) {
        std::unique_ptr<Document> document = documentOf(text, split);
        std::unique_ptr<corvel::Finder> finder;
        if (s.regex)
            finder.reset(new corvel::FinderRegEx(s.pattern, s.ignoreCase));
        else
            finder.reset(new corvel::FinderBoyerMoore(s.pattern, s.ignoreCase, s.wholeWord));
        int32_t upper = s.upper < 0 ? document->getLength() : s.upper;
        std::string actual = describe(finder->find(*document, s.lower, upper, s.backward));
        if (actual != s.expected)
            return ::testing::AssertionFailure() << narrow(s.pattern) << " in \"" << narrow(text) << "\" (gap at "
                                                 << split << ") found " << actual << ", expected " << s.expected;
    }
    return ::testing::AssertionSuccess();
}

TEST(FinderTest, LiteralSearchesBothWays) {
    const Search cases[] = {
        {L"xxabcxx", L"abc", false, false, false, 0, -1, false, "2-5"},
        {L"xxabcxx", L"abc", false, false, false, 0, -1, true, "2-5"},
        {L"xxabcxx", L"abc", false, false, false, 3, -1, false, "none"},
        {L"xxabcxx", L"abc", false, false, false, 0, 4, true, "none"},
        {L"abcabc", L"abc", false, false, false, 0, -1, true, "3-6"},
        {L"abcabc", L"abc", false, false, false, 1, -1, false, "3-6"},
        {L"xaBcx", L"ABC", false, true, false, 0, -1, false, "1-4"},
        {L"xaBcx", L"ABC", false, false, false, 0, -1, false, "none"},
        {L"cabd ab", L"ab", false, false, true, 0, -1, false, "5-7"},
        {L"ab cabd", L"ab", false, false, true, 0, -1, true, "0-2"},
        {L"cabd", L"ab", false, false, true, 1, 3, false, "none"},
        {L"ab", L"abc", false, false, false, 0, -1, false, "none"},
        {L"ab", L"abc", false, false, false, 0, -1, true, "none"},
        {L"x\x0141y Ay", L"Ay", false, false, false, 0, -1, false, "4-6"},
        {L"aaaa", L"aa", false, false, false, 0, -1, true, "2-4"},
        {L"", L"a", false, false, false, 0, 0, false, "none"},
        {L"abababc", L"ababc", false, false, false, 0, -1, false, "2-7"},
    };
    for (const Search& s : cases)
        EXPECT_TRUE(findsAs(s));
}

TEST(FinderTest, RegExSearchesBothWays) {
    const Search cases[] = {
        {L"one two three", L"t(w|h)", true, false, false, 0, -1, false, "4-6 5-6"},
        {L"one two three", L"t(w|h)", true, false, false, 0, -1, true, "8-10 9-10"},
        {L"ab12cd34ef", L"[0-9]+", true, false, false, 0, 10, true, "7-8"},
        {L"ab12cd34ef", L"[a-z][0-9]+", true, false, false, 0, 10, true, "5-8"},
        {L"abc", L"a", true, false, false, 0, -1, true, "0-1"},
        {L"ABC", L"b", true, true, false, 0, -1, false, "1-2"},
        {L"a(b)?c", L"a(x)?", true, false, false, 0, -1, false, "0-1 -1--1"},
        {L"a\nb", L"^b", true, false, false, 1, -1, false, "2-3"},
        {L"ab", L"^b", true, false, false, 1, -1, false, "none"},
        {L"walking talks", L"[a-zA-Z]+ing", true, false, false, 0, -1, false, "0-7"},
        {L"walking talks", L"[a-zA-Z]+ing", true, false, false, 1, -1, false, "1-7"},
    };
    for (const Search& s : cases)
        EXPECT_TRUE(findsAs(s));
}

TEST(FinderTest, BadPatternsThrowTheEngineError) {
    EXPECT_THROW(corvel::FinderRegEx(L"(a", false), std::exception);
    // Found by fuzzing: ten thousand open groups overflowed the stack while compiling.
    const std::wstring hundred = std::wstring(100, L'(') + L"a" + std::wstring(100, L')');
    EXPECT_NO_THROW(corvel::FinderRegEx(hundred, false));
    EXPECT_NO_THROW(corvel::FinderRegEx(L"[(]" + hundred + L"\\(", false)) << "no groups in classes or escapes";
    EXPECT_THROW(corvel::FinderRegEx(L"(" + hundred + L")", false), std::exception);
    EXPECT_THROW(corvel::FinderRegEx(std::wstring(10000, L'('), false), std::exception);
    // Found by fuzzing: the engine's compile never ended on a quantifier inside a comment.
    EXPECT_THROW(corvel::FinderRegEx(L"x(?#*", false), std::exception);
}

TEST(FinderTest, CommentsMatchNothing) {
    const Search cases[] = {
        {L"ab x) abc", L"(?#(?<=\\()x(?=\\))", true, false, false, 0, -1, false, "3-4"},
        {L"ab abc", L"(?#*+?)abc", true, false, false, 0, -1, false, "3-6"},
        {L"ab abc", L"a(?#b\\)c)bc", true, false, false, 0, -1, false, "3-6"},
        {L"ab a(?#c)", L"[(?#]+c", true, false, false, 0, -1, false, "4-8"},
        {L"abc xyz", L"(?#abc)xyz", true, false, false, 0, -1, false, "4-7"},
    };
    for (const Search& s : cases)
        EXPECT_TRUE(findsAs(s));
}

// Found by fuzzing: twelve nested repeats overflowed the stack while searching. Each
// search is bounded in steps and stack and finds nothing past its bound, as it finds
// nothing when the engine refuses to run the pattern; a search within it is untouched.
TEST(FinderTest, ASearchPastItsBoundsOrRefusedFindsNothing) {
    std::wstring nested;
    for (int i = 0; i < 16; ++i)
        nested = L"(" + (nested.empty() ? std::wstring(L"a") : nested) + L")*";
    std::wstring text;
    for (int i = 0; i < 50; ++i)
        text += L"alpha beta gamma ";
    const struct {
        std::wstring pattern;
        std::wstring text;
        const char* forward;
        const char* backward; // null: not searched backward, each start being a bounded try
    } rows[] = {
        {nested + L"x", text, "none", "none"},
        {L"(a|aa)*(a|aa)*(a|aa)*(a|aa)*c", std::wstring(3000, L'a'), "none", nullptr},
        {L"(.)*", std::wstring(100000, L'q'), "none", nullptr},
        {L"(.)*", std::wstring(300, L'q'), "0-300 299-300", "300-300 -1--1"},
        {L"(a|aa)*c", std::wstring(40, L'a') + L"c", "0-41 39-40", "40-41 -1--1"},
        // Found by fuzzing: the engine refused this one only when it ran it, with an
        // exception that left the find.
        {L"(?$0i)beta|gamm\\0\\n", text, "none", "none"},
    };
    for (const auto& row : rows) {
        std::unique_ptr<Document> document = documentOf(row.text, row.text.size() / 2);
        corvel::FinderRegEx finder(row.pattern, false);
        EXPECT_EQ(row.forward, describe(finder.find(*document, 0, document->getLength(), false)))
            << narrow(row.pattern.substr(0, 40));
        if (row.backward) {
            EXPECT_EQ(row.backward, describe(finder.find(*document, 0, document->getLength(), true)))
                << narrow(row.pattern.substr(0, 40)) << " backward";
        }
    }
}

// Boyer-Moore against a plain scan, and the regex prefilter against the engine alone, over
// random texts of a small alphabet.
TEST(FinderTest, AgreesWithPlainSearchesOnRandomTexts) {
    std::mt19937 random(1234);
    const wchar_t alphabet[] = L"abAB ng.\n";
    const wchar_t* const patterns[] = {L"[a-b]+ng", L"ab+", L"(ab)+a", L"a{2}b", L"[aA]b\\.", L"b[n ]g", L"ng"};
    for (int round = 0; round < 200; ++round) {
        std::wstring text;
        int length = random() % 200;
        for (int i = 0; i < length; ++i)
            text += alphabet[random() % 9];
        std::unique_ptr<Document> document = documentOf(text, random() % (length + 1));
        std::wstring literal = text.substr(random() % (length + 1), 1 + random() % 3);
        if (literal.empty())
            literal = L"ab";
        corvel::FinderBoyerMoore finder(literal, false, false);
        int32_t lower = static_cast<int32_t>(random() % (length + 1));
        size_t expected = text.find(literal, lower);
        const zem::MatchResults& found = finder.find(*document, lower, length, false);
        ASSERT_EQ(expected == std::wstring::npos ? -1 : static_cast<int>(expected), found.getBegin(0))
            << narrow(literal) << " in " << narrow(text) << " from " << lower;
        size_t last = text.rfind(literal, length);
        int32_t backwardExpected =
            last == std::wstring::npos || static_cast<int32_t>(last) < lower ? -1 : static_cast<int32_t>(last);
        ASSERT_EQ(backwardExpected, finder.find(*document, lower, length, true).getBegin(0))
            << narrow(literal) << " back in " << narrow(text) << " to " << lower;

        for (int mode = 0; mode < 4; ++mode) {
            corvel::FinderBoyerMoore fast(literal, mode & 1, mode & 2), tables(literal, mode & 1, mode & 2);
            tables.setFastScan(false);
            ASSERT_EQ(describe(tables.find(*document, lower, length, false)),
                      describe(fast.find(*document, lower, length, false)))
                << narrow(literal) << " in " << narrow(text) << " from " << lower << " mode " << mode;
        }

        corvel::FinderRegEx plain(patterns[round % 7], false), filtered(patterns[round % 7], false);
        plain.setPrefilter(false);
        ASSERT_EQ(describe(plain.find(*document, lower, length, false)),
                  describe(filtered.find(*document, lower, length, false)))
            << narrow(patterns[round % 7]) << " in " << narrow(text) << " from " << lower;
    }
}

TEST(ReplacerTest, FormatsReadGroupsFromTheDocument) {
    std::unique_ptr<Document> document = documentOf(L"key=value", 4);
    corvel::FinderRegEx finder(L"(\\w+)=(\\w+)(x)?", false);
    const zem::MatchResults& match = finder.find(*document, 0, document->getLength(), false);
    std::wstring out = L"old";
    corvel::ReplacerFormat(L"\\U$2\\E:$1(?3:!:?)").replace(match, *document, out);
    EXPECT_EQ(L"VALUE:key?", out);
    corvel::ReplacerSimple(L"plain").replace(match, *document, out);
    EXPECT_EQ(L"plain", out);
}

} // namespace
