// The dictionary: entries keyed by UTF-16 text, kept both in key order (ordinal,
// case-sensitive) and in insertion order, which is the order the writers use.
#pragma once
#include "zem/value/AbstractDictionaryValue.h"

#include <cstddef>
#include <iterator>
#include <list>
#include <map>
#include <string_view>

namespace zem {

struct DictionaryEntry {
    std::wstring key;
    Value* value;     // owned, never null
    int32_t keyToken; // index of the key's token in the source's token stream; 0 when not read from Jasmine
};

class DictionaryValue : public AbstractDictionaryValue {
    typedef std::list<DictionaryEntry> EntryList;
    // Keys are views into the entries of m_list, whose nodes never move.
    typedef std::map<std::wstring_view, EntryList::iterator, std::less<>> KeyMap;

public:
    // Insertion order. Entries are read-only: the key must not change under the index.
    typedef EntryList::const_iterator list_iterator;

    // Key order, yielding the same entries.
    class key_iterator {
    public:
        typedef std::bidirectional_iterator_tag iterator_category;
        typedef DictionaryEntry value_type;
        typedef std::ptrdiff_t difference_type;
        typedef const DictionaryEntry* pointer;
        typedef const DictionaryEntry& reference;

        key_iterator() = default;
        reference operator*() const { return *m_it->second; }
        pointer operator->() const { return &*m_it->second; }
        key_iterator& operator++() {
            ++m_it;
            return *this;
        }
        key_iterator operator++(int) {
            key_iterator old = *this;
            ++m_it;
            return old;
        }
        key_iterator& operator--() {
            --m_it;
            return *this;
        }
        key_iterator operator--(int) {
            key_iterator old = *this;
            --m_it;
            return old;
        }
        bool operator==(const key_iterator& other) const { return m_it == other.m_it; }
        bool operator!=(const key_iterator& other) const { return m_it != other.m_it; }

    private:
        friend class DictionaryValue;
        explicit key_iterator(KeyMap::const_iterator it) : m_it(it) {}
        KeyMap::const_iterator m_it;
    };

    DictionaryValue() = default;
    // Deep trees are torn down without recursion.
    ~DictionaryValue() override;

    // The clone's insertion order is key order and its key tokens are 0.
    Value* clone() const override;
    // Same size and every key of this one holds an equal value in other; order and key
    // tokens play no part.
    bool equals(const Value* other) const override;

    void set(const std::wstring& key, Value* value, int32_t keyToken = 0) override;
    Value* findTyped(const std::wstring& key, int32_t kind) const override;
    Value* find(const std::wstring& key) const override;

    bool contains(const std::wstring& key) const { return m_keys.find(std::wstring_view(key)) != m_keys.end(); }
    bool hasTyped(const std::wstring& key, int32_t kind) const { return findTyped(key, kind) != nullptr; }
    size_t size() const { return m_list.size(); }
    bool empty() const { return m_list.empty(); }
    // Destroys every entry and its value.
    void clear();
    // False when the key is absent. Otherwise the entry goes; its value is handed over
    // through out when given (the caller then owns it), else destroyed.
    bool erase(const std::wstring& key, Value** out = nullptr);
    // Sets a copy of every entry of other, in other's key order. other keeps its own
    // values, so no node ever has two owners.
    void adopt(const DictionaryValue& other);

    key_iterator begin() const { return key_iterator(m_keys.begin()); }
    key_iterator end() const { return key_iterator(m_keys.end()); }
    list_iterator listBegin() const { return m_list.begin(); }
    list_iterator listEnd() const { return m_list.end(); }

    // Range helpers: for (const DictionaryEntry& e : dict.inOrder()) ...
    struct InOrder {
        const DictionaryValue* dict;
        list_iterator begin() const { return dict->listBegin(); }
        list_iterator end() const { return dict->listEnd(); }
    };
    InOrder inOrder() const { return InOrder{this}; }

private:
    friend class ValueTreeAccess;

    // m_keys and m_list hold exactly the same entries.
    KeyMap m_keys;
    EntryList m_list;
};

// A new empty dictionary owned by the caller.
DictionaryValue* createDictionaryValue();

} // namespace zem
