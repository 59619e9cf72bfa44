#include "zem/text/TextEncoding.h"

#include "zem/text/StreamTextReader.h"
#include "zem/text/StreamTextWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

namespace {

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

struct NameCase {
    const wchar_t* name;
    const wchar_t* canonical; // ICU's name of the converter
    const char* preamble;
    size_t preambleLength;
};

::testing::AssertionResult opens(const NameCase& c) {
    const zem::TextEncodingPtr encoding = zem::TextEncoding::forName(c.name);
    if (!encoding)
        return ::testing::AssertionFailure() << "\"" << narrow(c.name) << "\" did not open";
    size_t length = 99;
    const uint8_t* preamble = encoding->getPreamble(&length);
    const bool samePreamble = length == c.preambleLength &&
                              (length == 0 ? preamble == nullptr : std::memcmp(preamble, c.preamble, length) == 0);
    if (encoding->getName() == c.canonical && samePreamble)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << narrow(c.name) << "\" opened " << narrow(encoding->getName())
                                         << " with a preamble of " << length << " bytes";
}

TEST(TextEncodingTest, UnicodeNamesAndTheirVariantsOpenWithTheirPreamble) {
    const NameCase cases[] = {
        {L"UTF-8", L"UTF-8", "\xEF\xBB\xBF", 3},
        {L"utf-8", L"UTF-8", "\xEF\xBB\xBF", 3},
        {L"UTF-16LE", L"UTF-16LE", "\xFF\xFE", 2},
        {L"utf-16le", L"UTF-16LE", "\xFF\xFE", 2},
        {L"UTF16-LE", L"UTF-16LE", "\xFF\xFE", 2},
        {L"UTF-16BE", L"UTF-16BE", "\xFE\xFF", 2},
        {L"UTF-16", L"UTF-16", "\xFF\xFE", 2},
        {L"UTF-32LE", L"UTF-32LE", "\xFF\xFE\x00\x00", 4},
        {L"UTF-32BE", L"UTF-32BE", "\x00\x00\xFE\xFF", 4},
        {L"UTF-32", L"UTF-32", "\xFF\xFE\x00\x00", 4},
        {L"US-ASCII", L"US-ASCII", "", 0},
        {L"ISO-8859-1", L"ISO-8859-1", "", 0},
    };
    for (const NameCase& c : cases)
        EXPECT_TRUE(opens(c));
}

TEST(TextEncodingTest, UnknownNamesGiveNoEncoding) {
    const wchar_t* names[] = {
        L"", L"no-such-encoding", L"UTF-99", L"UTF-8\x00E9",
        L"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"};
    for (const wchar_t* name : names)
        EXPECT_FALSE(zem::TextEncoding::forName(name)) << narrow(name);
    EXPECT_FALSE(zem::TextEncoding::forName(static_cast<const wchar_t*>(nullptr)));
}

TEST(TextEncodingTest, SizesOfTheUnicodeConverters) {
    EXPECT_EQ(1, zem::TextEncoding::forName(L"UTF-8")->getMinCharSize());
    EXPECT_EQ(2, zem::TextEncoding::forName(L"UTF-16LE")->getMinCharSize());
    EXPECT_EQ(4, zem::TextEncoding::forName(L"UTF-32BE")->getMaxCharSize());
}

// The converter tables and the alias table are ICU data, not code: a build linked with
// ICU's empty stub data opens only the Unicode converters.
TEST(TextEncodingTest, CodePageConvertersAndAliasesAreLinkedIn) {
    const NameCase cases[] = {
        {L"windows-1252", L"ibm-5348_P100-1997", "", 0},
        {L"cp1252", L"ibm-5348_P100-1997", "", 0},
        {L"windows-1251", L"ibm-5347_P100-1998", "", 0},
        {L"latin1", L"ISO-8859-1", "", 0},
        {L"ibm-437", L"ibm-437_P100-1995", "", 0},
        {L"Shift_JIS", L"ibm-943_P15A-2003", "", 0},
        {L"GBK", L"windows-936-2000", "", 0},
        {L"UTF8", L"UTF-8", "\xEF\xBB\xBF", 3},
    };
    for (const NameCase& c : cases)
        EXPECT_TRUE(opens(c)) << "the linked ICU data lacks converters or aliases";
}

TEST(TextEncodingTest, CodePageTextRoundTrips) {
    const zem::TextEncodingPtr cp1252 = zem::TextEncoding::forName(L"windows-1252");
    ASSERT_TRUE(cp1252) << "the linked ICU data lacks the code page converters";
    std::istringstream input("\x80 caf\xE9");
    zem::StreamTextReader reader(input, cp1252);
    std::wstring text;
    reader.readAll(text);
    EXPECT_EQ(L"\x20AC caf\x00E9", text);

    std::ostringstream output;
    zem::StreamTextWriter writer(output, zem::TextEncoding::forName(L"cp1252"));
    writer.write(L"\x20AC caf\x00E9 \x4E2D"); // the last has no byte in the code page
    writer.close();
    EXPECT_EQ("\x80 caf\xE9 \x1A", output.str());
}

} // namespace
