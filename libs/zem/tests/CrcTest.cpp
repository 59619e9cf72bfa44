#include "zem/base/CharClass.h"
#include "zem/base/Crc.h"

#include <gtest/gtest.h>

namespace {

::testing::AssertionResult symbolIs(const wchar_t* name, uint32_t expected) {
    uint32_t actual = zem::symbolId(name);
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "symbolId(\"" << ::testing::PrintToString(std::wstring(name))
                                         << "\") = " << std::hex << actual << ", expected " << expected;
}

TEST(CrcTest, SymbolIdsUsedAsConstants) {
    const struct {
        const wchar_t* name;
        uint32_t id;
    } rows[] = {
        {L"object", 0xa8adabec},  {L"Unknown", 0x629b9e5b}, {L"ALL", 0xadbf3357},
        {L"LogManager", 0x960dabd4}, {L"bundle", 0xa57b32fd}, {L"language", 0xd4db71b5},
        {L"theme", 0x9775e708},   {L"snippet", 0x961c8cd5}, {L"scope_preferences", 0xcd14d32d},
    };
    for (const auto& row : rows)
        EXPECT_TRUE(symbolIs(row.name, row.id));
}

TEST(CrcTest, WideVariantsFeedLowThenHighByte) {
    const unsigned char twoBytes[] = {0x41, 0x00};
    const unsigned char oneByte[] = {0x41};
    EXPECT_EQ(zem::crc32(2, twoBytes), zem::crc32String(L"A"));
    EXPECT_EQ(zem::crc32(2, twoBytes), zem::crc32Chars(1, L"AB"));
    EXPECT_EQ(zem::crc32(1, oneByte), zem::crc32UpdateLowBytes(0, L"A"));
    // The standard check value of zlib's CRC-32.
    EXPECT_EQ(0xCBF43926u, zem::crc32(9, "123456789"));
    const wchar_t euro[] = {0x20AC, 0};
    const unsigned char euroBytes[] = {0xAC, 0x20};
    EXPECT_EQ(zem::crc32(2, euroBytes), zem::crc32String(euro));
}

TEST(CrcTest, UpdateCharsContinuesAPrefix) {
    const wchar_t* text = L"source.python.django";
    for (size_t split = 0; split <= 20; ++split)
        EXPECT_EQ(zem::crc32Chars(20, text), zem::crc32UpdateChars(zem::crc32Chars(split, text), 20 - split, text + split))
            << split;
    EXPECT_EQ(0u, zem::crc32Chars(0, text));
}

TEST(CrcTest, NoCaseFoldsAsciiLettersOnly) {
    EXPECT_EQ(zem::crc32String(L"USER:"), zem::crc32StringNoCase(L"user:"));
    const wchar_t lowerE[] = {0xE9, 0}; // é stays as it is
    const wchar_t upperE[] = {0xC9, 0};
    EXPECT_NE(zem::crc32StringNoCase(lowerE), zem::crc32StringNoCase(upperE));
    uint32_t running = zem::crc32StringNoCase(L"us");
    running = zem::crc32UpdateNoCase(running, L'e');
    running = zem::crc32UpdateNoCase(running, L'r');
    EXPECT_EQ(zem::crc32StringNoCase(L"USER"), running);
    EXPECT_EQ(zem::crc32UpdateLowBytes(zem::crc32UpdateLowBytes(0, L"Log"), L"Manager"), zem::symbolId(L"LogManager"));
}

TEST(CrcTest, Crc64IsEcma182WithComplement) {
    // CRC-64 of the UTF-16LE bytes of "USER:", computed independently.
    EXPECT_EQ(0x1d71af2cc9235f30ull, zem::crc64String(L"USER:"));
    EXPECT_EQ(zem::crc64String(L"USER:"), zem::crc64StringNoCase(L"user:"));
    uint64_t running = zem::crc64String(L"ab");
    running = zem::crc64UpdateChar(running, L'c');
    EXPECT_EQ(zem::crc64String(L"abc"), running);
    EXPECT_NE(zem::crc64String(L"root:a"), zem::crc64String(L"user:a"));
}

::testing::AssertionResult flagsAre(wchar_t unit, uint16_t expected) {
    uint16_t actual = zem::getCharFlags(unit);
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "getCharFlags(U+" << std::hex << unsigned(unit) << ") = 0x" << actual
                                         << ", expected 0x" << expected;
}

TEST(CharClassTest, AsciiRowsAndUnicodeCategories) {
    const struct {
        wchar_t unit;
        uint16_t flags;
    } rows[] = {
        {0x00, 0x41},    {0x09, 0xD5},   {0x0D, 0xC5},   {0x1F, 0x41},    {L' ', 0x95},    {L'#', 0x425},
        {L'$', 0x405},   {L'0', 0x1D0D}, {L'9', 0x1D0D}, {L'A', 0x1E0F},  {L'F', 0x1E0F},  {L'G', 0x160F},
        {L'Z', 0x160F},  {L'a', 0x3C0F}, {L'g', 0x340F}, {L'~', 0x405},   {0x7F, 0x41},    {L'_', 0x40D},
        {0x85, 0xC0},    {0x9F, 0x40},   {0xA0, 0x94},   {0xC9, 0x160E},  {0xE9, 0x340E},  {0x4E00, 0x140E},
        {0x3000, 0x94},  {0x0661, 0x150C}, {0x00BF, 0x424},
    };
    for (const auto& row : rows)
        EXPECT_TRUE(flagsAre(row.unit, row.flags));
}

TEST(CharClassTest, WordBoundaries) {
    const struct {
        wchar_t a, b;
        bool boundary;
    } rows[] = {
        {L'a', L'b', false}, {L'a', L' ', true}, {L' ', L' ', false}, {L'a', L'(', true},
        {L'_', L'x', false}, {L'1', L'x', false}, {0x4E00, L'a', false}, {L'(', L')', true},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.boundary, zem::isWordClassBoundary(zem::getCharFlags(row.a), zem::getCharFlags(row.b)))
            << "between U+" << std::hex << unsigned(row.a) << " and U+" << unsigned(row.b);
    }
}

} // namespace
