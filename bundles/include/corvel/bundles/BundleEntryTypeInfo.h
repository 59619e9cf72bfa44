// The descriptor of one kind of bundle entry (bundles, grammars, themes, snippets, scope
// preferences): its ids, names, files and the objects that serve it. The constants of the
// five kinds live in one table; each kind's manager fills its descriptor from it.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace corvel {

class BundleEntryManager;
class BundleEntryValidator;

// Symbol ids (CRC-32 of the lower-case name) of the kinds.
constexpr uint32_t BUNDLE_TYPE_ID = 0xa57b32fdu;            // "bundle"
constexpr uint32_t LANGUAGE_TYPE_ID = 0xd4db71b5u;          // "language"
constexpr uint32_t THEME_TYPE_ID = 0x9775e708u;             // "theme"
constexpr uint32_t SNIPPET_TYPE_ID = 0x961c8cd5u;           // "snippet"
constexpr uint32_t SCOPE_PREFERENCES_TYPE_ID = 0xcd14d32du; // "scope_preferences"

struct BundleEntryTypeInfo {
    uint32_t typeId = 0;
    int32_t order = 0;
    std::wstring label;                              // shown to the user; the registry fills it when empty
    std::wstring name;                               // lower case
    std::wstring extension;                          // of the kind's entry files, without the dot
    std::wstring folder;                             // inside a bundle; for bundles, the top folder
    const void* icon = nullptr;                      // not owned; opaque until the resources registry exists
    int32_t inMenus = 0;                             // entries appear in the bundles' default menus
    std::shared_ptr<BundleEntryValidator> validator; // null: the plain validator
    BundleEntryManager* manager = nullptr;           // filled by the registry
};

// Fills typeId, order, name, folder, extension and inMenus of a known kind; false (info
// untouched) for any other type id.
bool fillStandardEntryType(uint32_t typeId, BundleEntryTypeInfo& info);

// The order descriptors are listed in for the user: other kinds by label in code-unit
// order; the bundle kind before all of them, or after all of them when bundleLast is set.
// A strict weak ordering.
bool typeInfoLess(const BundleEntryTypeInfo& a, const BundleEntryTypeInfo& b, bool bundleLast);

struct TypeInfoLess {
    bool bundleLast = false;
    bool operator()(const BundleEntryTypeInfo& a, const BundleEntryTypeInfo& b) const {
        return typeInfoLess(a, b, bundleLast);
    }
    bool operator()(const BundleEntryTypeInfo* a, const BundleEntryTypeInfo* b) const {
        return typeInfoLess(*a, *b, bundleLast);
    }
};

} // namespace corvel
