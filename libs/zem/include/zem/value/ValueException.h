// Failures of the throwing accessors of the value tree. Their message is empty: the
// facts are in their fields. The node pointers are not owned; they point into the tree
// that was being read and are valid only while it lives. A clone keeps its class.
#pragma once
#include "zem/base/Exception.h"

#include <cstdint>
#include <string>
#include <utility>

namespace zem {

class Value;
class ListValue;
class AbstractDictionaryValue;

class InvalidTypeValueException : public ValueException {
public:
    InvalidTypeValueException(const Value* value, int32_t expectedKind)
        : ValueException(L""), m_value(value), m_expectedKind(expectedKind) {}
    Exception* clone() const override { return new InvalidTypeValueException(*this); }
    void raise() const override { throw *this; }

    const Value* value() const { return m_value; }
    int32_t expectedKind() const { return m_expectedKind; }

private:
    const Value* m_value;
    int32_t m_expectedKind;
};

// Where in a list an access failed.
class ListValuePlace {
public:
    ListValuePlace(const ListValue* list, uint32_t index) : m_list(list), m_index(index) {}

    const ListValue* list() const { return m_list; }
    uint32_t index() const { return m_index; }

private:
    const ListValue* m_list;
    uint32_t m_index;
};

// Where in a dictionary an access failed.
class DictionaryValuePlace {
public:
    DictionaryValuePlace(const AbstractDictionaryValue* dictionary, std::wstring key)
        : m_dictionary(dictionary), m_key(std::move(key)) {}

    const AbstractDictionaryValue* dictionary() const { return m_dictionary; }
    const std::wstring& key() const { return m_key; }

private:
    const AbstractDictionaryValue* m_dictionary;
    std::wstring m_key;
};

class ListIndexNotFoundValueException : public ValueException, public ListValuePlace {
public:
    ListIndexNotFoundValueException(const ListValue* list, uint32_t index)
        : ValueException(L""), ListValuePlace(list, index) {}
    Exception* clone() const override { return new ListIndexNotFoundValueException(*this); }
    void raise() const override { throw *this; }
};

class InvalidTypeInListValueException : public InvalidTypeValueException, public ListValuePlace {
public:
    InvalidTypeInListValueException(const Value* value, int32_t expectedKind, const ListValue* list, uint32_t index)
        : InvalidTypeValueException(value, expectedKind), ListValuePlace(list, index) {}
    Exception* clone() const override { return new InvalidTypeInListValueException(*this); }
    void raise() const override { throw *this; }
};

class DictionaryKeyNotFoundValueException : public ValueException, public DictionaryValuePlace {
public:
    DictionaryKeyNotFoundValueException(const AbstractDictionaryValue* dictionary, std::wstring key)
        : ValueException(L""), DictionaryValuePlace(dictionary, std::move(key)) {}
    Exception* clone() const override { return new DictionaryKeyNotFoundValueException(*this); }
    void raise() const override { throw *this; }
};

class InvalidTypeInDictionaryValueException : public InvalidTypeValueException, public DictionaryValuePlace {
public:
    InvalidTypeInDictionaryValueException(const AbstractDictionaryValue* dictionary, std::wstring key,
                                          const Value* value, int32_t expectedKind)
        : InvalidTypeValueException(value, expectedKind), DictionaryValuePlace(dictionary, std::move(key)) {}
    Exception* clone() const override { return new InvalidTypeInDictionaryValueException(*this); }
    void raise() const override { throw *this; }
};

} // namespace zem
