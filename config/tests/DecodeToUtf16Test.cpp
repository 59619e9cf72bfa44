#include "corvel/text/DecodeToUtf16.h"

#include "corvel/text/CodePages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct DecodeCase {
    const char* what;
    uint32_t codePage;
    std::string bytes;
    bool final;
    std::wstring units;
    size_t consumed;
    size_t room; // 0: room for everything
};

std::string hexUnits(const std::wstring& units) {
    std::string out;
    char buffer[8];
    for (wchar_t unit : units) {
        snprintf(buffer, sizeof buffer, "%04X ", static_cast<unsigned>(unit));
        out += buffer;
    }
    return out;
}

::testing::AssertionResult decodesAs(const DecodeCase& c) {
    std::vector<wchar_t> destination(c.bytes.size() + 8, 0x7777);
    size_t byteCount = c.bytes.size();
    size_t unitCount = c.room ? c.room : destination.size();
    corvel::decodeToUtf16(destination.data(), reinterpret_cast<const uint8_t*>(c.bytes.data()), byteCount, c.codePage,
                          unitCount, c.final);
    const std::wstring units(destination.data(), unitCount);
    if (units == c.units && byteCount == c.consumed)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << c.what << ": gave " << hexUnits(units) << "consuming " << byteCount
                                         << ", expected " << hexUnits(c.units) << "consuming " << c.consumed;
}

const uint32_t UTF8 = corvel::CP_UTF8_PLAIN;

TEST(DecodeToUtf16Test, Utf8) {
    const DecodeCase cases[] = {
        {"ascii", UTF8, "ab\n", false, L"ab\n", 3, 0},
        {"marked code page decodes the same", corvel::CP_UTF8_MARK, "\xC3\xA9", false, L"\x00E9", 2, 0},
        {"four bytes give a pair", UTF8, "\xF0\x9F\x98\x80", false, L"\xD83D\xDE00", 4, 0},
        {"lead without continuation", UTF8, "\xC3\x28", false, L"\xFFFD(", 2, 0},
        {"stray continuation", UTF8, "\x80z", false, L"\xFFFDz", 2, 0},
        {"FE and FF", UTF8, "\xFE\xFF", false, L"\xFFFD\xFFFD", 2, 0},
        {"overlong two-byte, whole sequence", UTF8, "\xC0\xAFz", false, L"\xFFFDz", 3, 0},
        {"overlong three-byte", UTF8, "\xE0\x80\xAFz", false, L"\xFFFDz", 4, 0},
        {"overlong four-byte", UTF8, "\xF0\x80\x80\xAFz", false, L"\xFFFDz", 5, 0},
        {"encoded surrogate", UTF8, "\xED\xA0\x80z", false, L"\xFFFDz", 4, 0},
        {"above U+10FFFF", UTF8, "\xF4\x90\x80\x80z", false, L"\xFFFDz", 5, 0},
        {"five-byte sequence", UTF8, "\xF8\x88\x80\x80\x80z", false, L"\xFFFDz", 6, 0},
        {"non-character FFFE", UTF8, "\xEF\xBF\xBE", false, L"\xFFFD", 3, 0},
        {"sequence cut by the chunk end stays", UTF8, "a\xC3", false, L"a", 1, 0},
        {"three-byte cut after two", UTF8, "a\xE2\x82", false, L"a", 1, 0},
        {"cut sequence at the end of the file", UTF8, "a\xE2\x82", true, L"a\xFFFD", 3, 0},
        {"cut sequence broken before the end", UTF8, "a\xE2z", true, L"a\xFFFDz", 3, 0},
        {"no room for a pair", UTF8, "a\xF0\x9F\x98\x80", false, L"a", 1, 2},
        {"room runs out", UTF8, "abcd", false, L"ab", 2, 2},
    };
    for (const DecodeCase& c : cases)
        EXPECT_TRUE(decodesAs(c));
}

TEST(DecodeToUtf16Test, Utf16AndUtf32) {
    const DecodeCase cases[] = {
        {"UTF-16 LE", corvel::CP_UTF16_LE, std::string("a\0\xAC\x20", 4), false, L"a\x20AC", 4, 0},
        {"UTF-16 BE", corvel::CP_UTF16_BE, std::string("\0a\x20\xAC", 4), false, L"a\x20AC", 4, 0},
        {"UTF-16 odd byte stays", corvel::CP_UTF16_LE, std::string("a\0b", 3), false, L"a", 2, 0},
        {"UTF-16 odd last byte", corvel::CP_UTF16_LE, std::string("a\0b", 3), true, L"a\xFFFD", 3, 0},
        {"UTF-16 room", corvel::CP_UTF16_BE, std::string("\0a\0b", 4), true, L"a", 2, 1},
        {"UTF-32 LE", corvel::CP_UTF32_LE, std::string("a\0\0\0\x00\xF6\x01\0", 8), false, L"a\xD83D\xDE00", 8, 0},
        {"UTF-32 BE", corvel::CP_UTF32_BE, std::string("\0\0\0a\0\x01\xF6\x00", 8), false, L"a\xD83D\xDE00", 8, 0},
        {"UTF-32 surrogate", corvel::CP_UTF32_LE, std::string("\x00\xD8\0\0", 4), false, L"\xFFFD", 4, 0},
        {"UTF-32 above U+10FFFF", corvel::CP_UTF32_BE, std::string("\0\x11\0\0", 4), false, L"\xFFFD", 4, 0},
        {"UTF-32 partial unit stays", corvel::CP_UTF32_LE, std::string("a\0\0\0b\0", 6), false, L"a", 4, 0},
        {"UTF-32 partial unit at the end", corvel::CP_UTF32_LE, std::string("a\0\0\0b\0", 6), true, L"a\xFFFD", 6, 0},
        {"UTF-32 no room for a pair", corvel::CP_UTF32_LE, std::string("\x00\xF6\x01\0", 4), false, L"", 0, 1},
    };
    for (const DecodeCase& c : cases)
        EXPECT_TRUE(decodesAs(c));
}

TEST(DecodeToUtf16Test, PlatformCodePages) {
    const DecodeCase cases[] = {
        {"Latin-1 code page", 1252, "caf\xE9\x80", false, L"caf\x00E9\x20AC", 5, 0},
        {"the whole input is consumed", 1252, "abc", false, L"abc", 3, 0},
        {"double-byte pair", 932, "a\x82\xA0", false, L"a\x3042", 3, 0},
        {"double-byte lead at the chunk end stays", 932, "a\x82\xA0\x82", false, L"a\x3042", 3, 0},
        {"trail byte that looks like a lead", 932, "\x82\x82", false, L"\xFF42", 2, 0},
        {"room cuts before a pair", 932, "a\x82\xA0", false, L"a", 1, 2},
    };
    for (const DecodeCase& c : cases)
        EXPECT_TRUE(decodesAs(c));
}

} // namespace
