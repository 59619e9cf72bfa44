#include "corvel/ui/afKey.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <set>
#include <string>

using corvel::afKey;

namespace {

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

::testing::AssertionResult parsesAs(const wchar_t* text, int expected) {
    int actual = afKey::parse(text, wcslen(text));
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << narrow(text) << "\" parsed to 0x" << std::hex << actual
                                         << ", expected 0x" << expected;
}

::testing::AssertionResult formatsAs(int code, const wchar_t* expected, bool expectedResult) {
    std::wstring text = L"stale";
    bool result = afKey::appendText(code, text);
    if (text == expected && result == expectedResult)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "0x" << std::hex << code << " formatted as \"" << narrow(text) << "\" ("
                                         << result << "), expected \"" << narrow(expected) << "\" (" << expectedResult
                                         << ")";
}

TEST(afKeyTest, NameTableHoldsUniqueNames) {
    std::set<std::wstring> names;
    int count = 0;
    for (const wchar_t* name : corvel::afKeyNames) {
        if (!name)
            continue;
        ++count;
        names.insert(name);
    }
    EXPECT_EQ(189, count);
    EXPECT_EQ(189u, names.size());
    EXPECT_STREQ(L"\\", corvel::afKeyNames[0xDC]);
    EXPECT_STREQ(L"+", corvel::afKeyNames[0xBB]);
    EXPECT_STREQ(L"F24", corvel::afKeyNames[0x87]);
    EXPECT_STREQ(L"Num-9", corvel::afKeyNames[0x69]);
}

TEST(afKeyTest, ParsesKeyText) {
    EXPECT_TRUE(parsesAs(L"Ctrl+Shift+Z", 0x35A));
    EXPECT_TRUE(parsesAs(L"Ctrl+Shift+Alt+A", 0x741));
    EXPECT_TRUE(parsesAs(L"Shift+Ctrl+Home", 0x324));
    EXPECT_TRUE(parsesAs(L"Ctrl+Shift", 0x310)); // modifiers only: the last one is the key
    EXPECT_TRUE(parsesAs(L"Ctrl+", 0x111));      // one trailing plus is ignored
    EXPECT_TRUE(parsesAs(L"Ctrl++", 0x1BB));
    EXPECT_TRUE(parsesAs(L"+", 0xBB));
    EXPECT_TRUE(parsesAs(L"A+B", 0x42));
    EXPECT_TRUE(parsesAs(L"R-Alt+X", 0x858));
    EXPECT_TRUE(parsesAs(L"L-Alt+X", 0x458));
    EXPECT_TRUE(parsesAs(L"L-Shift", 0x2A0));
    EXPECT_TRUE(parsesAs(L"R-Ctrl+F5", 0x174));
    EXPECT_TRUE(parsesAs(L"L-Win+R-Win+\\", 0x30DC));
    EXPECT_TRUE(parsesAs(L"Alt+R-Alt+Del", 0xC2E));
}

TEST(afKeyTest, RefusesTextOutsideTheTable) {
    EXPECT_TRUE(parsesAs(L"", 0));
    EXPECT_TRUE(parsesAs(L"ctrl+a", 0));
    EXPECT_TRUE(parsesAs(L"Ctrl + A", 0));
    EXPECT_TRUE(parsesAs(L"Ctrl+Foo", 0));
    EXPECT_TRUE(parsesAs(L"0xFF", 0));
    EXPECT_TRUE(parsesAs(L"CtrlA", 0));
    EXPECT_TRUE(parsesAs(L"Ctrl+A+", 0x141));
    EXPECT_TRUE(parsesAs(L"Ctrl+A++", 0x1BB)); // the last key wins, also "+"
    EXPECT_TRUE(parsesAs(L"Ctrl+A+B+", 0x142));
    EXPECT_TRUE(parsesAs(L"Ctrl+\x00c4", 0));
}

TEST(afKeyTest, ParsingStopsAtTheGivenLength) {
    // The text goes on past the length: "Ctrl+Z" must be read as "Ctrl".
    EXPECT_EQ(0x111, afKey::parse(L"Ctrl+Z", 4));
    EXPECT_EQ(0x111, afKey::parse(L"Ctrl+Z", 5));
    EXPECT_EQ(0x15A, afKey::parse(std::wstring(L"Ctrl+Z")));
    EXPECT_EQ(0, afKey::parse(L"Num-1", 3)); // "Num" is no key
}

TEST(afKeyTest, FormatsInCanonicalOrder) {
    EXPECT_TRUE(formatsAs(0x324, L"Ctrl+Shift+Home", true));
    EXPECT_TRUE(formatsAs(0x741, L"Ctrl+Alt+Shift+A", true));
    EXPECT_TRUE(formatsAs(0x310, L"Ctrl+Shift", true));
    EXPECT_TRUE(formatsAs(0, L"", true));
    EXPECT_TRUE(formatsAs(0x107, L"Ctrl+", false));
    EXPECT_TRUE(formatsAs(0xFF, L"0xFF", true));
    EXPECT_TRUE(formatsAs(0x1BB, L"Ctrl++", true));
    EXPECT_TRUE(formatsAs(0x458, L"Alt+X", true));
    EXPECT_TRUE(formatsAs(0x2A0, L"Shift+L-Shift", true));
    EXPECT_TRUE(formatsAs(0x305B, L"L-Win+R-Win", true));
    // Right Alt is written, so that the text reads back as the same shortcut (it read
    // back as plain X when R-Alt was dropped).
    EXPECT_TRUE(formatsAs(0x858, L"R-Alt+X", true));
    EXPECT_TRUE(formatsAs(0xC58, L"Alt+R-Alt+X", true));
}

TEST(afKeyTest, FormattedTextParsesBackToTheCode) {
    const int codes[] = {0x35A, 0x741, 0x324, 0x1BB, 0x858, 0xC58, 0x2A0, 0x3F70, 0xBB, 0x310, 0x1070};
    for (int code : codes) {
        std::wstring text = afKey::toString(code);
        EXPECT_EQ(code, afKey::parse(text)) << narrow(text);
    }
}

TEST(afKeyTest, ModifierOnlyCodes) {
    EXPECT_TRUE(afKey::isModifier(0x310));
    EXPECT_TRUE(afKey::isModifier(0x5B));
    EXPECT_TRUE(afKey::isModifier(0x15C));
    EXPECT_FALSE(afKey::isModifier(0x2A0));
    EXPECT_FALSE(afKey::isModifier(0xA5));
    EXPECT_FALSE(afKey::isModifier(0x141));
    EXPECT_FALSE(afKey::isModifier(0));
}

} // namespace
