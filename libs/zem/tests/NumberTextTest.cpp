#include "zem/text/StringUtil.h"

#include "zem/base/Exception.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

namespace {

std::string narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text)
        out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

struct IntFormatCase {
    int64_t value;
    int radix;
    int minWidth;
    const wchar_t* expected;
};

::testing::AssertionResult formatsInt64(const IntFormatCase& c) {
    std::wstring out = L"<";
    zem::formatInt64(out, c.value, c.radix, c.minWidth);
    if (out == std::wstring(L"<") + c.expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "formatInt64(" << c.value << ", radix " << c.radix << ", width "
                                         << c.minWidth << ") gave " << narrow(out) << ", expected <"
                                         << narrow(c.expected);
}

TEST(NumberTextFormatInt, RadixWidthAndSign) {
    const IntFormatCase cases[] = {
        {0, 2, 0, L"0"},
        {-1, 10, 1, L"-1"},
        {-5, 10, 3, L"-05"},
        {255, 16, 4, L"00FF"},
        {255, 16, 0, L"FF"},
        {31, 32, 0, L"V"},
        {32, 33, 0, L"10"}, // radix above 32 is taken as 32
        {5, 10, -3, L"5"},
        {12345, 10, 3, L"12345"},
        {INT64_MAX, 10, 0, L"9223372036854775807"},
        {INT64_MIN + 1, 10, 0, L"-9223372036854775807"},
        {INT64_MAX, 2, 0, L"111111111111111111111111111111111111111111111111111111111111111"},
        {1, 10, 64, L"0000000000000000000000000000000000000000000000000000000000000001"},
        {1, 10, 65, L"0000000000000000000000000000000000000000000000000000000000000001"}, // width clamped to 64
    };
    for (const IntFormatCase& c : cases)
        EXPECT_TRUE(formatsInt64(c));
}

TEST(NumberTextFormatInt, UnsignedAndIntForms) {
    std::wstring out;
    zem::formatUInt(out, 4294967295u, 16, 10);
    EXPECT_EQ(L"00FFFFFFFF", out);
    out.clear();
    zem::formatInt(out, INT32_MIN, 10);
    EXPECT_EQ(L"-2147483648", out);
}

TEST(NumberTextFormatInt, MostNegativeValueAndRadixBelowTwoAreAssertions) {
    std::wstring out;
    EXPECT_THROW(zem::formatInt64(out, INT64_MIN, 10, 0), zem::AssertionViolationException);
    EXPECT_THROW(zem::formatInt64(out, 5, 1, 0), zem::AssertionViolationException);
}

struct ParseIntCase {
    const wchar_t* text;
    bool ok;
    int64_t value; // checked when ok
};

::testing::AssertionResult parsesInt(const ParseIntCase& c) {
    int value = 0;
    const bool ok = zem::parseInt(c.text, std::wcslen(c.text), &value);
    if (ok == c.ok && (!ok || value == c.value))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "parseInt(\"" << narrow(c.text) << "\") gave " << ok << "/" << value
                                         << ", expected " << c.ok << "/" << c.value;
}

::testing::AssertionResult parsesUInt(const ParseIntCase& c) {
    unsigned value = 0;
    const bool ok = zem::parseUInt(c.text, std::wcslen(c.text), &value);
    if (ok == c.ok && (!ok || value == static_cast<uint64_t>(c.value)))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "parseUInt(\"" << narrow(c.text) << "\") gave " << ok << "/" << value
                                         << ", expected " << c.ok << "/" << c.value;
}

TEST(NumberTextParseInt, WholeTextDecimalInRange) {
    const ParseIntCase cases[] = {
        {L"", false, 0},
        {L" 5", false, 0},
        {L"5 ", false, 0},
        {L"0x10", false, 0},
        {L"2147483648", false, 0},
        {L"-2147483649", false, 0},
        {L"-2147483648", true, INT32_MIN},
        {L"2147483647", true, INT32_MAX},
        {L"+7", true, 7},
        {L"-0", true, 0},
        {L"007", true, 7},
        {L"-", false, 0},
        {L"+", false, 0},
        {L"+-5", false, 0},
        {L"5.0", false, 0},
        {L"99999999999999999999999", false, 0},
        {L"\x0661", false, 0}, // Arabic-Indic one
    };
    for (const ParseIntCase& c : cases)
        EXPECT_TRUE(parsesInt(c));
}

TEST(NumberTextParseInt, UnsignedWrapsNegativeLikeTheRuntime) {
    const ParseIntCase cases[] = {
        {L"4294967295", true, 4294967295u},
        {L"4294967296", false, 0},
        {L"-1", true, 4294967295u},
        {L"-4294967295", true, 1},
        {L"-4294967296", false, 0},
        {L"+0", true, 0},
        {L"\t1", false, 0},
    };
    for (const ParseIntCase& c : cases)
        EXPECT_TRUE(parsesUInt(c));
}

// Caught: the runtime's conversion went on past the given length into the digits after it.
TEST(NumberTextParseInt, ReadsOnlyTheGivenLength) {
    const wchar_t text[] = L"12345";
    int value = 0;
    EXPECT_TRUE(zem::parseInt(text, 3, &value));
    EXPECT_EQ(123, value);
    unsigned uvalue = 0;
    EXPECT_TRUE(zem::parseUInt(text, 2, &uvalue));
    EXPECT_EQ(12u, uvalue);
    double dvalue = 0;
    EXPECT_TRUE(zem::parseDouble(L"1.25e3", 4, &dvalue));
    EXPECT_EQ(1.25, dvalue);
    const wchar_t embeddedNul[] = {L'1', 0, L'2'};
    EXPECT_FALSE(zem::parseInt(embeddedNul, 3, &value));
    EXPECT_TRUE(zem::parseInt(std::wstring(L"-42"), &value));
    EXPECT_EQ(-42, value);
}

TEST(NumberTextParseInt, NullOutputIsAnAssertion) {
    EXPECT_THROW(zem::parseInt(L"1", 1, nullptr), zem::AssertionViolationException);
    EXPECT_THROW(zem::parseDouble(L"1", 1, nullptr), zem::AssertionViolationException);
}

struct ParseDoubleCase {
    const wchar_t* text;
    bool ok;
    double value;
};

::testing::AssertionResult parsesDouble(const ParseDoubleCase& c) {
    double value = 0;
    const bool ok = zem::parseDouble(c.text, std::wcslen(c.text), &value);
    const bool sameValue = std::memcmp(&value, &c.value, sizeof(double)) == 0;
    if (ok == c.ok && (!ok || sameValue))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "parseDouble(\"" << narrow(c.text) << "\") gave " << ok << "/" << value
                                         << ", expected " << c.ok << "/" << c.value;
}

TEST(NumberTextParseDouble, DecimalAndExponentForms) {
    const ParseDoubleCase cases[] = {
        {L"1e999", false, 0},
        {L"-1e999", false, 0},
        {L"1e308", true, 1e308},
        {L"-0", true, -0.0},
        {L"0.1", true, 0.1},
        {L".5", true, 0.5},
        {L"5.", true, 5.0},
        {L"+2.5E-3", true, 2.5e-3},
        {L"1e23", true, 1e23},
        {L"2.2250738585072011e-308", true, 2.2250738585072011e-308},
        {L"123456789012345678901234567890", true, 123456789012345678901234567890.0},
        {L"", false, 0},
        {L" 1", false, 0},
        {L"1 ", false, 0},
        {L".", false, 0},
        {L"e5", false, 0},
        {L"1e", false, 0},
        {L"1e+", false, 0},
        {L"0x10", false, 0},
        {L"inf", false, 0},
        {L"nan", false, 0},
        {L"1.2.3", false, 0},
    };
    for (const ParseDoubleCase& c : cases)
        EXPECT_TRUE(parsesDouble(c));
}

::testing::AssertionResult formatsDouble(double value, const wchar_t* expected) {
    std::wstring out;
    zem::formatDouble(value, out);
    if (out == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "formatDouble(" << value << ") gave " << narrow(out) << ", expected "
                                         << narrow(expected);
}

TEST(NumberTextFormatDouble, ShortestFormAndExponentRules) {
    EXPECT_TRUE(formatsDouble(0.1, L".1"));
    EXPECT_TRUE(formatsDouble(-0.0, L"-0"));
    EXPECT_TRUE(formatsDouble(0.0, L"0"));
    EXPECT_TRUE(formatsDouble(0.0001, L".0001"));
    EXPECT_TRUE(formatsDouble(0.00001, L"1e-05"));
    EXPECT_TRUE(formatsDouble(0.000123, L".000123"));
    EXPECT_TRUE(formatsDouble(0.0000123, L"1.23e-05"));
    EXPECT_TRUE(formatsDouble(123456789012.0, L"123456789012"));
    EXPECT_TRUE(formatsDouble(123.5, L"123.5"));
    EXPECT_TRUE(formatsDouble(100, L"100"));
    EXPECT_TRUE(formatsDouble(100000, L"100000")); // e = n + 5
    EXPECT_TRUE(formatsDouble(1e6, L"1e+06"));     // e = n + 6
    EXPECT_TRUE(formatsDouble(1250000, L"1250000"));
    EXPECT_TRUE(formatsDouble(12500000, L"12500000"));  // e = n + 5
    EXPECT_TRUE(formatsDouble(125000000, L"1.25e+08")); // e = n + 6
    EXPECT_TRUE(formatsDouble(1e21, L"1e+21"));
    EXPECT_TRUE(formatsDouble(1e100, L"1e+100"));
    EXPECT_TRUE(formatsDouble(-1.5, L"-1.5"));
    EXPECT_TRUE(formatsDouble(1.7976931348623157e308, L"1.7976931348623157e+308"));
    EXPECT_TRUE(formatsDouble(5e-324, L"5e-324"));
    EXPECT_TRUE(formatsDouble(0.3, L".3"));
    EXPECT_TRUE(formatsDouble(1.0 / 3, L".3333333333333333"));
    EXPECT_TRUE(formatsDouble(HUGE_VAL, L"Infinity"));
    EXPECT_TRUE(formatsDouble(-HUGE_VAL, L"-Infinity"));
    EXPECT_TRUE(formatsDouble(std::nan(""), L"NaN"));
}

// Every finite double must come back bit for bit: the writers rely on it.
TEST(NumberTextFormatDouble, RandomValuesReadBackExactly) {
    std::mt19937_64 random(20240611);
    for (int i = 0; i < 20000; ++i) {
        uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof(value));
        if (!std::isfinite(value))
            continue;
        std::wstring text;
        zem::formatDouble(value, text);
        double back = 0;
        ASSERT_TRUE(zem::parseDouble(text, &back)) << narrow(text);
        ASSERT_EQ(0, std::memcmp(&value, &back, sizeof(double))) << narrow(text);
    }
}

TEST(NumberTextConversion, AppendAsciiTakesBytesAsUnits) {
    std::wstring out = L"x";
    zem::appendAscii("a\xE9z", out);
    EXPECT_EQ(std::wstring(L"xa\x00E9z"), out);
    zem::appendAscii(nullptr, out);
    EXPECT_EQ(4u, out.size());
}

struct Utf8Case {
    const char* bytes;
    size_t length;
    const wchar_t* expected;
};

::testing::AssertionResult decodesUtf8(const Utf8Case& c) {
    std::wstring out = L"old";
    zem::decodeUtf8(c.bytes, c.length, out);
    if (out == c.expected)
        return ::testing::AssertionSuccess();
    std::string hex;
    for (wchar_t u : out) {
        char unit[8];
        std::snprintf(unit, sizeof(unit), "%04X ", static_cast<unsigned>(u));
        hex += unit;
    }
    return ::testing::AssertionFailure() << "decodeUtf8 of " << c.length << " bytes gave " << hex;
}

TEST(NumberTextConversion, DecodeUtf8ReplacesAndSubstitutesMalformedBytes) {
    const Utf8Case cases[] = {
        {"", 0, L""},
        {"abc", 3, L"abc"},
        {"\xC3\xA9", 2, L"\x00E9"},
        {"\xF0\x9F\x98\x80", 4, L"\xD83D\xDE00"},
        {"\xEF\xBB\xBF"
         "a",
         4,
         L"\xFEFF"
         L"a"}, // named UTF-8 keeps a mark as text
        {"a\xFF"
         "b",
         3,
         L"a\xFFFD"
         L"b"},
        {"\xE2\x82", 2, L"\xFFFD"},                 // cut at the end
        {"\xED\xA0\x80", 3, L"\xFFFD\xFFFD\xFFFD"}, // encoded surrogate
    };
    for (const Utf8Case& c : cases)
        EXPECT_TRUE(decodesUtf8(c));
    std::wstring out;
    zem::decodeUtf8("a\0b", 3, out);
    EXPECT_EQ(std::wstring(L"a\0b", 3), out);
}

} // namespace
