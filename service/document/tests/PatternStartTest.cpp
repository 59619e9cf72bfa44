#include "corvel/document/PatternStart.h"

#include "zem/text/RegEx.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using corvel::PatternStart;
using corvel::ScannedLine;

std::string narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// Every place of the line that PatternStart offers, in order.
std::vector<int32_t> places(const PatternStart& start, const std::wstring& line) {
    ScannedLine scanned;
    scanned.scan(line.data(), static_cast<int32_t>(line.size()));
    std::vector<int32_t> out;
    for (int32_t at = start.next(scanned, 0); at < scanned.length; at = start.next(scanned, at + 1))
        out.push_back(at);
    return out;
}

struct PlaceCase {
    const wchar_t* pattern;
    const wchar_t* line;
    std::vector<int32_t> places; // where the engine is to be tried
};

::testing::AssertionResult offers(const PlaceCase& c) {
    std::vector<int32_t> actual = places(PatternStart::of(c.pattern, zem::REGEX_CAPTURE_GROUP), c.line);
    if (actual == c.places)
        return ::testing::AssertionSuccess();
    auto list = [](const std::vector<int32_t>& v) {
        std::string out;
        for (int32_t p : v)
            out += std::to_string(p) + " ";
        return out;
    };
    return ::testing::AssertionFailure() << narrow(c.pattern) << " on \"" << narrow(c.line) << "\": expected "
                                         << list(c.places) << "got " << list(actual);
}

// The places are what makes the parser fast: a keyword list is tried only where one of its
// words begins a word, a pattern under ^ only at the line's start.
TEST(PatternStartTest, NarrowsToWhereTheSyntaxLetsAMatchStart) {
    const PlaceCase cases[] = {
        {L"\\b(?:if|else|while)\\b", L"  if (x) elsewhere; else while", {2, 9, 20, 25}},
        {L"\\b(?:if|else)\\b", L"endif notif", {}},
        {L"^\\s*#\\s*define\\b", L"  #define X", {0}},
        {L"\\b[A-Za-z_]\\w*", L"a.bc = d1", {0, 2, 7}},
        {L"(?<!\\w)\\.[0-9]", L"x.5 .7", {1, 4}},
        {L"[SU]?CHAR_MAX", L"UCHAR_MAX CHAR_MAX", {0, 1, 10}},
        {L"\\b(?=\\w+\\()(?:(printf|puts)|(\\w+))\\(", L"f(x) g", {0, 2, 5}},
        {L"/\\*", L"a / b /* c", {6}},
        {L"^(?=\\s*#)", L"  #x", {0}},
    };
    for (const PlaceCase& c : cases)
        EXPECT_TRUE(offers(c));
}

// A place left out hides a match from the parser: every place where the engine finds a
// match must be offered, whatever the syntax.
TEST(PatternStartTest, OffersEveryPlaceWhereTheEngineMatches) {
    const wchar_t* patterns[] = {
        L"\\b(?:if|else)\\b",
        L"\\bif\\b|#",
        L"(?:\\bfoo)?bar",
        L"(?:\\bx|)y",
        L"^\\s*(#)",
        L"(?<=a)b",
        L"\\b(?=[A-Za-z_]\\w*\\s*\\()(?:(__builtin_\\w+|printf)|([A-Za-z_]\\w*))\\s*(\\()",
        L"(?:\\b[0-9]+\\.[0-9]*|(?<![\\w.])\\.[0-9]+)([fFlL])?",
        L"[SU]?CHAR_(?:MAX|MIN)",
        L"(u8|u|U|L)?\"",
        L"a{2,}b",
        L"x*y",
        L"\\Gz",
        L"\\bz*",
        L"[\\-+]=|<<=",
        L"\\b\u00e9t\u00e9\\b",
        L"^(?=\\s*#)",
        L"\\b(?=x)",
        L"\\b\\w",
        L"[^a-z ]",
    };
    const wchar_t* lines[] = {
        L"if (else) ifx xif else",
        L"  # pragma",
        L"foobar bar xfoobar",
        L"xy y zy",
        L"ab bab",
        L"printf (x) __builtin_y(z) q(",
        L"1.5f .5 x.5 a1.2",
        L"UCHAR_MAX SCHAR_MIN CHAR_MAX",
        L"u8\"a\" L\"b\" \"c\"",
        L"aab ab aaab",
        L"xxy y",
        L"zz",
        L"-= += <<= =",
        L"\u00e9t\u00e9 x\u00e9t\u00e9 \u00e9t\u00e9s",
        L"a\U0001F600b \U0001F600\U0001F600 x",
    };
    for (const wchar_t* pattern : patterns) {
        zem::RegExPtr regex = zem::RegEx::create(pattern);
        ASSERT_TRUE(regex->isCompiled()) << narrow(pattern);
        PatternStart start = PatternStart::of(pattern, zem::REGEX_CAPTURE_GROUP);
        for (const wchar_t* line : lines) {
            std::wstring text(line);
            std::vector<int32_t> offered = places(start, text);
            std::unique_ptr<zem::MatchResultsRegEx> results = zem::createMatchResultsRegEx();
            for (size_t at = 0; at < text.size(); ++at) {
                // The second unit of a surrogate pair is no place of its own.
                if (at > 0 && text[at] >= 0xDC00 && text[at] <= 0xDFFF && text[at - 1] >= 0xD800 &&
                    text[at - 1] <= 0xDBFF)
                    continue;
                zem::RegEx::match(results.get(), regex.get(), text.data(), text.data() + text.size(), text.data() + at);
                bool isOffered = std::find(offered.begin(), offered.end(), int32_t(at)) != offered.end();
                EXPECT_TRUE(!results->isMatched() || isOffered)
                    << narrow(pattern) << " matches at " << at << " of \"" << narrow(text) << "\", not offered";
            }
        }
    }
}

struct LiteralCase {
    const wchar_t* pattern;
    int groups; // -1: the engine is needed
};

// A pattern of plain literals is matched without the engine: at every place of every line
// the literal found must be the engine's match, groups included.
TEST(PatternStartTest, LiteralPatternsMatchAsTheEngineDoes) {
    const LiteralCase cases[] = {
        {L";", 0},           {L"(\\()", 1}, {L"==|!=|<=|>=", 0},   {L"[+\\-*\\/%]", 0}, {L"->|\\.\\.\\.", 0},
        {L"(?:if|else)", 0}, {L"a|ab", -1}, {L"\\.(?![0-9])", -1}, {L"(a)(b)", -1},     {L"(?<n>a)", -1},
        {L"(a)|b", -1},      {L"x+", -1},   {L"\\bif\\b", -1},     {L"(x|y)z", -1},
    };
    const std::wstring lines[] = {L"a == b; c != (d) <= e >= f", L"p->q... if else ab", L"+-*/% ;(("};
    for (const LiteralCase& c : cases) {
        PatternStart start = PatternStart::of(c.pattern, zem::REGEX_CAPTURE_GROUP);
        EXPECT_EQ(c.groups, start.literalGroups()) << narrow(c.pattern);
        if (start.literalGroups() < 0)
            continue;
        zem::RegExPtr regex = zem::RegEx::create(c.pattern);
        std::unique_ptr<zem::MatchResultsRegEx> results = zem::createMatchResultsRegEx();
        for (const std::wstring& line : lines) {
            for (int32_t at = 0; at < static_cast<int32_t>(line.size()); ++at) {
                zem::RegEx::match(results.get(), regex.get(), line.data(), line.data() + line.size(), line.data() + at);
                size_t length = start.literalLengthAt(line.data(), static_cast<int32_t>(line.size()), at);
                int32_t engine = results->isMatched() ? results->getEnd(0) - at : 0;
                EXPECT_EQ(engine, static_cast<int32_t>(length))
                    << narrow(c.pattern) << " at " << at << " of \"" << narrow(line) << "\"";
                if (results->isMatched()) {
                    EXPECT_EQ(c.groups + 1, results->getCount()) << narrow(c.pattern);
                }
            }
        }
    }
}

struct LineCase {
    const wchar_t* pattern;
    const wchar_t* line;
    bool canMatch;
};

// A line without a unit that every match holds is passed over without the engine.
TEST(PatternStartTest, PassesOverLinesWithoutARequiredUnit) {
    const LineCase cases[] = {
        {L"^\\s*((#)\\s*if)\\b", L"  if (x)", false},
        {L"^\\s*((#)\\s*if)\\b", L"  #if X", true},
        {L"\\b(\\w+)\\s*(\\()", L"a = b;", false},
        {L"\\b(\\w+)\\s*(\\()", L"a = b(c);", true},
        {L"(?:x|y)?z", L"zz", true},
        {L"(?:x|y)?z", L"xy", false},
        {L"a(?:b|c)+", L"ab", true},
        {L"(?=#)\\w", L"abc", false}, // a positive look-around's text is in the line too
        {L"^(?=\\s*#\\s*define\\b)", L"int x;", false},
        {L"^(?=\\s*#\\s*define\\b)", L"#define X", true},
        {L"(?<=#)x", L"ax", false},
        {L"(?!#)x", L"x", true},
        {L"(?=a)|(?=b)", L"b", true},
        {L"if", L"IF", false},
    };
    for (const LineCase& c : cases) {
        ScannedLine line;
        std::wstring text(c.line);
        line.scan(text.data(), static_cast<int32_t>(text.size()));
        EXPECT_EQ(c.canMatch, PatternStart::of(c.pattern, zem::REGEX_CAPTURE_GROUP).canMatchIn(line.present))
            << narrow(c.pattern) << " on \"" << narrow(c.line) << "\"";
    }
    ScannedLine upper;
    std::wstring text(L"IF");
    upper.scan(text.data(), 2);
    EXPECT_TRUE(PatternStart::of(L"if", zem::REGEX_CAPTURE_GROUP | zem::REGEX_IGNORE_CASE).canMatchIn(upper.present));
}

} // namespace
