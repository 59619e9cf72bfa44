#include "corvel/document/ScopeSelector.h"

#include "corvel/document/ScopePath.h"
#include "zem/base/Crc.h"
#include "zem/base/Object.h"
#include "zem/base/ParserException.h"

#include "support/ScopePathText.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <sstream>
#include <string>
#include <vector>

namespace {

using documenttest::fillScopePath;

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// The program as text: operands as "<atom atom>" with the names the keys stand for.
std::wstring describe(const corvel::ScopeSelector& selector) {
    static const wchar_t* const names[] = {L"a", L"b", L"c", L"d", L"source", L"string", L"string.quoted", L"x.y"};
    const std::vector<uint32_t>& program = selector.program();
    std::wstring out = std::to_wstring(program[0]) + L":";
    for (size_t i = 1; i < program.size();) {
        out += L" ";
        switch (program[i]) {
        case corvel::ScopeSelector::PATH: {
            uint32_t atoms = program[i + 2];
            out += L"<";
            for (uint32_t k = 0; k < atoms; ++k) {
                uint32_t key = program[i + 3 + 2 * k];
                std::wstring name = L"?";
                for (const wchar_t* n : names)
                    if (zem::crc32Chars(std::wcslen(n), n) == key)
                        name = n;
                out += (k ? L" " : L"") + name + L"/" + std::to_wstring(program[i + 4 + 2 * k]);
            }
            out += L">";
            i += 3 + 2 * atoms;
            break;
        }
        case corvel::ScopeSelector::INTERSECTION:
            out += L"&", ++i;
            break;
        case corvel::ScopeSelector::UNION:
            out += L"|", ++i;
            break;
        case corvel::ScopeSelector::EXCLUSION:
            out += L"-", ++i;
            break;
        default:
            out += L"#" + std::to_wstring(program[i++]);
        }
    }
    return out;
}

::testing::AssertionResult compilesTo(const std::wstring& text, const std::wstring& expected) {
    try {
        corvel::ScopeSelector selector(text.c_str(), text.size());
        std::wstring actual = describe(selector);
        if (actual != expected)
            return ::testing::AssertionFailure() << "\"" << narrow(text) << "\" compiled to \"" << narrow(actual)
                                                 << "\", expected \"" << narrow(expected) << "\"";
        return ::testing::AssertionSuccess();
    } catch (zem::ParserException& e) {
        return ::testing::AssertionFailure() << "\"" << narrow(text) << "\" threw " << narrow(e.detail());
    }
}

TEST(ScopeSelectorTest, CompilesToPostfix) {
    const struct {
        const wchar_t* text;
        const wchar_t* program;
    } cases[] = {
        {L"", L"0:"},
        {L" \t\r\n ", L"0:"},
        {L"()", L"0:"},
        {L" ( ( ) ) ", L"0:"},
        {L"source", L"1: <source/1>"},
        {L"source string.quoted", L"1: <source/1 string.quoted/2>"},
        {L"a -b", L"3: <a/1> <b/1> -"},
        {L"a - b", L"3: <a/1> <b/1> -"},
        {L"a-b", L"3: <a/1> <b/1> -"},
        // Equal precedence groups to the right.
        {L"a - b - c", L"5: <a/1> <b/1> <c/1> - -"},
        {L"a & b & c", L"5: <a/1> <b/1> <c/1> & &"},
        // Loosest to tightest: ",", "&", "|", "-".
        {L"a, b & c", L"5: <a/1> <b/1> <c/1> & |"},
        {L"a & b, c", L"5: <a/1> <b/1> & <c/1> |"},
        {L"a | b & c", L"5: <a/1> <b/1> | <c/1> &"},
        {L"a - b | c", L"5: <a/1> <b/1> - <c/1> |"},
        {L"a | b - c", L"5: <a/1> <b/1> <c/1> - |"},
        {L"(a, b) & c", L"5: <a/1> <b/1> | <c/1> &"},
        {L"a & (b - (c | d))", L"7: <a/1> <b/1> <c/1> <d/1> | - &"},
        {L"x.y.", L"1: <?/3>"},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(compilesTo(c.text, c.program));
}

// Texts that must fail, with the offset the error reports.
::testing::AssertionResult failsAt(const std::wstring& text, int32_t offset) {
    try {
        corvel::ScopeSelector selector(text.c_str(), text.size());
        return ::testing::AssertionFailure() << "\"" << narrow(text) << "\" compiled to " << narrow(describe(selector));
    } catch (zem::UnexpectedTokenException& e) {
        if (e.detail() != L"Unexpected token.")
            return ::testing::AssertionFailure() << "\"" << narrow(text) << "\": detail " << narrow(e.detail());
        if (e.begin().offset != offset || e.end().offset != offset)
            return ::testing::AssertionFailure() << "\"" << narrow(text) << "\" failed at " << e.begin().offset << "-"
                                                 << e.end().offset << ", expected " << offset;
        return ::testing::AssertionSuccess();
    } catch (zem::ParserException& e) {
        return ::testing::AssertionFailure() << "\"" << narrow(text) << "\" threw " << narrow(e.detail());
    }
}

TEST(ScopeSelectorTest, RejectsWhatTheStatesDoNotAccept) {
    const struct {
        const wchar_t* text;
        int32_t offset;
    } cases[] = {
        {L"(a", 2},
        {L"a)", 1},
        {L"a &", 3},
        {L"& a", 0},
        {L"a b &", 5},
        {L"a && b", 3},
        {L".a", 0},
        {L"a..b", 2},
        {L"a (b)", 2},
        {L"(a)(b)", 3},
        {L"a & )", 4},
        {L"((a)", 4},
        {L"a & .b", 4},
        {L"-", 0},
        {L")", 0},
        {L"a,", 2},
        // An empty "()" may stand alone but not as an operand of an operator.
        {L"a & ()", 6},
        {L"() - a", 6},
        {L"(), a", 5},
        {L"(()) | a", 8},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(failsAt(c.text, c.offset));
}

TEST(ScopeSelectorTest, ErrorPositionsCountLines) {
    const std::wstring text = L"a &\n  &";
    try {
        corvel::ScopeSelector selector(text.c_str(), text.size());
        FAIL() << "compiled";
    } catch (zem::UnexpectedTokenException& e) {
        EXPECT_EQ(1, e.begin().line);
        EXPECT_EQ(2, e.begin().column);
        EXPECT_EQ(6, e.begin().offset);
    }
}

TEST(ScopeSelectorTest, FailedCompileLeavesTheSelectorEmpty) {
    corvel::ScopeSelector selector(L"a", 1);
    EXPECT_THROW(selector.compile(L"a &", 3), zem::UnexpectedTokenException);
    EXPECT_TRUE(selector.isEmpty());
}

struct MatchCase {
    const wchar_t* path; // outer to inner
    const wchar_t* selector;
    bool anchored;
    bool matches;
    uint64_t score;
};

::testing::AssertionResult matchesAs(const MatchCase& c) {
    corvel::ScopePath path;
    fillScopePath(path, c.path);
    corvel::ScopeSelector selector(c.selector, std::wcslen(c.selector));
    corvel::ScopeSelectorMatcher matcher(path);
    corvel::ScopeMatch result;
    bool matched = matcher.match(selector, result, c.anchored);
    if (matched != c.matches || result.score != (c.matches ? c.score : result.score))
        return ::testing::AssertionFailure() << "\"" << narrow(c.selector) << "\" against \"" << narrow(c.path) << "\""
                                             << (c.anchored ? " anchored" : "") << ": "
                                             << (matched ? "matched" : "no match") << " with " << result.score;
    return ::testing::AssertionSuccess();
}

TEST(ScopeSelectorTest, MatchesAndScores) {
    const wchar_t* example = L"source.python string.quoted.double";
    const MatchCase cases[] = {
        {example, L"string", false, true, 3},
        {example, L"source", false, true, 1},
        {example, L"source string.quoted", false, true, 5},
        {example, L"source - string", false, false, 0},
        {example, L"string, source", false, true, 3},
        {example, L"string | source", false, true, 3},
        {example, L"source & string", false, true, 3},
        {example, L"source", true, false, 0},
        {example, L"string", true, true, 3},
        {example, L"source string", true, true, 4},
        {example, L"", false, true, 1},
        {example, L"()", false, true, 1},
        {example, L"", true, false, 0},
        {example, L"string source", false, false, 0},
        {example, L"source.python.django", false, false, 0},
        {example, L"string.quoted.double.x", false, false, 0},
        {example, L"source source", false, false, 0},
        {example, L"a b c", false, false, 0},
        {example, L"(source - string) | string.quoted", false, true, 4},
        {L"source.python.django", L"source.python", false, true, 2},
        {L"source.pythonic", L"source.python", false, false, 0},
        {L"source.python", L"source.pythonic", false, false, 0},
        {L"a x b", L"a b", false, true, 5},
        {L"a x b", L"b a", false, false, 0},
        {L"a b", L"a - b", false, false, 0},
        {L"a b", L"a - c", false, true, 1},
        // Right-grouped: a - (b - c); with c present, b - c fails, so a stands.
        {L"a b c", L"a - b - c", false, true, 1},
        {L"a", L"a - b - c", false, true, 1},
        // Greedy: "a.b" takes the innermost fitting atom, so "a" must lie further out.
        {L"a a.b", L"a a.b", false, true, 4},
        {L"a.b a", L"a a.b", false, false, 0},
    };
    for (const MatchCase& c : cases)
        EXPECT_TRUE(matchesAs(c));
}

TEST(ScopeSelectorTest, EqualScoresKeepTheLeftOperand) {
    corvel::ScopePath path;
    fillScopePath(path, L"a b");
    corvel::ScopeSelectorMatcher matcher(path);
    for (const wchar_t* text : {L"b & b", L"b | b", L"b , b"}) {
        corvel::ScopeSelector selector(text, std::wcslen(text));
        corvel::ScopeMatch result;
        ASSERT_TRUE(matcher.match(selector, result, false)) << narrow(text);
        EXPECT_EQ(selector.program().data() + 1, result.operand) << narrow(text);
    }
    corvel::ScopeSelector selector(L"a & b", 5);
    corvel::ScopeMatch result;
    ASSERT_TRUE(matcher.match(selector, result, false));
    EXPECT_EQ(selector.program().data() + 1 + 5, result.operand);
    EXPECT_EQ(2u, result.score);
}

TEST(ScopeSelectorTest, ACopyOwnsItsProgram) {
    corvel::ScopeSelector original(L"a - b", 5);
    corvel::ScopeSelector copy(original);
    original.compile(L"c", 1);
    EXPECT_EQ(L"3: <a/1> <b/1> -", describe(copy));
    EXPECT_EQ(L"1: <c/1>", describe(original));
    std::unique_ptr<corvel::ScopeSelector> made = corvel::ScopeSelector::create(L"a", 1);
    EXPECT_EQ(L"1: <a/1>", describe(*made));
}

TEST(ScopeSelectorTest, PathMatchSelectorReturnsTheMatchedAtom) {
    zem::Object string, source;
    corvel::ScopePath path;
    path.push(L"string.quoted.double", &string);
    path.push(L"source.python", &source);
    EXPECT_EQ(nullptr, path.matchSelector(L""));
    EXPECT_EQ(nullptr, path.matchSelector(L"text"));
    const corvel::ScopeAtom* atom = path.matchSelector(L"string");
    ASSERT_NE(nullptr, atom);
    EXPECT_EQ(&string, atom->object);
    atom = path.matchSelector(L"source string");
    ASSERT_NE(nullptr, atom);
    EXPECT_EQ(&string, atom->object);
    atom = path.matchSelector(L"text | source");
    ASSERT_NE(nullptr, atom);
    EXPECT_EQ(&source, atom->object);
    EXPECT_THROW(path.matchSelector(L"source &"), zem::UnexpectedTokenException);
}

TEST(ScopeSelectorTest, DeepPathsRankTheInnerAtomHighest) {
    corvel::ScopePath path;
    path.push(L"inner.scope");
    for (int i = 0; i < 99; ++i)
        path.push(L"meta.block");
    corvel::ScopeSelectorMatcher matcher(path);
    corvel::ScopeSelector inner(L"inner", 5), outer(L"meta", 4);
    corvel::ScopeMatch innerResult, outerResult;
    ASSERT_TRUE(matcher.match(inner, innerResult, false));
    ASSERT_TRUE(matcher.match(outer, outerResult, false));
    EXPECT_GE(innerResult.score, outerResult.score);
    corvel::ScopeSelector both(L"meta inner", 10);
    ASSERT_TRUE(matcher.match(both, innerResult, false));
    EXPECT_EQ(UINT64_MAX, innerResult.score);
}

// Random texts over the selector alphabet either compile into a program whose every
// operator finds two operands, or throw a parser exception; matching them never fails.
TEST(ScopeSelectorTest, FuzzedTextsCompileSoundlyOrThrow) {
    const wchar_t alphabet[] = L"a.b -&|,() \t";
    const size_t letters = sizeof(alphabet) / sizeof(alphabet[0]) - 1;
    corvel::ScopePath path;
    fillScopePath(path, L"a a.b b.a b");
    corvel::ScopeSelectorMatcher matcher(path);
    uint32_t seed = 12345;
    int compiled = 0;
    for (int round = 0; round < 600; ++round) {
        seed = seed * 1103515245u + 12345u;
        size_t length = (seed >> 16) % 14;
        std::wstring text;
        for (size_t i = 0; i < length; ++i) {
            seed = seed * 1103515245u + 12345u;
            text.push_back(alphabet[(seed >> 16) % letters]);
        }
        try {
            corvel::ScopeSelector selector(text.c_str(), text.size());
            ++compiled;
            const std::vector<uint32_t>& program = selector.program();
            int depth = 0;
            uint32_t items = 0;
            for (size_t i = 1; i < program.size(); ++items) {
                if (program[i] == corvel::ScopeSelector::PATH) {
                    ++depth;
                    i += 3 + 2 * program[i + 2];
                    continue;
                }
                ASSERT_GE(depth, 2) << narrow(text);
                --depth;
                ++i;
            }
            EXPECT_EQ(program[0], items) << narrow(text);
            EXPECT_EQ(program[0] == 0 ? 0 : 1, depth) << narrow(text);
            corvel::ScopeMatch result;
            matcher.match(selector, result, false);
            matcher.match(selector, result, true);
        } catch (zem::ParserException&) {
        }
    }
    EXPECT_GT(compiled, 30);
}

} // namespace
