#include "corvel/document/DocumentStyler.h"

#include "corvel/document/Document.h"
#include "corvel/document/DocumentScope.h"
#include "corvel/document/DocumentTheme.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/value/AbstractDictionaryValue.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using corvel::DocumentScope;
using corvel::DocumentStyler;
using corvel::DocumentTheme;

std::shared_ptr<DocumentTheme> themeOf(const std::wstring& text) {
    std::shared_ptr<DocumentTheme> theme = std::make_shared<DocumentTheme>();
    std::unique_ptr<zem::Value> value(zem::parseJasmine(text));
    theme->read(*static_cast<zem::AbstractDictionaryValue*>(value.get()));
    return theme;
}

class DocumentStylerTest : public ::testing::Test {
protected:
    DocumentStylerTest()
        : root(0, 0, 0, nullptr, L"source.c"), string(0, 1, 0, &root, L"string"), comment(0, 2, 0, &root, L"comment"),
          sameNumber(0, 2, 0, &root, L"string") {
        styler.setTheme(themeOf(L"{settings: [{settings: {foreground: \"#111111\"}},"
                                L" {scope: \"string\", settings: {foreground: \"#00ff00\"}},"
                                L" {scope: \"comment\", settings: {font_style: \"italic\"}}]}"));
    }
    DocumentScope root, string, comment, sameNumber;
    DocumentStyler styler;
};

TEST_F(DocumentStylerTest, FreshRecordsCoverNumbersFarPastTheEnd) {
    bool existed = true;
    corvel::TextStyle* style = styler.getStyle(4000, &existed);
    EXPECT_FALSE(existed);
    EXPECT_EQ(4001u, styler.getStyleCount());
    EXPECT_EQ(0u, style->foreground);
    EXPECT_EQ(8u, style->flags);
    EXPECT_EQ(style, styler.getStyle(4000, &existed));
    EXPECT_TRUE(existed);
}

TEST_F(DocumentStylerTest, ResolvesParentsFirstAndTheFirstScopeFixesANumber) {
    EXPECT_EQ(1, styler.resolveStyle(&string));
    EXPECT_EQ(0xFF00FF00u, styler.getStyle(1)->foreground);
    EXPECT_EQ(0xFF111111u, styler.getStyle(0)->foreground);
    EXPECT_EQ(2, styler.resolveStyle(&comment));
    EXPECT_EQ(2, styler.resolveStyle(&sameNumber));
    EXPECT_EQ(0xFF111111u, styler.getStyle(2)->foreground);
    EXPECT_EQ(2u, styler.getStyle(2)->flags);
}

TEST_F(DocumentStylerTest, ANewThemeRecomputesKnownNumbers) {
    styler.resolveStyle(&string);
    styler.setTheme(themeOf(L"{settings: [{}, {scope: \"string\", settings: {foreground: \"#0000ff\"}}]}"));
    EXPECT_EQ(0u, styler.getStyleCount());
    styler.resolveStyle(&string);
    EXPECT_EQ(0xFFFF0000u, styler.getStyle(1)->foreground);
}

TEST(DocumentStylerWiringTest, TheDocumentOwnsAStylerAndAGrammarChangeClearsIt) {
    corvel::Document document(nullptr);
    ASSERT_NE(nullptr, document.getStyler());
    document.getStyler()->getStyle(3);
    document.lockEdit();
    document.setGrammar(nullptr, 0, L"", true);
    document.unlockEdit();
    EXPECT_EQ(0u, document.getStyler()->getStyleCount());
}

} // namespace
