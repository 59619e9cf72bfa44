#include "zem/base/Format.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatTest, WideStringArgumentFormatsWhole) {
    // With C99 stdio semantics %s would read the wide text as narrow and stop after "w".
    EXPECT_EQ(L"[wide text]", zem::format(L"[%s]", L"wide text"));
    EXPECT_EQ(L"a=1 b=ff c=-7 d=x", zem::format(L"a=%d b=%x c=%d d=%c", 1, 255, -7, L'x'));
    EXPECT_EQ(L"narrow", zem::format(L"%S", "narrow"));
    EXPECT_EQ(L"0x0000ABCD", zem::format(L"0x%08X", 0xABCDu));
}

TEST(FormatTest, LongResultsGrowAndBoundedFormattingCuts) {
    std::wstring big(5000, L'q');
    EXPECT_EQ(big + L"!", zem::format(L"%s!", big.c_str()));

    wchar_t buffer[6];
    auto into = [&](const wchar_t* fmt, ...) {
        va_list args;
        va_start(args, fmt);
        int n = zem::formatInto(buffer, 6, fmt, args);
        va_end(args);
        return n;
    };
    EXPECT_EQ(5, into(L"%s", L"12345"));
    EXPECT_STREQ(L"12345", buffer);
    EXPECT_EQ(-1, into(L"%s", L"123456"));
    EXPECT_STREQ(L"12345", buffer);
}

} // namespace
