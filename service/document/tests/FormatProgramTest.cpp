#include "corvel/document/FormatProgram.h"

#include "zem/base/ParserException.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using corvel::FormatProgram;

typedef std::map<int32_t, std::wstring> Groups;

std::string narrow(const std::wstring& w) {
    std::string out;
    for (wchar_t c : w)
        out += c == L'\n'   ? std::string("\\n")
               : c == L'\t' ? std::string("\\t")
                            : std::string(1, c < 128 ? static_cast<char>(c) : '?');
    return out;
}

std::wstring run(const std::wstring& format, const Groups& groups, int32_t caseMode = 0) {
    FormatProgram program(format);
    std::wstring out = L"<";
    program.execute(
        [&](int32_t group, std::wstring* text) {
            auto it = groups.find(group);
            if (it == groups.end())
                return false;
            if (text)
                *text = it->second;
            return true;
        },
        out, caseMode);
    return out.substr(1);
}

::testing::AssertionResult formatsAs(const std::wstring& format, const Groups& groups, const std::wstring& expected) {
    std::wstring actual = run(format, groups);
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "format \"" << narrow(format) << "\" gave \"" << narrow(actual)
                                         << "\", expected \"" << narrow(expected) << "\"";
}

TEST(FormatProgramTest, ExpandsEveryKind) {
    const Groups ab = {{1, L"a"}, {2, L"b"}};
    const Groups word = {{1, L"word"}};
    const Groups one = {{1, L"x"}};
    const Groups none;
    const Groups both = {{1, L"x"}, {2, L"y"}};
    EXPECT_TRUE(formatsAs(L"$1-$2", ab, L"a-b"));
    EXPECT_TRUE(formatsAs(L"$", ab, L"$"));
    EXPECT_TRUE(formatsAs(L"$x", ab, L"$x"));
    EXPECT_TRUE(formatsAs(L"$3!", ab, L"!"));
    EXPECT_TRUE(formatsAs(L"$12", {{12, L"twelve"}}, L"twelve"));
    EXPECT_TRUE(formatsAs(L"(?1:yes:no)", one, L"yes"));
    EXPECT_TRUE(formatsAs(L"(?1:yes:no)", none, L"no"));
    EXPECT_TRUE(formatsAs(L"(?1:yes)", none, L""));
    EXPECT_TRUE(formatsAs(L"(?1:yes)tail", one, L"yestail"));
    EXPECT_TRUE(formatsAs(L"(?1:(?2:x:y):z)", both, L"x"));
    EXPECT_TRUE(formatsAs(L"(?1:(?2:x:y):z)", one, L"y"));
    EXPECT_TRUE(formatsAs(L"(?1:(?2:x:y):z)", {{2, L"y"}}, L"z"));
    EXPECT_TRUE(formatsAs(L"(?1:<$1>:-)", one, L"<x>"));
    EXPECT_TRUE(formatsAs(L"\\u$1", word, L"Word"));
    EXPECT_TRUE(formatsAs(L"\\U$1\\E!", word, L"WORD!"));
    EXPECT_TRUE(formatsAs(L"\\U$1 and\\E more", word, L"WORD AND more"));
    EXPECT_TRUE(formatsAs(L"\\lABC", none, L"aBC"));
    EXPECT_TRUE(formatsAs(L"\\LABC", none, L"abc"));
    EXPECT_TRUE(formatsAs(L"\\u(?1:yes)", one, L"Yes"));
    EXPECT_TRUE(formatsAs(L"a:b", none, L"a:b"));
    EXPECT_TRUE(formatsAs(L"(a)", none, L"(a)"));
    EXPECT_TRUE(formatsAs(L"(?x:a)", none, L"(?x:a)"));
    EXPECT_TRUE(formatsAs(L"a)b", none, L"a)b"));
    EXPECT_TRUE(formatsAs(L"\\q", none, L"q"));
    EXPECT_TRUE(formatsAs(L"\\$1", one, L"$1"));
    EXPECT_TRUE(formatsAs(L"a\\nb\\tc", none, L"a\nb\tc"));
    EXPECT_TRUE(formatsAs(L"end\\", none, L"end"));
    EXPECT_TRUE(formatsAs(L"", one, L""));
}

TEST(FormatProgramTest, MergesAdjacentLiterals) {
    FormatProgram program(L"ab:c(d$1e");
    ASSERT_EQ(3u, program.getElements().size());
    EXPECT_EQ(FormatProgram::LITERAL, program.getElements()[0]->kind);
    EXPECT_EQ(6u, program.getElements()[0]->end);
    EXPECT_EQ(FormatProgram::GROUP, program.getElements()[1]->kind);
}

TEST(FormatProgramTest, CaseModeCarriesInAndAcrossBranches) {
    EXPECT_EQ(L"ABC", run(L"abc", {}, FormatProgram::CASE_UPPER));
    EXPECT_EQ(L"Abc", run(L"abc", {}, FormatProgram::CASE_UPPER_FIRST));
    // Upper-casing set inside a branch goes on after the conditional.
    EXPECT_EQ(L"X-TAIL", run(L"(?1:\\U$1)-tail", {{1, L"x"}}));
}

TEST(FormatProgramTest, RefusesNestingPastTheLimit) {
    std::wstring deep;
    for (int i = 0; i < FormatProgram::MAX_NESTING; ++i)
        deep += L"(?1:";
    EXPECT_NO_THROW(FormatProgram program(deep));
    EXPECT_THROW(FormatProgram program(deep + L"(?1:"), zem::ParserException);
}

} // namespace
