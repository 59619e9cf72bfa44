#include "corvel/document/ScopePath.h"

#include "zem/base/Crc.h"
#include "zem/base/Object.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The index of one atom as "weight/components/key1,key2,..." with keys shown as texts
// (every prefix key is checked against the CRC of the text it claims to be).
::testing::AssertionResult indexedAs(const corvel::ScopePath& path, size_t index, uint64_t weight,
                                     std::vector<std::wstring> prefixes) {
    const corvel::ScopeAtom& atom = path.atom(index);
    std::wstring text(atom.text, atom.length);
    if (atom.weight != weight)
        return ::testing::AssertionFailure()
               << "atom " << index << " weight " << atom.weight << ", expected " << weight;
    if (atom.components != prefixes.size())
        return ::testing::AssertionFailure() << "atom " << index << " has " << atom.components << " components";
    for (size_t i = 0; i < prefixes.size(); ++i) {
        uint32_t key = path.keys()[atom.firstKey + i];
        if (key != zem::crc32Chars(prefixes[i].size(), prefixes[i].c_str()))
            return ::testing::AssertionFailure() << "atom " << index << " key " << i << " is not the key of prefix "
                                                 << ::testing::PrintToString(prefixes[i]);
    }
    return ::testing::AssertionSuccess();
}

TEST(ScopePathTest, EmptyTextsAreIgnored) {
    corvel::ScopePath path;
    path.push(L"", nullptr);
    path.push(nullptr, nullptr);
    path.push(L"abc", 0, true);
    const wchar_t nulLed[] = {0, L'a', L'b'};
    path.push(nulLed, 3, true);
    EXPECT_TRUE(path.empty());
    EXPECT_EQ(L"", path.toString());
    EXPECT_EQ(nullptr, path.find(L"abc"));
}

TEST(ScopePathTest, ToStringReadsOuterToInner) {
    corvel::ScopePath path;
    path.push(L"string.quoted.double");
    path.push(L"source.python", 13, true);
    EXPECT_EQ(L"source.python string.quoted.double", path.toString());
}

TEST(ScopePathTest, FindReturnsTheInnermostExactMatch) {
    zem::Object inner, outer;
    corvel::ScopePath path;
    EXPECT_EQ(nullptr, path.find(L"ui.data.project"));
    path.push(L"ui.data.project", &inner);
    path.push(L"source.python");
    path.push(L"ui.data.project", 15, true, &outer);
    ASSERT_NE(nullptr, path.find(L"ui.data.project"));
    EXPECT_EQ(&inner, path.find(L"ui.data.project")->object);
    EXPECT_EQ(nullptr, path.find(L"UI.data.project"));
    EXPECT_EQ(nullptr, path.find(L"source"));
}

TEST(ScopePathTest, CopiesOutliveTheCallersText) {
    corvel::ScopePath path;
    {
        std::wstring temporary = L"meta.function";
        path.push(temporary.c_str(), static_cast<uint32_t>(temporary.size()), true);
        temporary.assign(temporary.size(), L'x');
    }
    EXPECT_EQ(L"meta.function", path.toString());
    EXPECT_TRUE(path.atom(0).owned);
    EXPECT_EQ(0, path.atom(0).text[path.atom(0).length]);
}

TEST(ScopePathTest, AppendPathKeepsOwnershipAndObjects) {
    zem::Object object;
    corvel::ScopePath other;
    other.push(L"inner", &object);
    other.push(L"outer", 5, true);
    corvel::ScopePath path;
    path.push(L"first");
    path.appendPath(other);
    other.clear();
    EXPECT_EQ(L"outer inner first", path.toString());
    EXPECT_FALSE(path.atom(1).owned);
    EXPECT_EQ(&object, path.atom(1).object);
    EXPECT_TRUE(path.atom(2).owned);
    path.appendPath(path);
    EXPECT_EQ(L"outer inner first outer inner first", path.toString());
}

TEST(ScopePathTest, ClearLetsThePathBeReused) {
    corvel::ScopePath path;
    for (int i = 0; i < 40; ++i)
        path.push(L"a.b", 3, true);
    path.buildIndex();
    path.clear();
    EXPECT_TRUE(path.empty());
    EXPECT_TRUE(path.keys().empty());
    path.push(L"c", 1, true);
    EXPECT_EQ(L"c", path.toString());
}

TEST(ScopePathTest, IndexWeightsComponentsAndPrefixKeys) {
    corvel::ScopePath path;
    path.push(L"string.quoted.double");
    path.push(L"source.python");
    path.buildIndex();
    EXPECT_TRUE(indexedAs(path, 0, 2, {L"string", L"string.quoted", L"string.quoted.double"}));
    EXPECT_TRUE(indexedAs(path, 1, 0, {L"source", L"source.python"}));

    corvel::ScopePath odd;
    odd.push(L"a..b.");
    odd.push(L"x");
    odd.push(L"django.");
    odd.buildIndex();
    // Doubled and trailing dots are not special: each '.' ends one more prefix.
    EXPECT_TRUE(indexedAs(odd, 2, 0, {L"django", L"django."}));
    EXPECT_TRUE(indexedAs(odd, 1, 2, {L"x"}));
    EXPECT_TRUE(indexedAs(odd, 0, 5, {L"a", L"a.", L"a..b", L"a..b."}));
}

TEST(ScopePathTest, IndexBuiltTwiceIsTheSame) {
    corvel::ScopePath path;
    path.push(L"c.d");
    path.push(L"b");
    path.push(L"a.b.c");
    path.buildIndex();
    std::vector<uint32_t> keys = path.keys();
    uint64_t weight0 = path.atom(0).weight;
    path.push(L"z");
    EXPECT_FALSE(path.isIndexed());
    path.buildIndex();
    path.buildIndex();
    EXPECT_NE(weight0, path.atom(0).weight);
    // A push invalidates the index; the rebuilt keys start with the new outer atom's.
    EXPECT_EQ(keys.size() + 1, path.keys().size());
}

// Caught: with 32-bit weights a path of 40 atoms wrapped, and the innermost atom ranked
// below outer ones.
TEST(ScopePathTest, DeepPathWeightsSaturateInsteadOfWrapping) {
    corvel::ScopePath path;
    for (int i = 0; i < 100; ++i)
        path.push(L"meta.block.x");
    path.buildIndex();
    for (size_t k = 0; k + 1 < path.size(); ++k)
        ASSERT_GE(path.atom(k).weight, path.atom(k + 1).weight) << k;
    EXPECT_EQ(UINT64_MAX, path.atom(0).weight);
    EXPECT_EQ(0u, path.atom(99).weight);
}

TEST(ScopePathTest, HugeAtomIsCopiedWhole) {
    std::wstring big(100000, L'a');
    big[50000] = L'.';
    corvel::ScopePath path;
    path.push(big.c_str(), static_cast<uint32_t>(big.size()), true);
    path.push(L"b", 1, true);
    path.buildIndex();
    EXPECT_EQ(big, std::wstring(path.atom(0).text, path.atom(0).length));
    EXPECT_EQ(2u, path.atom(0).components);
    EXPECT_EQ(L"b", std::wstring(path.atom(1).text, 1));
}

} // namespace
