#include "corvel/bundles/BundleEntryTypeInfo.h"

namespace corvel {

namespace {

struct StandardKind {
    uint32_t typeId;
    const wchar_t* name;
    const wchar_t* folder;
    const wchar_t* extension;
    int32_t order;
    bool inMenus;
};

const StandardKind STANDARD_KINDS[] = {
    {BUNDLE_TYPE_ID, L"bundle", L"bundles", L"cvBundle", -10, false},
    {LANGUAGE_TYPE_ID, L"grammar", L"grammars", L"cvGrammar", -10, true},
    {THEME_TYPE_ID, L"theme", L"themes", L"cvTheme", -20, false},
    {SNIPPET_TYPE_ID, L"snippet", L"snippets", L"cvSnippet", 0, true},
    {SCOPE_PREFERENCES_TYPE_ID, L"preferences", L"preferences", L"cvPreferences", 0, false},
};

} // namespace

bool fillStandardEntryType(uint32_t typeId, BundleEntryTypeInfo& info) {
    for (const StandardKind& kind : STANDARD_KINDS) {
        if (kind.typeId != typeId)
            continue;
        info.typeId = kind.typeId;
        info.order = kind.order;
        info.name = kind.name;
        info.folder = kind.folder;
        info.extension = kind.extension;
        info.inMenus = kind.inMenus ? 1 : 0;
        return true;
    }
    return false;
}

bool typeInfoLess(const BundleEntryTypeInfo& a, const BundleEntryTypeInfo& b, bool bundleLast) {
    bool aBundle = a.typeId == BUNDLE_TYPE_ID;
    bool bBundle = b.typeId == BUNDLE_TYPE_ID;
    if (aBundle || bBundle) {
        if (aBundle == bBundle)
            return false;
        return bundleLast ? bBundle : aBundle;
    }
    return a.label.compare(b.label) < 0;
}

} // namespace corvel
