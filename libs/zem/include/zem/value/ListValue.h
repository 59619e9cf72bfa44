// An ordered list of owned child nodes.
#pragma once
#include "zem/value/Value.h"

#include <cstddef>
#include <vector>

namespace zem {

class DictionaryValue;

class ListValue : public Value {
public:
    typedef std::vector<Value*>::const_iterator const_iterator;

    ListValue() : Value(KIND_LIST) {}
    // Deep trees are torn down without recursion.
    ~ListValue() override;

    Value* clone() const override;
    bool equals(const Value* other) const override;

    // Takes ownership; null is an assertion failure.
    void append(Value* value);

    size_t size() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    // index < size() (assertion).
    Value* at(size_t index) const;
    const_iterator begin() const { return m_items.begin(); }
    const_iterator end() const { return m_items.end(); }

    // Throws ListIndexNotFoundValueException past the end and InvalidTypeInListValueException
    // when the element is not a dictionary.
    DictionaryValue* getDictionaryAt(unsigned index) const;

private:
    friend class ValueTreeAccess;
    std::vector<Value*> m_items; // owned, never null
};

// A new empty list owned by the caller.
ListValue* createListValue();

} // namespace zem
