#include "zem/text/Indentation.h"

#include "zem/base/Exception.h"

#include <gtest/gtest.h>

namespace {

std::string visible(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text)
        out += c == L'\t' ? "\\t" : c == L'\n' ? "\\n" : c == L'\r' ? "\\r" : std::string(1, static_cast<char>(c));
    return out;
}

TEST(IndentationTest, MeasureCountsColumnsUpToTheFirstOtherUnit) {
    zem::Indentation indentation(false, 4, zem::Indentation::ROUND_EXACT);
    size_t consumed = 99;
    EXPECT_EQ(5, indentation.measure(L"\t x", 3, &consumed));
    EXPECT_EQ(2u, consumed);
    EXPECT_EQ(0, indentation.measure(L"x", 1, &consumed));
    EXPECT_EQ(0u, consumed);
    EXPECT_EQ(4, indentation.measure(L"  \t", 3, nullptr)); // the tab moves to the next stop
    EXPECT_EQ(8, indentation.measure(L"   \t\t", 5, nullptr));
    EXPECT_EQ(3, indentation.measure(L"   ", 3, &consumed)); // the length ends the run
    EXPECT_EQ(3u, consumed);
    EXPECT_EQ(0, indentation.measure(nullptr, 3, &consumed));
}

struct IndentCase {
    bool softTabs;
    int width;
    int mode;
    int columns;
    const wchar_t* expected;
};

::testing::AssertionResult indents(const IndentCase& c) {
    zem::Indentation indentation(c.softTabs, c.width, c.mode);
    std::wstring out = L">";
    const size_t appended = indentation.appendIndent(&out, c.columns);
    const std::wstring expected = std::wstring(L">") + c.expected;
    if (out == expected && appended == expected.size() - 1)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "soft " << c.softTabs << " width " << c.width << " mode " << c.mode
                                         << " columns " << c.columns << " gave \"" << visible(out) << "\" (" << appended
                                         << " units), expected \"" << visible(expected) << "\"";
}

TEST(IndentationTest, AppendIndentFollowsTheRoundingPolicy) {
    const IndentCase cases[] = {
        {false, 4, 0, 10, L"\t\t  "},
        {true, 4, 0, 10, L"          "},
        {false, 4, 1, 10, L"\t\t\t"},
        {false, 4, 2, 10, L"\t\t"},
        {true, 4, 1, 10, L"            "},
        {true, 4, 2, 10, L"        "},
        {false, 4, 2, 3, L""},
        {false, 4, 1, 1, L"\t"},
        {false, 4, 0, 0, L""},
        {false, 0, 0, 2, L"\t\t"},               // width clamped up to 1
        {true, 40, 0, 17, L"                 "}, // width clamped down to 16: one level and one space
        {false, 40, 0, 17, L"\t "},
    };
    for (const IndentCase& c : cases)
        EXPECT_TRUE(indents(c));
}

TEST(IndentationTest, BadRoundingModeAndMissingOutput) {
    EXPECT_THROW(zem::Indentation(false, 4, 3), zem::IllegalStateException);
    EXPECT_THROW(zem::Indentation(false, 4, -1), zem::IllegalStateException);
    zem::Indentation indentation;
    EXPECT_THROW(indentation.appendIndent(nullptr, 4), zem::AssertionViolationException);
    EXPECT_THROW(indentation.reindentLine(L"x", 1, nullptr), zem::NullPointerException);
    EXPECT_THROW(indentation.reindentText(L"x", 1, nullptr), zem::NullPointerException);
}

TEST(IndentationTest, ReindentLineStopsAtTheLineBreak) {
    zem::Indentation spaces(true, 2, zem::Indentation::ROUND_EXACT);
    std::wstring out;
    const std::wstring line = L"\t\tx y\r\nnext";
    EXPECT_EQ(5u, spaces.reindentLine(line.data(), line.size(), &out));
    EXPECT_EQ(L"    x y", out);
    out.clear();
    EXPECT_EQ(3u, spaces.reindentLine(L"abc", 3, &out));
    EXPECT_EQ(L"abc", out);
}

TEST(IndentationTest, ReindentTextRewritesEveryLineAndFoldsBreaksToLf) {
    zem::Indentation tabs(false, 4, zem::Indentation::ROUND_EXACT);
    const std::wstring text = L"a\r\n    b\r\n\r\n      c\rd\n  \n";
    std::wstring out = L"keep:";
    tabs.reindentText(text.data(), text.size(), &out);
    EXPECT_EQ(L"keep:a\n\tb\n\n\t  c\nd\n  \n", out) << visible(out);
}

} // namespace
