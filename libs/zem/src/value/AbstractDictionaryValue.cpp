#include "zem/value/AbstractDictionaryValue.h"

#include "zem/base/Assert.h"
#include "zem/value/DictionaryValue.h"
#include "zem/value/ListValue.h"
#include "zem/value/ValueException.h"

namespace zem {

Value* AbstractDictionaryValue::get(const std::wstring& key) const {
    Value* value = find(key);
    if (!value)
        throw DictionaryKeyNotFoundValueException(this, key);
    return value;
}

Value* AbstractDictionaryValue::getTyped(const std::wstring& key, int32_t kind) const {
    Value* value = get(key);
    if (value->kind() != kind)
        throw InvalidTypeInDictionaryValueException(this, key, value, kind);
    return value;
}

bool AbstractDictionaryValue::getBoolAt(const std::wstring& key, bool* out) const {
    ZEM_ASSERT_MSG(out != nullptr, L"o_val");
    const Value* value = find(key);
    return value && value->getBool(out);
}

bool AbstractDictionaryValue::getIntAt(const std::wstring& key, int* out) const {
    ZEM_ASSERT_MSG(out != nullptr, L"o_val");
    const Value* value = find(key);
    return value && value->getInt(out);
}

bool AbstractDictionaryValue::getDoubleAt(const std::wstring& key, double* out) const {
    ZEM_ASSERT_MSG(out != nullptr, L"o_val");
    const Value* value = find(key);
    return value && value->getDouble(out);
}

bool AbstractDictionaryValue::getStringAt(const std::wstring& key, std::wstring* out) const {
    ZEM_ASSERT_MSG(out != nullptr, L"o_val");
    const Value* value = find(key);
    return value && value->getString(out);
}

DictionaryValue* AbstractDictionaryValue::findDictionary(const std::wstring& key) const {
    return dynamic_cast<DictionaryValue*>(findTyped(key, KIND_DICTIONARY));
}

ListValue* AbstractDictionaryValue::findList(const std::wstring& key) {
    return dynamic_cast<ListValue*>(findTyped(key, KIND_LIST));
}

const ListValue* AbstractDictionaryValue::findList(const std::wstring& key) const {
    return dynamic_cast<const ListValue*>(findTyped(key, KIND_LIST));
}

ListValue* AbstractDictionaryValue::getList(const std::wstring& key) {
    return dynamic_cast<ListValue*>(getTyped(key, KIND_LIST));
}

const ListValue* AbstractDictionaryValue::getList(const std::wstring& key) const {
    return dynamic_cast<const ListValue*>(getTyped(key, KIND_LIST));
}

} // namespace zem
