#include "zem/text/LineBreak.h"

#include <gtest/gtest.h>

namespace {

struct BreakCase {
    const wchar_t* text;
    size_t consumed;
    size_t feeds;
};

std::string escape(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text)
        out += c == L'\r' ? "\\r" : c == L'\n' ? "\\n" : std::string(1, static_cast<char>(c));
    return out;
}

::testing::AssertionResult expands(const BreakCase& c) {
    std::wstring out = L"x";
    const std::wstring text = c.text;
    const size_t consumed = zem::appendLineBreaks(text.data(), text.size(), out);
    if (consumed == c.consumed && out == L"x" + std::wstring(c.feeds, L'\n'))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << escape(text) << "\" consumed " << consumed << " (expected "
                                         << c.consumed << "), appended " << out.size() - 1 << " units (expected "
                                         << c.feeds << " LF)";
}

TEST(LineBreakTest, RunsOfBreaksBecomeLineFeeds) {
    const BreakCase cases[] = {
        {L"\r\n\r\n", 4, 2}, {L"\r\r", 2, 2}, {L"\n\r", 2, 2},    {L"\r\nx\n", 2, 1}, {L"\r\n\n", 3, 2},
        {L"abc\n", 0, 0},    {L"", 0, 0},     {L"\n\n\nx", 3, 3}, {L"\r", 1, 1},      {L"\r\n\r", 3, 2},
    };
    for (const BreakCase& c : cases)
        EXPECT_TRUE(expands(c));
}

TEST(LineBreakTest, CountLimitsTheWalk) {
    std::wstring out;
    EXPECT_EQ(1u, zem::appendLineBreaks(L"\r\n", 1, out));
    EXPECT_EQ(L"\n", out);
    EXPECT_EQ(0u, zem::appendLineBreaks(nullptr, 5, out));
}

TEST(LineBreakTest, SettingNamesMapToKinds) {
    EXPECT_EQ(zem::LINE_ENDING_CRLF, zem::lineEndingFromName(L"CR+LF"));
    EXPECT_EQ(zem::LINE_ENDING_CRLF, zem::lineEndingFromName(L"CRLF"));
    EXPECT_EQ(zem::LINE_ENDING_LF, zem::lineEndingFromName(L"LF"));
    EXPECT_EQ(zem::LINE_ENDING_CR, zem::lineEndingFromName(L"CR"));
    EXPECT_EQ(zem::LINE_ENDING_CRLF, zem::lineEndingFromName(L""));
    EXPECT_EQ(zem::LINE_ENDING_CRLF, zem::lineEndingFromName(L"lf")); // case matters
    EXPECT_EQ(zem::LINE_ENDING_CRLF, zem::lineEndingFromName(L"CR "));
}

} // namespace
