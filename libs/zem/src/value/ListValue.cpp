#include "zem/value/ListValue.h"

#include "value/ValueTreeAccess.h"
#include "zem/base/Assert.h"
#include "zem/value/DictionaryValue.h"
#include "zem/value/ValueException.h"

namespace zem {

ListValue::~ListValue() {
    std::vector<Value*> pending;
    pending.swap(m_items);
    ValueTreeAccess::destroyAll(pending);
}

Value* ListValue::clone() const {
    return ValueTreeAccess::cloneTree(this);
}

bool ListValue::equals(const Value* other) const {
    return ValueTreeAccess::equalTrees(this, other);
}

void ListValue::append(Value* value) {
    ZEM_ASSERT_MSG(value != nullptr, L"val != NULL");
    try {
        m_items.push_back(value);
    } catch (...) {
        delete value; // ownership was handed over
        throw;
    }
}

Value* ListValue::at(size_t index) const {
    ZEM_ASSERT(index < m_items.size());
    return m_items[index];
}

DictionaryValue* ListValue::getDictionaryAt(unsigned index) const {
    if (index >= m_items.size())
        throw ListIndexNotFoundValueException(this, index);
    Value* item = m_items[index];
    DictionaryValue* dict = item->kind() == KIND_DICTIONARY ? dynamic_cast<DictionaryValue*>(item) : nullptr;
    if (!dict)
        throw InvalidTypeInListValueException(item, KIND_DICTIONARY, this, index);
    return dict;
}

ListValue* createListValue() {
    return new ListValue();
}

} // namespace zem
