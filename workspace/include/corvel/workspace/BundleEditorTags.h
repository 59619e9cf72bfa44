// What the bundle editor hangs on the entries it edits, and what its side views read of
// it: the tags under which an open entry carries its editing state and its tab, and the
// type value that stands for no entry type.
#pragma once
#include <cstdint>

namespace corvel {

class BundleEntry;
class BundleEntryEditorState;

// The entry's BundleEntryEditorState while its tab is open (not owned by the entry).
constexpr uint32_t EDITING_RECORD_TAG = 0x41c1697fu;
// The entry's tab slot while it is open.
constexpr uint32_t ENTRY_TAB_TAG = 0xac0e2067u;
// No entry kind has this type id: a new-entry request without a chosen type.
constexpr uint32_t NO_ENTRY_TYPE = 0x7f9000cfu;

// The editing state the bundle editor attached to entry, or null.
BundleEntryEditorState* editingStateOf(const BundleEntry* entry);
// The entry says it is modified, or its editing state holds changes not yet written.
bool entryCountsAsModified(const BundleEntry* entry);

} // namespace corvel
