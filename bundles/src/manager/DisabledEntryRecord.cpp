#include "corvel/bundles/DisabledEntryRecord.h"

#include "corvel/bundles/Bundle.h"
#include "corvel/bundles/BundleItem.h"
#include "corvel/jasmine/JasmineValue.h"

namespace corvel {

std::unique_ptr<DisabledEntryRecord> DisabledEntryRecord::fromEntry(const BundleEntry* entry) {
    if (!entry)
        return nullptr;
    std::unique_ptr<DisabledEntryRecord> record(new DisabledEntryRecord());
    record->typeId = entry->getType();
    record->title = entry->getTitle();
    record->uuid = entry->getUuid();
    if (entry->getType() == BUNDLE_TYPE_ID) {
        // The count the record carries is shown beside a disabled bundle; 0 would say it is empty.
        if (const Bundle* bundle = dynamic_cast<const Bundle*>(entry))
            record->childrenCount = static_cast<int32_t>(bundle->getEntryCount());
        return record;
    }
    if (const BundleItem* item = dynamic_cast<const BundleItem*>(entry)) {
        if (item->getBundle())
            record->bundleTitle = item->getBundle()->getTitle();
    }
    return record;
}

std::unique_ptr<DisabledEntryRecord> DisabledEntryRecord::fromValue(const JasmineValue& value) {
    if (!value.isDictionary())
        return nullptr;
    std::unique_ptr<DisabledEntryRecord> record(new DisabledEntryRecord());
    record->typeId = value.find(L"type").asUnsigned(0);
    record->title = value.find(L"title").asString(L"");
    if (record->title.empty())
        return nullptr;
    const wchar_t* uuidText = value.find(L"uuid").asString(L"");
    if (!record->uuid.fromString(uuidText) || record->uuid.isNil())
        return nullptr;
    if (record->typeId == BUNDLE_TYPE_ID) {
        record->childrenCount = value.find(L"children_count").asInt(-1);
        if (record->childrenCount < 0)
            return nullptr;
        return record;
    }
    record->bundleTitle = value.find(L"bundle_title").asString(L"");
    if (record->bundleTitle.empty())
        return nullptr;
    return record;
}

void DisabledEntryRecord::toValue(JasmineValue& out) const {
    out = JasmineValue(JasmineValue::TYPE_DICTIONARY);
    out.getOrAddEntry(L"title").setString(title);
    out.getOrAddEntry(L"uuid").setString(uuid.toString());
    out.getOrAddEntry(L"type").setUnsigned(typeId);
    if (typeId == BUNDLE_TYPE_ID)
        out.getOrAddEntry(L"children_count").setInt(childrenCount);
    else
        out.getOrAddEntry(L"bundle_title").setString(bundleTitle);
}

} // namespace corvel
