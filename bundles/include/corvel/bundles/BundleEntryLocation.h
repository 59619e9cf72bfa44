// Where one file of a bundle entry lives: device root, top folder, bundle folder, kind
// folder and item file. Its text form is the device path the file layer opens, e.g.
// 'user:bundles/web_tools.<uuid>.cvBundle/snippets/html_table.<uuid>.cvSnippet'; a
// bundle's own file is 'info.<uuid>.cvInfo' directly in its folder.
#pragma once
#include "corvel/bundles/EntryFileName.h"

#include <cstdint>
#include <string>

namespace corvel {

class BundleEntry;

enum EntryRoot : int32_t {
    ENTRY_ROOT_UNSET = 0,
    ENTRY_ROOT_INSTALL = 1, // "root:", shipped bundles
    ENTRY_ROOT_USER = 2,    // "user:", the user's bundles and changes; new files always go here
};

class BundleEntryLocation {
public:
    int32_t root = ENTRY_ROOT_UNSET;
    std::wstring folder = L"bundles";
    EntryFileName bundle;
    std::wstring kindFolder; // empty for a bundle's information file
    EntryFileName item;      // the item's file; for a bundle, its information file

    // "root:" or "user:" (nothing for another root), the folder and "/", then, when the
    // bundle part is not empty, the bundle part, "/" and the kind folder when there is one,
    // "/" and the item part when there is one.
    std::wstring toString() const;
    bool equals(const BundleEntryLocation& other) const;
    bool operator==(const BundleEntryLocation& other) const { return equals(other); }
    bool operator!=(const BundleEntryLocation& other) const { return !equals(other); }

    // Parse a name into the item or the bundle part; InvalidArgumentException "File name
    // was invalid." when it does not match, "Not a valid name." when nothing was taken.
    void parseItemFileName(const std::wstring& text);
    void parseBundleFileName(const std::wstring& text);

    // Stores this location into the entry's slot for its root, growing the entry's slots
    // as needed. InvalidArgumentException "path is empty" without a bundle part; a root
    // other than 1 or 2 is an assertion failure.
    void storeIn(BundleEntry& entry) const;
};

// The file name a new entry gets from its title: ASCII letters, digits, spaces, '-' and
// '_' kept, split into words at ' ', '-', '_' and changes of character class, lower-cased
// and joined with '_'. A reserved device name (con, prn, aux, nul, com1-9, lpt1-9) gets
// '_' appended. May be empty: callers name an empty item "item" and an empty bundle "bundle".
std::wstring makeFileNameFromTitle(const std::wstring& title);

// The UUID of the entry a location names: for a bundle, the bundle part's; for an item,
// the item part's. A name without one gets a stable UUID derived from the lower-cased
// location text without its root (for a bundle, the folder and bundle part only), so the
// shipped and the user copy of one file are one entry, and an item's location also names
// its bundle (call it with isBundle set).
zem::Uuid entryUuidFor(const BundleEntryLocation& location, bool isBundle);

} // namespace corvel
