#include "corvel/text/Utf8Text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Utf8Case {
    std::string bytes;
    bool isUtf8;
    const char* why;
};

::testing::AssertionResult readsAs(const Utf8Case& c) {
    const bool answer = corvel::isUtf8Text(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size());
    if (answer == c.isUtf8)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << c.why << ": answered " << answer;
}

TEST(Utf8TextTest, AcceptsWellFormedTextWithAMultiByteSequence) {
    const Utf8Case cases[] = {
        {"caf\xC3\xA9", true, "two-byte sequence"},
        {"\xE2\x82\xAC", true, "three-byte sequence"},
        {"\xE0\xA0\x80", true, "smallest three-byte value with lead E0"},
        {"\xED\x9F\xBF", true, "last value before the surrogates"},
        {"\xEF\xBF\xBD", true, "replacement character"},
        {"\xF0\x9F\x98\x80", true, "four-byte sequence"},
        {"\xF4\x8F\xBF\xBF", true, "U+10FFFF"},
        {"\xC3\xA9\xC3", true, "cut after a complete sequence"},
        {"\xE2\x82\xAC\xF0\x9F", true, "cut four-byte sequence after a complete one"},
        {"plain ascii", false, "no multi-byte sequence"},
        {"", false, "empty"},
        {"caf\xC3", false, "a single cut sequence, which an ANSI file ending in an accented letter looks like"},
        {"caf\xE9", false, "ANSI accented letter at the end"},
        {"\xE9t\xE9", false, "ANSI accented letters"},
        {"\xC0\x80", false, "overlong NUL"},
        {"\xC1\xBF", false, "overlong two-byte"},
        {"\xE0\x80\xAF", false, "overlong three-byte"},
        {"\xE0\x9F\xBF", false, "overlong three-byte at the limit"},
        {"\xF0\x8F\xBF\xBF", false, "overlong four-byte"},
        {"\xED\xA0\x80", false, "high surrogate"},
        {"\xED\xBF\xBF", false, "low surrogate"},
        {"\xF4\x90\x80\x80", false, "above U+10FFFF"},
        {"\xF5\x80\x80\x80", false, "lead F5"},
        {"\xFE", false, "FE"},
        {"\x80"
         "abc",
         false, "continuation at a start"},
        {"\xC3\x28", false, "lead without continuation"},
        {std::string("\xC3\xA9\x00z", 4), false, "zero byte"},
        {std::string("\xC3\xA9\xE2\x00", 4), false, "zero byte inside a cut sequence"},
        {"\xC3\xA9\xE0\x80", false, "cut sequence already overlong"},
    };
    for (const Utf8Case& c : cases)
        EXPECT_TRUE(readsAs(c));
}

} // namespace
