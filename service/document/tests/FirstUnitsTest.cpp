#include "corvel/document/FirstUnits.h"

#include "zem/text/RegEx.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using corvel::FirstUnits;

struct FirstCase {
    const wchar_t* pattern;
    uint32_t options;
    const wchar_t* starts;    // units a match may start with (each must meet the set)
    const wchar_t* notStarts; // units it cannot start with (none may); null: the set is "any unit"
};

::testing::AssertionResult readsAs(const FirstCase& c) {
    FirstUnits first = FirstUnits::of(c.pattern, c.options);
    if (!c.notStarts) {
        if (first.isAny())
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "not read as any unit";
    }
    for (const wchar_t* unit = c.starts; *unit; ++unit) {
        if (!first.meets(FirstUnits::presentIn(unit, 1)))
            return ::testing::AssertionFailure() << "misses unit " << int(*unit);
    }
    for (const wchar_t* unit = c.notStarts; *unit; ++unit) {
        if (first.meets(FirstUnits::presentIn(unit, 1)))
            return ::testing::AssertionFailure() << "takes unit " << int(*unit);
    }
    return ::testing::AssertionSuccess();
}

// A set that misses a unit a match can start with would hide that match from the parser.
TEST(FirstUnitsTest, PatternsStartWithTheUnitsTheirSyntaxAllows) {
    const FirstCase cases[] = {
        {L"/\\*", 0, L"/", L"*a"},
        {L"\\b(?:if|else)\\b", 0, L"ie", L"xf"},
        {L"(?<!\\w)\\.[0-9]", 0, L".", L"a0"},
        {L"a?b", 0, L"ab", L"c"},
        {L"\\s*#", 0, L" \t#", L"x"},
        {L"[a-c\\d]+", 0, L"ab5", L"d"},
        {L"(?=a)b", 0, L"b", L"c"},
        {L"(?<name>x)|[-y]", 0, L"xy-", L"z"},
        {L"\u00e9t\u00e9", 0, L"\u00e9\u4e00", L"e"},
        {L"\\w", 0, L"a_Z\u00e9", L"-"},
        {L"[^a]", 0, L"", nullptr},
        {L"a*", 0, L"", nullptr},
        {L"x|", 0, L"", nullptr},
        {L"(?i)if", 0, L"", nullptr},
        {L"if", zem::REGEX_IGNORE_CASE, L"", nullptr},
        {L"\\1x", 0, L"", nullptr},
        {L"[]a]", 0, L"", nullptr},
        {L"\\h", 0, L"", nullptr},
        {L".", 0, L"", nullptr},
    };
    for (const FirstCase& c : cases)
        EXPECT_TRUE(readsAs(c)) << std::string(c.pattern, c.pattern + wcslen(c.pattern)).c_str();
}

} // namespace
