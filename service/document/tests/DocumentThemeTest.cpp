#include "corvel/document/DocumentTheme.h"

#include "corvel/document/ScopePath.h"
#include "zem/base/Exception.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/value/AbstractDictionaryValue.h"

#include "support/ScopePathText.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using corvel::ColorF;
using corvel::DocumentTheme;
using corvel::TextStyle;

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

std::unique_ptr<zem::Value> parse(const std::wstring& text) {
    return std::unique_ptr<zem::Value>(zem::parseJasmine(text));
}

void read(DocumentTheme& theme, const std::wstring& text) {
    std::unique_ptr<zem::Value> value = parse(text);
    theme.read(*static_cast<zem::AbstractDictionaryValue*>(value.get()));
}

using documenttest::fillScopePath;

// Expected packed colour, or -1 for "not a colour".
::testing::AssertionResult colourReadsAs(const std::wstring& text, int64_t expected) {
    ColorF colour(0.25f, 0.25f, 0.25f, 0.25f);
    bool parsed = corvel::parseThemeColor(text, colour);
    int64_t actual = parsed ? static_cast<int64_t>(colour.packed()) : -1;
    if (!parsed && colour != ColorF(0.25f, 0.25f, 0.25f, 0.25f))
        return ::testing::AssertionFailure() << narrow(text) << " was refused but changed the colour";
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << narrow(text) << " read as " << std::hex << actual << ", expected "
                                         << expected;
}

TEST(DocumentThemeTest, ParsesColoursAndFontStyles) {
    EXPECT_TRUE(colourReadsAs(L"#fff", 0xFFFFFFFF));
    EXPECT_TRUE(colourReadsAs(L"#1a2", 0xFF22AA11));
    EXPECT_TRUE(colourReadsAs(L"#FFFFFF80", 0x80FFFFFF));
    EXPECT_TRUE(colourReadsAs(L"#123456", 0xFF563412));
    EXPECT_TRUE(colourReadsAs(L"x123456", 0xFF563412));
    EXPECT_TRUE(colourReadsAs(L"#12345G", 0xFF452301));
    EXPECT_TRUE(colourReadsAs(L"#12345", -1));
    EXPECT_TRUE(colourReadsAs(L"#GGGGGG", -1));
    EXPECT_TRUE(colourReadsAs(L"", -1));
    EXPECT_TRUE(colourReadsAs(L"#-12345", -1));
    EXPECT_EQ(127u, ColorF(0.5f, 0, 0, 0).packed());
    EXPECT_EQ(3u, corvel::parseFontStyle(L"bold italic"));
    EXPECT_EQ(4u, corvel::parseFontStyle(L"underline"));
    EXPECT_EQ(8u, corvel::parseFontStyle(L""));
    EXPECT_EQ(9u, corvel::parseFontStyle(L"reset,bold"));
    EXPECT_EQ(0u, corvel::parseFontStyle(L"Bold"));
    EXPECT_EQ(0u, corvel::parseFontStyle(nullptr));
}

TEST(DocumentThemeTest, ReadsGlobalsAndRules) {
    DocumentTheme theme;
    EXPECT_EQ(0xFF333333u, theme.getColor(DocumentTheme::FOREGROUND).packed());
    EXPECT_EQ(0x12000000u, theme.getColor(DocumentTheme::LINE_HIGHLIGHT).packed());
    read(theme, L"{settings: [{settings: {foreground: \"#010203\", selection: \"bad\"}},"
                L" {title: \"Strings\", scope: \"string\", settings: {foreground: \"#00ff00\", font_style: \"bold\"}},"
                L" {scope: \"comment\", settings: {background: \"oops\"}}]}");
    EXPECT_EQ(0xFF030201u, theme.getColor(DocumentTheme::FOREGROUND).packed());
    EXPECT_EQ(0x60DF9F28u, theme.getColor(DocumentTheme::SELECTION).packed());
    ASSERT_EQ(2u, theme.getRules().size());
    EXPECT_EQ(L"Strings", theme.getRules()[0]->title);
    EXPECT_TRUE(theme.getRules()[0]->hasForeground);
    EXPECT_EQ(1u, theme.getRules()[0]->fontStyle);
    EXPECT_FALSE(theme.getRules()[1]->hasBackground);
    EXPECT_EQ(8u, theme.getRules()[1]->fontStyle);

    // A first item with a scope and a title is a rule; the defaults stay. A second read
    // starts afresh.
    read(theme, L"{settings: [{title: \"All\", scope: \"source\", settings: {foreground: \"#000\"}}]}");
    EXPECT_EQ(0xFF333333u, theme.getColor(DocumentTheme::FOREGROUND).packed());
    ASSERT_EQ(1u, theme.getRules().size());
    EXPECT_EQ(L"source", theme.getRules()[0]->scope);
}

TEST(DocumentThemeTest, FailedReadsKeepWhatCameBefore) {
    DocumentTheme theme;
    EXPECT_THROW(read(theme, L"{other: 1}"), zem::Exception);
    EXPECT_THROW(read(theme, L"{settings: [{}, {scope: \"a\"}, 5]}"), zem::Exception);
    EXPECT_EQ(1u, theme.getRules().size());
    EXPECT_THROW(read(theme, L"{settings: [{}, {scope: \"a\"}, {scope: \"(b\"}]}"), zem::Exception);
    EXPECT_EQ(1u, theme.getRules().size());
}

class ThemeStyleTest : public ::testing::Test {
protected:
    void SetUp() override {
        read(theme, L"{settings: [{settings: {foreground: \"#102030\", background: \"#ffffff\"}},"
                    L" {scope: \"string\", settings: {foreground: \"#ff0000\", background: \"#00000080\", font_style: "
                    L"\"bold\"}},"
                    L" {scope: \"string\", settings: {foreground: \"#00ff00\", font_style: \"italic\"}},"
                    L" {scope: \"string.quoted\", settings: {font_style: \"underline\"}},"
                    L" {scope: \"keyword\", settings: {background: \"#00000080\"}}]}");
    }
    TextStyle style(const std::wstring& path, const TextStyle* base) {
        corvel::ScopePath scopes;
        fillScopePath(scopes, path);
        TextStyle out;
        theme.computeStyle(scopes, out, base);
        return out;
    }
    DocumentTheme theme;
};

TEST_F(ThemeStyleTest, EqualBestScoresApplyInFileOrder) {
    TextStyle plain = style(L"", nullptr);
    EXPECT_EQ(0xFF302010u, plain.foreground);
    EXPECT_EQ(8u, plain.flags);
    TextStyle string = style(L"source string", nullptr);
    EXPECT_EQ(0xFF00FF00u, string.foreground);
    EXPECT_EQ(3u, string.flags);
    // The more specific rule alone wins and keeps the inherited colours.
    TextStyle quoted = style(L"source string.quoted", &string);
    EXPECT_EQ(0xFF00FF00u, quoted.foreground);
    EXPECT_EQ(7u, quoted.flags);
}

TEST_F(ThemeStyleTest, BackgroundBlendsOverTheBaseKeepingItsAlpha) {
    TextStyle base;
    base.background = 0x40FFFFFF;
    base.foreground = 0xFF000000;
    base.flags = 8;
    TextStyle keyword = style(L"source keyword", &base);
    EXPECT_EQ(0x407F7F7Fu, keyword.background);
    TextStyle alone = style(L"source keyword", nullptr);
    EXPECT_EQ(0x80000000u, alone.background);
}

} // namespace
