#include "corvel/base/VersionInfo.h"

#include <gtest/gtest.h>

using namespace corvel;

TEST(VersionInfoTest, RecordAndStamp) {
    const VersionInfo& info = getVersionInfo();
    EXPECT_EQ(0x904u, info.packedVersion);
    EXPECT_EQ(0x28669501u, info.buildChecksum);
    EXPECT_EQ(2308u, info.buildNumber);
    EXPECT_STREQ(L"0.9.4", info.versionText);
    EXPECT_STREQ(L"20120814-4", info.buildText);
    EXPECT_STREQ(L"unstable", info.channel);
    EXPECT_STREQ(L"RC", info.channelLabel);
    EXPECT_STREQ(L"0 9 4 28669501", getVersionStamp());
    EXPECT_EQ(getVersionStamp(), getVersionStamp()); // made once: the same text
}

TEST(VersionInfoTest, ParseStamp) {
    const struct {
        const wchar_t* text;
        uint32_t expected;
    } cases[] = {
        {L"0 9 4 28669501", 0x000904}, {L"1 2 3 0", 0x010203},  {L"0 0 0 ff", 0},
        {L"0 9 4", 0},                 {L"", 0},                {L"x 9 4 1", 0},
        {L"0 9 4 zz", 0},              {L"  1\t0 0 0", 0x10000}, {nullptr, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, parseVersionStamp(c.text)) << ::testing::PrintToString(c.text ? c.text : L"(null)");
}
