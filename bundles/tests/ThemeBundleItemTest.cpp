#include "corvel/bundles/ThemeBundleItem.h"

#include "corvel/document/DocumentTheme.h"
#include "support/TestKinds.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/value/Values.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using bundletest::Ref;
using corvel::DocumentTheme;
using corvel::ThemeBundleItem;

std::unique_ptr<zem::DictionaryValue> dictionaryOf(const std::wstring& text) {
    return std::unique_ptr<zem::DictionaryValue>(static_cast<zem::DictionaryValue*>(zem::parseJasmine(text)));
}

class ThemeBundleItemTest : public ::testing::Test {
protected:
    ThemeBundleItemTest() : item(new ThemeBundleItem(&kinds.theme, bundletest::newUuid())) {}
    bundletest::TestKinds kinds;
    Ref<ThemeBundleItem> item;
};

TEST_F(ThemeBundleItemTest, ASecondReadReplacesTheSameThemeForEveryHolder) {
    std::shared_ptr<DocumentTheme> held = item->getTheme();
    EXPECT_EQ(0xFF333333u, held->getColor(DocumentTheme::FOREGROUND).packed());
    item->readProperties(dictionaryOf(L"{title: \"Dark\", settings: [{settings: {foreground: \"#ffffff\"}},"
                                      L" {scope: \"string\", settings: {foreground: \"#00ff00\"}}]}")
                             .get());
    EXPECT_EQ(L"Dark", item->getTitle());
    EXPECT_EQ(0xFFFFFFFFu, held->getColor(DocumentTheme::FOREGROUND).packed());
    EXPECT_EQ(1u, held->getRules().size());
    item->readProperties(dictionaryOf(L"{settings: [{settings: {background: \"#000000\"}}]}").get());
    EXPECT_EQ(held, item->getTheme());
    EXPECT_EQ(0xFF333333u, held->getColor(DocumentTheme::FOREGROUND).packed());
    EXPECT_EQ(0xFF000000u, held->getColor(DocumentTheme::BACKGROUND).packed());
    EXPECT_TRUE(held->getRules().empty());
    EXPECT_FALSE(item->hasErrors());
}

TEST_F(ThemeBundleItemTest, ABadThemeIsAnEntryErrorNotAnException) {
    EXPECT_NO_THROW(item->readProperties(dictionaryOf(L"{title: \"Broken\", settings: 5}").get()));
    EXPECT_TRUE(item->hasErrors());
    EXPECT_EQ(L"Broken", item->getTitle());
}

TEST_F(ThemeBundleItemTest, WritesOnlyThePlainItemKeys) {
    item->readProperties(dictionaryOf(L"{title: \"Dark\", settings: [{settings: {foreground: \"#ffffff\"}}]}").get());
    zem::DictionaryValue out;
    item->writeProperties(&out);
    EXPECT_NE(nullptr, out.find(L"title"));
    EXPECT_EQ(nullptr, out.find(L"settings"));
}

} // namespace
