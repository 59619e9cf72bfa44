// Descriptors of the standard kinds for tests, entries held by their reference, and
// locations built from plain names.
#pragma once
#include "corvel/bundles/Bundle.h"
#include "corvel/bundles/BundleEntryTypeInfo.h"
#include "corvel/bundles/ExecutableBundleItem.h"

#include <memory>
#include <string>

namespace bundletest {

struct TestKinds {
    corvel::BundleEntryTypeInfo bundle;
    corvel::BundleEntryTypeInfo snippet;
    corvel::BundleEntryTypeInfo grammar;
    corvel::BundleEntryTypeInfo theme;
    TestKinds() {
        corvel::fillStandardEntryType(corvel::BUNDLE_TYPE_ID, bundle);
        corvel::fillStandardEntryType(corvel::SNIPPET_TYPE_ID, snippet);
        corvel::fillStandardEntryType(corvel::LANGUAGE_TYPE_ID, grammar);
        corvel::fillStandardEntryType(corvel::THEME_TYPE_ID, theme);
    }
};

// Drops the creator's reference.
struct Release {
    void operator()(corvel::BundleEntry* entry) const { entry->release(); }
};
template <class T> using Ref = std::unique_ptr<T, Release>;

inline zem::Uuid newUuid() {
    zem::Uuid uuid;
    uuid.create();
    return uuid;
}

// root:bundles/<bundle>/<kindFolder>/<item>, names parsed as the loader parses them.
inline corvel::BundleEntryLocation locationOf(int32_t root, const std::wstring& bundle, const std::wstring& kindFolder,
                                              const std::wstring& item) {
    corvel::BundleEntryLocation location;
    location.root = root;
    location.parseBundleFileName(bundle);
    location.kindFolder = kindFolder;
    location.parseItemFileName(item);
    return location;
}

} // namespace bundletest
