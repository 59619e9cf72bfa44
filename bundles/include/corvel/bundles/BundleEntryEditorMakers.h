// The makers of entry editors, which live above this library: the bundle editor registers
// them when it is made, and the kinds' managers hand them out (the snippet kind its form,
// every other kind the source editor). Null until registered. Main thread only.
#pragma once
#include "corvel/bundles/BundleEntryManager.h"

namespace corvel {

struct BundleEntryEditorMakers {
    BundleEntryEditorFactory snippet = nullptr;
    BundleEntryEditorFactory source = nullptr;
};

void setBundleEntryEditorMakers(const BundleEntryEditorMakers& makers);
const BundleEntryEditorMakers& getBundleEntryEditorMakers();

} // namespace corvel
