#include "corvel/workspace/BundleEditorTags.h"

#include "corvel/bundles/BundleEntry.h"
#include "corvel/workspace/BundleEntryEditorState.h"

namespace corvel {

BundleEntryEditorState* editingStateOf(const BundleEntry* entry) {
    return entry ? static_cast<BundleEntryEditorState*>(entry->getTag(EDITING_RECORD_TAG)) : nullptr;
}

bool entryCountsAsModified(const BundleEntry* entry) {
    if (!entry)
        return false;
    if (entry->isModified())
        return true;
    BundleEntryEditorState* state = editingStateOf(entry);
    return state && state->isModified();
}

} // namespace corvel
