#include "zem/text/ReadableSize.h"

#include "zem/base/Exception.h"

#include <gtest/gtest.h>

namespace {

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

::testing::AssertionResult sizeReads(uint64_t size, const wchar_t* expected) {
    std::wstring out;
    zem::formatByteSize(&out, size);
    if (out == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << size << " bytes gave \"" << narrow(out) << "\", expected \""
                                         << narrow(expected) << "\"";
}

TEST(ReadableSizeTest, ByteSizesAtEachUnitBoundary) {
    const uint64_t KB = 1024;
    EXPECT_TRUE(sizeReads(0, L"0 B"));
    EXPECT_TRUE(sizeReads(1023, L"1023 B"));
    EXPECT_TRUE(sizeReads(1024, L"1 KB"));
    EXPECT_TRUE(sizeReads(1536, L"1.5 KB"));
    EXPECT_TRUE(sizeReads(1075, L"1 KB")); // 1.0498 rounds to one decimal
    EXPECT_TRUE(sizeReads(1076, L"1.1 KB"));
    EXPECT_TRUE(sizeReads(1048575, L"1024 KB"));
    EXPECT_TRUE(sizeReads(1048576, L"1 MB"));
    EXPECT_TRUE(sizeReads(5000000, L"4 MB"));
    EXPECT_TRUE(sizeReads(KB * KB * KB - 1, L"1023 MB"));
    EXPECT_TRUE(sizeReads(KB * KB * KB, L"1 GB"));
    EXPECT_TRUE(sizeReads(KB * KB * KB * KB - 1, L"1023 GB"));
    EXPECT_TRUE(sizeReads(KB * KB * KB * KB, L"1 TB"));
    EXPECT_TRUE(sizeReads(UINT64_MAX, L"16777215 TB"));
}

TEST(ReadableSizeTest, SplitByteSizeAndNullOutputs) {
    double value = 0;
    const wchar_t* unit = nullptr;
    zem::splitByteSize(2560, &value, &unit);
    EXPECT_EQ(2.5, value);
    EXPECT_STREQ(L"KB", unit);
    EXPECT_THROW(zem::splitByteSize(1, nullptr, &unit), zem::NullPointerException);
    EXPECT_THROW(zem::splitByteSize(1, &value, nullptr), zem::NullPointerException);
    EXPECT_THROW(zem::formatByteSize(nullptr, 1), zem::NullPointerException);
    EXPECT_THROW(zem::formatDuration(nullptr, 1), zem::NullPointerException);
}

::testing::AssertionResult durationReads(int64_t seconds, const wchar_t* expected) {
    std::wstring out;
    zem::formatDuration(&out, seconds);
    if (out == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << seconds << " s gave \"" << narrow(out) << "\", expected \""
                                         << narrow(expected) << "\"";
}

TEST(ReadableSizeTest, DurationsRoundWithinTheirBand) {
    EXPECT_TRUE(durationReads(-1, L"unknown time"));
    EXPECT_TRUE(durationReads(0, L"0 seconds"));
    EXPECT_TRUE(durationReads(1, L"1 second"));
    EXPECT_TRUE(durationReads(59, L"59 seconds"));
    EXPECT_TRUE(durationReads(60, L"1 minute"));
    EXPECT_TRUE(durationReads(89, L"1 minute"));
    EXPECT_TRUE(durationReads(90, L"2 minutes"));
    EXPECT_TRUE(durationReads(3599, L"60 minutes"));
    EXPECT_TRUE(durationReads(3600, L"1 hour"));
    EXPECT_TRUE(durationReads(86399, L"24 hours"));
}

// Caught: the longer bands counted in the next larger unit, so two days read "0 weeks".
TEST(ReadableSizeTest, EachLongerBandCountsInTheUnitItSpans) {
    const int64_t DAY = 86400;
    EXPECT_TRUE(durationReads(DAY, L"1 day"));
    EXPECT_TRUE(durationReads(2 * DAY, L"2 days"));
    EXPECT_TRUE(durationReads(7 * DAY - 1, L"7 days"));
    EXPECT_TRUE(durationReads(7 * DAY, L"1 week"));
    EXPECT_TRUE(durationReads(302400 + 7 * DAY, L"2 weeks"));
    EXPECT_TRUE(durationReads(28 * DAY - 1, L"4 weeks"));
    EXPECT_TRUE(durationReads(28 * DAY, L"1 month"));
    EXPECT_TRUE(durationReads(336 * DAY - 1, L"12 months"));
    EXPECT_TRUE(durationReads(336 * DAY, L"1 year"));
    EXPECT_TRUE(durationReads(3360 * DAY - 1, L"10 years"));
    EXPECT_TRUE(durationReads(3360 * DAY, L"1 decade"));
    EXPECT_TRUE(durationReads(5 * 3360 * DAY, L"5 decades"));
    EXPECT_TRUE(durationReads(INT64_MAX, L"31771425943 decades"));
}

TEST(ReadableSizeTest, SplitDurationGivesCountAndWord) {
    int64_t count = -5;
    const wchar_t* unit = nullptr;
    EXPECT_TRUE(zem::splitDuration(7200, &count, &unit));
    EXPECT_EQ(2, count);
    EXPECT_STREQ(L"hours", unit);
    EXPECT_FALSE(zem::splitDuration(-10, &count, &unit));
    EXPECT_THROW(zem::splitDuration(1, nullptr, &unit), zem::NullPointerException);
}

} // namespace
