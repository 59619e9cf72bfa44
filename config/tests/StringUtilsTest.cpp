#include "corvel/text/StringUtils.h"

#include <gtest/gtest.h>

#include <string>

using namespace corvel;

namespace {

struct DecodeCase {
    const char* name;
    std::string bytes;
    std::wstring expected;
};

::testing::AssertionResult decodesAs(const DecodeCase& c) {
    std::wstring out = L">";
    if (!decodeText(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size(), out))
        return ::testing::AssertionFailure() << c.name << ": conversion failed";
    if (out == L">" + c.expected)
        return ::testing::AssertionSuccess();
    std::string units;
    for (wchar_t u : out)
        units += std::to_string(static_cast<unsigned>(u)) + " ";
    return ::testing::AssertionFailure() << c.name << ": got units " << units;
}

} // namespace

TEST(StringUtilsTest, DecodeTextPicksTheEncodingAndFoldsBreaks) {
    const DecodeCase cases[] = {
        {"UTF-16 LE mark", std::string("\xff\xfe" "a\0\r\0\n\0b\0", 10), L"a\nb"},
        {"UTF-16 BE mark", std::string("\xfe\xff\0a\0\r\0c", 8), L"a\nc"},
        {"UTF-8 mark", "\xef\xbb\xbfx\ry", L"x\ny"},
        {"UTF-8 without mark", "caf\xc3\xa9\r\n", L"caf\x00e9\n"},
        {"Hindi without mark", "\xe0\xa4\xb9", L"\x0939"},
        {"emoji without mark", "\xf0\x9f\x98\x80", L"\xd83d\xde00"},
        {"UTF-32 LE mark", std::string("\xff\xfe\0\0" "A\0\0\0", 8), L"A"},
        {"plain ASCII", "a\n\nb", L"a\n\nb"},
        {"mark only", "\xff\xfe", L""},
        {"empty", "", L""},
    };
    for (const DecodeCase& c : cases)
        EXPECT_TRUE(decodesAs(c));
    // Not UTF-8: read in the ANSI code page, whatever that is, one unit per byte here.
    std::wstring ansi;
    ASSERT_TRUE(decodeText(reinterpret_cast<const uint8_t*>("caf\xe9"), 4, ansi));
    EXPECT_EQ(4u, ansi.size());
    EXPECT_EQ(L"caf", ansi.substr(0, 3));
}

TEST(StringUtilsTest, BlanksAndTrim) {
    EXPECT_TRUE(hasNonBlank(L"  x", 3));
    EXPECT_FALSE(hasNonBlank(L"  x", 2));
    EXPECT_FALSE(hasNonBlank(L" \0x", 3)); // stops at the zero unit
    EXPECT_FALSE(hasNonBlank(nullptr, 3));
    EXPECT_FALSE(hasNonBlank(L"x", 0));
    EXPECT_EQ(2, countLeadingBlanks(L" \tx", 3));
    EXPECT_EQ(1, countLeadingBlanks(L" \r x", 4));
    EXPECT_EQ(0, countLeadingBlanks(nullptr, 4));
    EXPECT_EQ(1, lengthWithoutTrailingBlanks(4, L"x \r\n"));
    std::wstring text = L" \t x \r\n";
    trim(text);
    EXPECT_EQ(L"x", text);
    std::wstring blank = L"   ";
    trim(blank);
    EXPECT_EQ(L"", blank);
}

TEST(StringUtilsTest, Indentation) {
    EXPECT_EQ(-1, measureIndent(3, L"   ", 4, false));
    EXPECT_EQ(3, measureIndent(3, L"   ", 4, true));
    EXPECT_EQ(6, measureIndent(6, L"  \t  x", 4, false));
    EXPECT_EQ(8, measureIndent(3, L"\t\tx", 4, false));
    EXPECT_EQ(2, measureIndent(3, L"\t\tx", 0, false)); // no division by a zero tab width
    std::wstring indent;
    makeIndent(10, 4, indent);
    EXPECT_EQ(L"\t\t  ", indent);
    indent.clear();
    makeIndent(3, 0, indent);
    EXPECT_EQ(L"   ", indent);
}

TEST(StringUtilsTest, NumbersAndCase) {
    std::wstring out;
    appendInteger(-42, out, 10);
    out += L",";
    appendInteger(255, out, 16);
    out += L",";
    appendInteger(-1, out, 16);
    out += L",";
    appendInteger(INT32_MIN, out, 10);
    EXPECT_EQ(L"-42,ff,ffffffff,-2147483648", out);
    EXPECT_TRUE(isInteger(L"-12"));
    EXPECT_FALSE(isInteger(L"12a"));
    EXPECT_FALSE(isInteger(L""));
    EXPECT_FALSE(isInteger(nullptr));
    EXPECT_FALSE(isInteger(L"-"));
    EXPECT_EQ(L'A', toUpperUnit(L'a'));
    EXPECT_EQ(L'1', toUpperUnit(L'1'));
}

TEST(StringUtilsTest, LineBreaksAndEscapes) {
    std::wstring out = L">";
    normalizeLineBreaks(L"a\r\nb\rc\n\n", out);
    EXPECT_EQ(L">a\nb\nc\n\n", out);
    toCrLf(out, L"a\nb\r\n");
    EXPECT_EQ(L"a\r\nb\r\r\n", out);
    std::wstring escaped;
    escapeControls(L"a\tb\r\n\x1b\x01z", escaped);
    EXPECT_EQ(L"a\\tb\\r\\n\\x1b\\x1z", escaped);
}

TEST(StringUtilsTest, HexDump) {
    uint8_t bytes[20];
    for (int i = 0; i < 20; ++i)
        bytes[i] = static_cast<uint8_t>(i < 16 ? 0x41 + i : (i == 16 ? 0x00 : 0x7a + i));
    std::wstring out;
    hexDump(bytes, 20, out, L"> ");
    EXPECT_EQ(L"> 0000: 41 42 43 44| 45 46 47 48| 49 4A 4B 4C| 4D 4E 4F 50|  ABCDEFGHIJKLMNOP\n"
              L"> 0010: 00 8B 8C 8D|            |            |            |  ....\n",
              out);
    std::wstring partial;
    hexDump(bytes, 3, partial, nullptr);
    EXPECT_EQ(L"0000: 41 42 43   |            |            |            |  ABC\n", partial);
}

TEST(StringUtilsTest, FormatCutsAt4095Units) {
    std::wstring out = L"old";
    format(out, L"%s=%d", L"x", 5);
    EXPECT_EQ(L"x=5", out);
    std::wstring big(5000, L'y');
    format(out, L"%s", big.c_str());
    EXPECT_EQ(4095u, out.size());
    EXPECT_EQ(big.substr(0, 4095), out);
}

TEST(StringUtilsTest, FileSuffix) {
    EXPECT_TRUE(matchesFileSuffix(L"Makefile", L"Makefile"));
    EXPECT_TRUE(matchesFileSuffix(L"a.txt", L"txt"));
    EXPECT_TRUE(matchesFileSuffix(L"dir/Makefile", L"Makefile"));
    EXPECT_TRUE(matchesFileSuffix(L"dir\\Makefile", L"Makefile"));
    EXPECT_FALSE(matchesFileSuffix(L"atxt", L"txt"));
    EXPECT_FALSE(matchesFileSuffix(L"a.TXT", L"txt"));
    EXPECT_FALSE(matchesFileSuffix(L"t", L"txt"));
}
