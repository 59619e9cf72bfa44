#include "corvel/text/CodePages.h"
#include "corvel/text/EncodingMark.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct MarkCase {
    std::string bytes;
    uint32_t length;
    uint32_t codePage;
};

::testing::AssertionResult findsMark(const MarkCase& c) {
    const corvel::EncodingMark& mark =
        corvel::findEncodingMark(c.bytes.size(), reinterpret_cast<const uint8_t*>(c.bytes.data()));
    if (mark.length == c.length && mark.codePage == c.codePage)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "bytes of length " << c.bytes.size() << " gave mark length " << mark.length
                                         << " code page " << std::hex << mark.codePage << ", expected " << std::dec
                                         << c.length << " " << std::hex << c.codePage;
}

TEST(EncodingMarkTest, MarksAreFoundLongestFirst) {
    const MarkCase cases[] = {
        {std::string("\xFF\xFE\x00\x00\x41\x00\x00\x00", 8), 4, corvel::CP_UTF32_LE},
        {std::string("\x00\x00\xFE\xFF", 4), 4, corvel::CP_UTF32_BE},
        {"\xEF\xBB\xBF"
         "abc",
         3, corvel::CP_UTF8_MARK},
        {"\xEF\xBB\xBF", 3, corvel::CP_UTF8_MARK},
        {"\xFE\xFF", 2, corvel::CP_UTF16_BE},
        {std::string("\xFF\xFE\x41\x00", 4), 2, corvel::CP_UTF16_LE},
        {"\xFF\xFE", 2, corvel::CP_UTF16_LE},
        {std::string("\xFF\xFE\x00", 3), 2, corvel::CP_UTF16_LE}, // too short for the UTF-32 mark
        {"\xEF\xBB", 0, corvel::CP_ANSI},
        {"abc", 0, corvel::CP_ANSI},
        {"", 0, corvel::CP_ANSI},
    };
    for (const MarkCase& c : cases)
        EXPECT_TRUE(findsMark(c));
}

TEST(EncodingMarkTest, EachCodePageIsSavedWithItsOwnMark) {
    EXPECT_EQ(4u, corvel::encodingMarkFor(corvel::CP_UTF32_LE).length);
    EXPECT_EQ(0xFE, corvel::encodingMarkFor(corvel::CP_UTF32_BE).bytes[2]);
    EXPECT_EQ(3u, corvel::encodingMarkFor(corvel::CP_UTF8_MARK).length);
    EXPECT_EQ(0xFE, corvel::encodingMarkFor(corvel::CP_UTF16_LE).bytes[1]);
    EXPECT_EQ(0xFE, corvel::encodingMarkFor(corvel::CP_UTF16_BE).bytes[0]);
    EXPECT_EQ(0u, corvel::encodingMarkFor(corvel::CP_UTF8_PLAIN).length);
    EXPECT_EQ(0u, corvel::encodingMarkFor(corvel::CP_ANSI).length);
    EXPECT_EQ(corvel::CP_UTF8_PLAIN, corvel::plainUtf8Mark().codePage);
}

struct NameCase {
    uint32_t codePage;
    const wchar_t* displayName;
    const wchar_t* settingName;
};

TEST(EncodingNamesTest, EveryCodePageHasItsNamesBothWays) {
    const NameCase cases[] = {
        {corvel::CP_ANSI, L"ANSI", L"ANSI"},
        {corvel::CP_UTF8_MARK, L"UTF-8", L"UTF-8"},
        {corvel::CP_UTF8_PLAIN, L"UTF-8 Plain", L"UTF-8-PLAIN"},
        {corvel::CP_UTF16_LE, L"UTF-16 LE", L"UTF-16-LE"},
        {corvel::CP_UTF16_BE, L"UTF-16 BE", L"UTF-16-BE"},
        {corvel::CP_UTF32_LE, L"UTF-32 LE", L"UTF-32-LE"},
        {corvel::CP_UTF32_BE, L"UTF-32 BE", L"UTF-32-BE"},
    };
    for (const NameCase& c : cases) {
        EXPECT_STREQ(c.displayName, corvel::getEncodingDisplayName(c.codePage)) << c.codePage;
        EXPECT_STREQ(c.settingName, corvel::encodingSettingName(c.codePage)) << c.codePage;
        EXPECT_EQ(c.codePage, corvel::encodingFromSettingName(c.settingName)) << c.codePage;
    }
}

TEST(EncodingNamesTest, UnknownNamesAndCodePagesFallBack) {
    EXPECT_EQ(corvel::CP_UTF16_LE, corvel::encodingFromSettingName(L"utf-16-le"));
    EXPECT_EQ(corvel::CP_UTF8_PLAIN, corvel::encodingFromSettingName(L"UTF-16"));
    EXPECT_EQ(corvel::CP_UTF8_PLAIN, corvel::encodingFromSettingName(L""));
    EXPECT_EQ(corvel::CP_UTF8_PLAIN, corvel::encodingFromSettingName(nullptr));
    EXPECT_STREQ(L"Unknown", corvel::getEncodingDisplayName(1252));
    EXPECT_STREQ(L"Unknown", corvel::getEncodingDisplayName(0x800004B2));
    EXPECT_STREQ(L"UTF-8-PLAIN", corvel::encodingSettingName(1252));
}

} // namespace
