#include "zem/text/Inflector.h"

#include "zem/base/Exception.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using zem::Inflector;

std::string narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t unit : text) {
        if (unit >= 32 && unit < 127) {
            out += static_cast<char>(unit);
        } else {
            char hex[12];
            snprintf(hex, sizeof hex, "\\u%04X", static_cast<unsigned>(unit));
            out += hex;
        }
    }
    return out;
}

::testing::AssertionResult formatsAs(const wchar_t* text, unsigned caseFormat, wchar_t separator,
                                     const wchar_t* expected) {
    std::wstring out = L"stale";
    Inflector::formatWords(&out, text, wcslen(text), caseFormat, separator);
    if (out == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << narrow(text) << "\" in format " << caseFormat << " gave \""
                                         << narrow(out) << "\", expected \"" << narrow(expected) << "\"";
}

TEST(InflectorTest, FormatWordsInEachCaseAndSeparator) {
    EXPECT_TRUE(formatsAs(L"hello world", 4, 0, L"helloWorld"));
    EXPECT_TRUE(formatsAs(L"hello world", 3, 0, L"HelloWorld"));
    EXPECT_TRUE(formatsAs(L"hello world", 1, L'_', L"hello_world"));
    EXPECT_TRUE(formatsAs(L"hello world", 2, L' ', L"HELLO WORLD"));
    EXPECT_TRUE(formatsAs(L"  leading", 0, L'-', L"leading"));
    EXPECT_TRUE(formatsAs(L"fooBar", 0, L'-', L"foo-Bar"));
    EXPECT_TRUE(formatsAs(L"HTMLParser", 1, L'_', L"htmlparser"));
    EXPECT_TRUE(formatsAs(L"XMLHttp request", 4, 0, L"xmlhttpRequest"));
    EXPECT_TRUE(formatsAs(L"foo_bar-baz qux", 0, L' ', L"foo bar baz qux"));
    EXPECT_TRUE(formatsAs(L"abc123", 0, L'_', L"abc_123"));
    EXPECT_TRUE(formatsAs(L"Grüße, Welt!", 1, L'-', L"grüße-welt"));
    EXPECT_TRUE(formatsAs(L"", 4, L'_', L""));
    EXPECT_TRUE(formatsAs(L" - _ ", 4, L'_', L""));
}

::testing::AssertionResult splitsAs(const wchar_t* text, const std::wstring& expected) {
    std::vector<Inflector::WordRun> runs;
    Inflector::splitWords(text, wcslen(text), &runs);
    std::wstring actual;
    for (const auto& run : runs)
        actual += L"[" + std::wstring(run.start, run.length) + L":" + std::to_wstring(run.wordClass) + L"]";
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << narrow(text) << "\" split as " << narrow(actual) << ", expected "
                                         << narrow(expected);
}

TEST(InflectorTest, SplitWordsKeepsSeparatorRunsAndClasses) {
    EXPECT_TRUE(splitsAs(L"fooBar", L"[foo:18][Bar:34]"));
    EXPECT_TRUE(splitsAs(L"Abc", L"[Abc:34]"));
    EXPECT_TRUE(splitsAs(L"HTMLParser", L"[HTMLParser:34]"));
    EXPECT_TRUE(splitsAs(L"a_b", L"[a:18][_:4][b:18]"));
    EXPECT_TRUE(splitsAs(L"x, y", L"[x:18][, :4][y:18]"));
    EXPECT_TRUE(splitsAs(L"abc123", L"[abc:18][123:2]"));
    EXPECT_TRUE(splitsAs(L"\x4E2D\x6587", L"[\x4E2D\x6587:2]"));
    EXPECT_TRUE(splitsAs(L"", L""));
}

::testing::AssertionResult transliteratesAs(const std::wstring& text, const char* expected) {
    std::wstring actual = text;
    Inflector::transliterate(actual);
    if (actual == std::wstring(expected, expected + strlen(expected)))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << narrow(text) << "\" gave \"" << narrow(actual) << "\", expected \""
                                         << expected << "\"";
}

TEST(InflectorTest, TransliterationKeepsTheTableConventions) {
    const struct {
        wchar_t unit;
        const char* text;
    } rows[] = {
        {0x00AE, "(R)"}, {0x00BC, "1/4"}, {0x00B2, "^2"},  {0x00C6, "A"},   {0x00DF, "ss"},   {0x0152, "Oe"},
        {0x0416, "Zh"},  {0x0429, "Shh"}, {0x2026, "..."}, {0x20AC, "EUR"}, {0x2122, "[TM]"}, {0x2153, " 1/3"},
        {0x216B, "XII"}, {0x2192, "->"},  {0x2264, "<="},  {0x2460, "(1)"}, {0xFB01, "fi"},   {0xFF21, "A"},
        {0x00E9, "e"},   {0x0436, "zh"},  {0x1E9E, "SS"},  {0x00A0, " "},   {0xFF5A, "z"},    {0x2500, "-"},
    };
    for (const auto& row : rows)
        EXPECT_TRUE(transliteratesAs(std::wstring(1, row.unit), row.text));
    EXPECT_TRUE(transliteratesAs(L"Stra\x00DF"
                                 L"e \x20AC"
                                 L"5",
                                 "Strasse EUR5"));
    // Units without an entry are dropped, DEL included.
    EXPECT_TRUE(transliteratesAs(L"a\x4E2D"
                                 L"b\x007F"
                                 L"c\x00A4",
                                 "abc"));
    EXPECT_TRUE(transliteratesAs(L"", ""));
}

TEST(InflectorTest, TableCoversOnlyItsRangesWithPlainAscii) {
    unsigned entries = 0;
    for (unsigned unit = 0x7F; unit <= 0xFFFF; ++unit) {
        const char* text = Inflector::findTransliteration(static_cast<wchar_t>(unit));
        if (!text)
            continue;
        ++entries;
        EXPECT_TRUE(unit >= 0xA0 && unit <= 0xFF5A) << std::hex << unit;
        EXPECT_NE('\0', text[0]) << std::hex << unit;
        for (const char* p = text; *p; ++p)
            EXPECT_TRUE(*p >= 32 && *p <= 126) << std::hex << unit;
    }
    // Latin-1 Supplement to the end of IPA is complete but for the currency sign.
    for (unsigned unit = 0xA0; unit <= 0x2AF; ++unit)
        EXPECT_EQ(unit != 0xA4, Inflector::findTransliteration(static_cast<wchar_t>(unit)) != nullptr)
            << std::hex << unit;
    EXPECT_GT(entries, 1700u);
}

TEST(InflectorTest, CaseHelpers) {
    std::wstring text = L"hELLO";
    EXPECT_TRUE(Inflector::capitalize(text));
    EXPECT_EQ(L"Hello", text);
    text.clear();
    EXPECT_TRUE(Inflector::capitalize(text));
    EXPECT_EQ(L"", text);
    text = L"\x00E9t\x00C9";
    Inflector::applyCase(Inflector::CASE_UPPER, text);
    EXPECT_EQ(L"\x00C9T\x00C9", text);
    Inflector::applyCase(Inflector::CASE_CAMEL, text);
    EXPECT_EQ(L"\x00E9t\x00E9", text);
    EXPECT_THROW(Inflector::applyCase(5, text), zem::AssertionViolationException);
    std::wstring out;
    Inflector::underscore(L"MyClass name", &out);
    EXPECT_EQ(L"my_class_name", out);
}

TEST(InflectorTest, FilterKeepsWhatThePredicateAccepts) {
    std::wstring text = L"a.b c-d_\x00E9!9";
    Inflector::filter(text, Inflector::isAsciiWordOrSeparator);
    EXPECT_EQ(L"ab c-d_9", text);
    text = L"a.b_\x00E9!";
    Inflector::filter(text, Inflector::isWordCharacter);
    EXPECT_EQ(L"ab_\x00E9", text);
}

::testing::AssertionResult pluralOf(const wchar_t* word, const wchar_t* expected) {
    std::wstring actual = Inflector::pluralize(word);
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << narrow(word) << " gave " << narrow(actual) << ", expected "
                                         << narrow(expected);
}

TEST(InflectorTest, PluralizeEnglishNouns) {
    EXPECT_TRUE(pluralOf(L"Snippet", L"Snippets"));
    EXPECT_TRUE(pluralOf(L"Grammar", L"Grammars"));
    EXPECT_TRUE(pluralOf(L"class", L"classes"));
    EXPECT_TRUE(pluralOf(L"Box", L"Boxes"));
    EXPECT_TRUE(pluralOf(L"quiz", L"quizes"));
    EXPECT_TRUE(pluralOf(L"Match", L"Matches"));
    EXPECT_TRUE(pluralOf(L"Wish", L"Wishes"));
    EXPECT_TRUE(pluralOf(L"Month", L"Months"));
    EXPECT_TRUE(pluralOf(L"Entry", L"Entries"));
    EXPECT_TRUE(pluralOf(L"Key", L"Keys"));
    EXPECT_TRUE(pluralOf(L"ENTRY", L"ENTRIES"));
    EXPECT_TRUE(pluralOf(L"y", L"ys"));
    // A kind named in the plural once showed in the bundle editor as "preferenceses".
    EXPECT_TRUE(pluralOf(L"preferences", L"preferences"));
    EXPECT_TRUE(pluralOf(L"Settings", L"Settings"));
    EXPECT_TRUE(pluralOf(L"bus", L"buses"));
    EXPECT_TRUE(pluralOf(L"Status", L"Statuses"));
    EXPECT_TRUE(pluralOf(L"gas", L"gases"));
    EXPECT_TRUE(pluralOf(L"", L""));
}

} // namespace
