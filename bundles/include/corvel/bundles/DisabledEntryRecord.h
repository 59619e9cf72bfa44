// What the bundle manager remembers of a bundle or item the user disabled, so that it
// stays out of later loads and can be listed and enabled again. Stored in the setting
// "app.bundles.disabled", one dictionary per record.
#pragma once
#include "zem/base/Uuid.h"

#include <cstdint>
#include <memory>
#include <string>

namespace corvel {

class BundleEntry;
class JasmineValue;

struct DisabledEntryRecord {
    // The type id of no registered kind.
    static constexpr uint32_t NO_TYPE_ID = 0x25cbfc4fu;

    std::wstring title;
    uint32_t typeId = NO_TYPE_ID;
    zem::Uuid uuid;
    int32_t childrenCount = 0; // bundles only: the bundle's items
    std::wstring bundleTitle;  // items only: the owning bundle's title

    // Null for a null entry.
    static std::unique_ptr<DisabledEntryRecord> fromEntry(const BundleEntry* entry);
    // Null for a value that is not a complete record.
    static std::unique_ptr<DisabledEntryRecord> fromValue(const JasmineValue& value);
    // The dictionary the setting stores.
    void toValue(JasmineValue& out) const;
};

} // namespace corvel
