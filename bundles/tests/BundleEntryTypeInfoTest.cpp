#include "corvel/bundles/BundleEntryTypeInfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using corvel::BundleEntryTypeInfo;

namespace {

BundleEntryTypeInfo kind(uint32_t typeId, const wchar_t* label) {
    BundleEntryTypeInfo info;
    EXPECT_TRUE(corvel::fillStandardEntryType(typeId, info));
    info.label = label;
    return info;
}

std::wstring labels(const std::vector<BundleEntryTypeInfo>& infos) {
    std::wstring out;
    for (const BundleEntryTypeInfo& info : infos)
        out += (out.empty() ? L"" : L",") + info.label;
    return out;
}

} // namespace

TEST(BundleEntryTypeInfoTest, StandardKinds) {
    struct Case {
        uint32_t typeId;
        const wchar_t* name;
        const wchar_t* folder;
        const wchar_t* extension;
        int order;
        int inMenus;
    } cases[] = {
        {0xa57b32fd, L"bundle", L"bundles", L"cvBundle", -10, 0},
        {0xd4db71b5, L"grammar", L"grammars", L"cvGrammar", -10, 1},
        {0x9775e708, L"theme", L"themes", L"cvTheme", -20, 0},
        {0x961c8cd5, L"snippet", L"snippets", L"cvSnippet", 0, 1},
        {0xcd14d32d, L"preferences", L"preferences", L"cvPreferences", 0, 0},
    };
    for (const Case& c : cases) {
        BundleEntryTypeInfo info;
        ASSERT_TRUE(corvel::fillStandardEntryType(c.typeId, info)) << c.name;
        EXPECT_EQ(c.typeId, info.typeId);
        EXPECT_EQ(c.name, info.name);
        EXPECT_EQ(c.folder, info.folder);
        EXPECT_EQ(c.extension, info.extension);
        EXPECT_EQ(c.order, info.order);
        EXPECT_EQ(c.inMenus, info.inMenus) << c.name;
    }
    BundleEntryTypeInfo unknown;
    unknown.name = L"kept";
    EXPECT_FALSE(corvel::fillStandardEntryType(0x12345678, unknown));
    EXPECT_EQ(L"kept", unknown.name);
}

TEST(BundleEntryTypeInfoTest, ListsKindsByLabelWithTheBundleKindAtAnEnd) {
    std::vector<BundleEntryTypeInfo> infos = {
        kind(corvel::SNIPPET_TYPE_ID, L"Snippet"), kind(corvel::THEME_TYPE_ID, L"Theme"),
        kind(corvel::BUNDLE_TYPE_ID, L"Bundle"), kind(corvel::LANGUAGE_TYPE_ID, L"Grammar"),
        kind(corvel::SCOPE_PREFERENCES_TYPE_ID, L"Preferences")};
    for (bool bundleLast : {false, true}) {
        // Every starting order sorts the same way.
        std::vector<BundleEntryTypeInfo> sorted = infos;
        std::sort(sorted.begin(), sorted.end(), corvel::TypeInfoLess{bundleLast});
        EXPECT_EQ(bundleLast ? L"Grammar,Preferences,Snippet,Theme,Bundle"
                             : L"Bundle,Grammar,Preferences,Snippet,Theme",
                  labels(sorted));
        std::reverse(infos.begin(), infos.end());
        sorted = infos;
        std::stable_sort(sorted.begin(), sorted.end(), corvel::TypeInfoLess{bundleLast});
        EXPECT_EQ(bundleLast ? L"Grammar,Preferences,Snippet,Theme,Bundle"
                             : L"Bundle,Grammar,Preferences,Snippet,Theme",
                  labels(sorted));
        for (const BundleEntryTypeInfo& info : infos)
            EXPECT_FALSE(corvel::typeInfoLess(info, info, bundleLast)) << info.label;
    }
}
