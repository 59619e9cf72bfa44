// The read interface every dictionary (KIND_DICTIONARY) answers, and the typed and
// throwing accessors built on its three abstract operations.
#pragma once
#include "zem/value/Value.h"

namespace zem {

class DictionaryValue;
class ListValue;

class AbstractDictionaryValue : public Value {
public:
    // Takes ownership of value (not null). A present key keeps its place and its old
    // value is destroyed; a new key is appended.
    virtual void set(const std::wstring& key, Value* value, int32_t keyToken = 0) = 0;
    // The value when present and of that kind, else null.
    virtual Value* findTyped(const std::wstring& key, int32_t kind) const = 0;
    // The value or null.
    virtual Value* find(const std::wstring& key) const = 0;

    // Throws DictionaryKeyNotFoundValueException for a missing key and
    // InvalidTypeInDictionaryValueException for another kind.
    virtual Value* getTyped(const std::wstring& key, int32_t kind) const;
    // Throws DictionaryKeyNotFoundValueException for a missing key.
    virtual Value* get(const std::wstring& key) const;

    // False when the key is missing; otherwise the value's own typed getter (no
    // conversion). out must not be null.
    virtual bool getBoolAt(const std::wstring& key, bool* out) const;
    virtual bool getIntAt(const std::wstring& key, int* out) const;
    virtual bool getDoubleAt(const std::wstring& key, double* out) const;
    virtual bool getStringAt(const std::wstring& key, std::wstring* out) const;

    // findTyped with KIND_DICTIONARY or KIND_LIST. A KIND_DICTIONARY node that is not a
    // DictionaryValue (a layered view) is found by findTyped but not by findDictionary.
    virtual DictionaryValue* findDictionary(const std::wstring& key) const;
    virtual ListValue* findList(const std::wstring& key);
    virtual const ListValue* findList(const std::wstring& key) const;
    // getTyped with KIND_LIST.
    virtual ListValue* getList(const std::wstring& key);
    virtual const ListValue* getList(const std::wstring& key) const;

protected:
    AbstractDictionaryValue() : Value(KIND_DICTIONARY) {}
};

} // namespace zem
