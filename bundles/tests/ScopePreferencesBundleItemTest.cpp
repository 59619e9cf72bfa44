#include "corvel/bundles/ScopePreferencesBundleItem.h"

#include "support/TestKinds.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/value/Values.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using bundletest::Ref;
using corvel::ScopePreferencesBundleItem;

std::unique_ptr<zem::DictionaryValue> dictionaryOf(const std::wstring& text) {
    return std::unique_ptr<zem::DictionaryValue>(static_cast<zem::DictionaryValue*>(zem::parseJasmine(text)));
}

// Pairs as "()" or "{}b" joined by spaces.
std::string describe(const ScopePreferencesBundleItem& item) {
    std::string out;
    for (const corvel::ScopePair& pair : item.getPairs()) {
        out += out.empty() ? "" : " ";
        out += static_cast<char>(pair.opening);
        out += static_cast<char>(pair.closing);
        if (pair.block)
            out += "b";
    }
    return out;
}

::testing::AssertionResult readsPairs(const std::wstring& pairs, const std::string& expected) {
    bundletest::TestKinds kinds;
    Ref<ScopePreferencesBundleItem> item(new ScopePreferencesBundleItem(&kinds.snippet, bundletest::newUuid()));
    item->readProperties(dictionaryOf(L"{title: 'p', scope: 'source.c', settings: {pairs: " + pairs + L"}}").get());
    std::string actual = describe(*item);
    if (actual == expected && item->getScope() == L"source.c")
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << ::testing::PrintToString(pairs) << " read as \"" << actual
                                         << "\", expected \"" << expected << "\"";
}

TEST(ScopePreferencesBundleItemTest, ReadsPairsOfOneUnitEach) {
    EXPECT_TRUE(readsPairs(L"[['(', ')']]", "()"));
    EXPECT_TRUE(readsPairs(L"[['{', '}', 'block']]", "{}b"));
    EXPECT_TRUE(readsPairs(L"[['{', '}', 'x', block]]", "{}b"));
    EXPECT_TRUE(readsPairs(L"[['[', ']', 'other']]", "[]"));
    // Texts of another length are skipped, not cut to their first unit.
    EXPECT_TRUE(readsPairs(L"[['<<', '>'], ['\"', '\"']]", "\"\""));
    EXPECT_TRUE(readsPairs(L"[['ab', 'cd'], ['', ')'], [1, 2], ['('], '()', ['<', '>']]", "<>"));
    EXPECT_TRUE(readsPairs(L"'none'", ""));
}

TEST(ScopePreferencesBundleItemTest, WritesScopeAndPairs) {
    bundletest::TestKinds kinds;
    Ref<ScopePreferencesBundleItem> item(new ScopePreferencesBundleItem(&kinds.snippet, bundletest::newUuid()));
    item->readProperties(
        dictionaryOf(L"{title: 'p', scope: 'source', settings: {pairs: [['(', ')'], ['{', '}', block]]}}").get());
    zem::DictionaryValue out;
    item->writeProperties(&out);
    std::wstring scope;
    EXPECT_TRUE(out.getStringAt(L"scope", &scope));
    EXPECT_EQ(L"source", scope);
    const zem::ListValue* pairs = out.findDictionary(L"settings")->findList(L"pairs");
    ASSERT_NE(nullptr, pairs);
    ASSERT_EQ(2u, pairs->size());
    const zem::ListValue* block = static_cast<const zem::ListValue*>(pairs->at(1));
    ASSERT_EQ(3u, block->size());
    EXPECT_EQ(zem::StringValue::STYLE_SYMBOL, static_cast<const zem::StringValue*>(block->at(2))->style());

    item->readProperties(dictionaryOf(L"{title: 'p'}").get());
    zem::DictionaryValue empty;
    item->writeProperties(&empty);
    ASSERT_NE(nullptr, empty.findDictionary(L"settings"));
    EXPECT_EQ(nullptr, empty.findDictionary(L"settings")->find(L"pairs"));
}

} // namespace
