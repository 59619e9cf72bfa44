#include "corvel/bundles/BundleEntryEditorMakers.h"

namespace corvel {

namespace {

BundleEntryEditorMakers& registered() {
    static BundleEntryEditorMakers makers;
    return makers;
}

} // namespace

void setBundleEntryEditorMakers(const BundleEntryEditorMakers& makers) {
    registered() = makers;
}

const BundleEntryEditorMakers& getBundleEntryEditorMakers() {
    return registered();
}

} // namespace corvel
