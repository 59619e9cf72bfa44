#include "zem/value/DictionaryValue.h"

#include "value/ValueTreeAccess.h"
#include "zem/base/Assert.h"

#include <memory>

namespace zem {

DictionaryValue::~DictionaryValue() {
    clear();
}

Value* DictionaryValue::clone() const {
    return ValueTreeAccess::cloneTree(this);
}

bool DictionaryValue::equals(const Value* other) const {
    return ValueTreeAccess::equalTrees(this, other);
}

void DictionaryValue::set(const std::wstring& key, Value* value, int32_t keyToken) {
    ZEM_ASSERT_MSG(value != nullptr, L"value != NULL");
    std::unique_ptr<Value> owned(value); // ownership was handed over, whatever happens below
    KeyMap::iterator found = m_keys.find(std::wstring_view(key));
    if (found != m_keys.end()) {
        DictionaryEntry& entry = *found->second;
        entry.keyToken = keyToken;
        if (entry.value == value) { // the same node set again must survive
            owned.release();
            return;
        }
        std::unique_ptr<Value> old(entry.value);
        entry.value = owned.release();
        return;
    }
    m_list.push_back(DictionaryEntry{key, value, keyToken});
    EntryList::iterator added = std::prev(m_list.end());
    try {
        m_keys.emplace(std::wstring_view(added->key), added);
    } catch (...) {
        m_list.pop_back();
        throw;
    }
    owned.release();
}

Value* DictionaryValue::find(const std::wstring& key) const {
    KeyMap::const_iterator found = m_keys.find(std::wstring_view(key));
    return found == m_keys.end() ? nullptr : found->second->value;
}

Value* DictionaryValue::findTyped(const std::wstring& key, int32_t kind) const {
    Value* value = find(key);
    return value && value->kind() == kind ? value : nullptr;
}

void DictionaryValue::clear() {
    std::vector<Value*> pending;
    pending.reserve(m_list.size());
    for (DictionaryEntry& entry : m_list)
        pending.push_back(entry.value);
    m_keys.clear();
    m_list.clear();
    ValueTreeAccess::destroyAll(pending);
}

bool DictionaryValue::erase(const std::wstring& key, Value** out) {
    KeyMap::iterator found = m_keys.find(std::wstring_view(key));
    if (found == m_keys.end())
        return false;
    EntryList::iterator entry = found->second;
    Value* value = entry->value;
    m_keys.erase(found); // before the entry whose key text the map's key views
    m_list.erase(entry);
    if (out)
        *out = value;
    else
        delete value;
    return true;
}

void DictionaryValue::adopt(const DictionaryValue& other) {
    if (&other == this)
        return;
    for (const DictionaryEntry& entry : other)
        set(entry.key, entry.value->clone(), 0);
}

DictionaryValue* createDictionaryValue() {
    return new DictionaryValue();
}

} // namespace zem
