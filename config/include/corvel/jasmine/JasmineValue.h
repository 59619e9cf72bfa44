// The in-memory tree of the product's Jasmine documents (configuration, project and
// preset files): a plain tagged value that owns its payload outright, so copying is
// always deep. Dictionaries keep their keys in insertion order.
#pragma once
#include "corvel/text/RegExLiteral.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace corvel {

class JasmineValue;
class JasmineDictionary;

class JasmineValue {
public:
    enum Type : uint32_t {
        TYPE_NULL = 0,
        TYPE_INT = 1,
        TYPE_UNSIGNED = 2,
        TYPE_REAL = 3,
        TYPE_STRING = 4, // written quoted
        TYPE_BOOL = 5,
        TYPE_LIST = 6,
        TYPE_DICTIONARY = 7,
        TYPE_RAW_TEXT = 8, // written bare; the parser never makes one
        TYPE_REGEXP = 9,
    };
    typedef std::vector<JasmineValue> List;

    JasmineValue() { m_payload.real = 0; }
    explicit JasmineValue(Type type);
    JasmineValue(const JasmineValue& other);
    JasmineValue(JasmineValue&& other) noexcept;
    JasmineValue& operator=(const JasmineValue& other);
    JasmineValue& operator=(JasmineValue&& other) noexcept;
    ~JasmineValue() { reset(); }

    // Frees the payload; the value is null afterwards.
    void reset();
    // Replaces the value with an empty one of the type: 0, 0.0, false, an empty list or
    // dictionary, a null string or regular expression.
    void initPayload(Type type);
    // Deep copy; safe when other is this value or lies inside it.
    void assign(const JasmineValue& other);
    bool equals(const JasmineValue& other) const;
    bool operator==(const JasmineValue& other) const { return equals(other); }
    bool operator!=(const JasmineValue& other) const { return !equals(other); }

    Type getType() const { return m_type; }
    bool isNull() const { return m_type == TYPE_NULL; }
    bool isList() const { return m_type == TYPE_LIST; }
    bool isDictionary() const { return m_type == TYPE_DICTIONARY; }

    void setInt(int32_t value);
    void setUnsigned(uint32_t value);
    void setReal(double value);
    void setBool(bool value);
    // A null text leaves a string without a buffer.
    void setString(const wchar_t* text);
    void setString(const std::wstring& text) { setString(text.c_str()); }
    void setString(const wchar_t* text, size_t length);
    void setRawText(const wchar_t* text);
    void setRawText(const std::wstring& text) { setRawText(text.c_str()); }
    void setRegExp(const std::wstring& pattern, const std::wstring& options);

    // Dictionary look-up; on anything else, or for a missing key, the shared null value,
    // which callers only read.
    const JasmineValue& find(const std::wstring& key) const;
    const JasmineValue& find(const wchar_t* key) const { return find(std::wstring(key)); }
    // A null value first becomes an empty dictionary; a missing key gets a null entry.
    // Any other type is a caller error (assertion).
    JasmineValue& getOrAddEntry(const std::wstring& key);
    // The entry under "version", or null when there is none (or this is no dictionary).
    const JasmineValue* findVersion() const;
    void removeVersion();
    // True when the entry was there.
    bool removeEntry(const std::wstring& key);
    size_t dictionarySize() const;
    // The dictionary itself, in insertion order; null for other types.
    const JasmineDictionary* dictionary() const { return m_type == TYPE_DICTIONARY ? m_payload.dictionary : nullptr; }
    JasmineDictionary* dictionary() { return m_type == TYPE_DICTIONARY ? m_payload.dictionary : nullptr; }

    // [first, last) of a list; both null for other types.
    void listRange(JasmineValue*& first, JasmineValue*& last);
    void listRange(const JasmineValue*& first, const JasmineValue*& last) const;
    size_t listSize() const { return m_type == TYPE_LIST ? m_payload.list->size() : 0; }
    // Appends a null element to a list and returns it (list only: assertion).
    JasmineValue& appendElement();
    void clearList();

    // String types: the text (the default for a null buffer); bool "true"/"false";
    // regular expression: its pattern; others the default.
    const wchar_t* asString(const wchar_t* defaultValue) const;
    bool asBool(bool defaultValue) const;
    int32_t asInt(int32_t defaultValue) const;
    uint32_t asUnsigned(uint32_t defaultValue) const;
    double asReal(double defaultValue) const;

    // The string buffer (types 4, 8), possibly null; the literal of a regular expression.
    const wchar_t* stringBuffer() const {
        return (m_type == TYPE_STRING || m_type == TYPE_RAW_TEXT) ? m_payload.text : nullptr;
    }
    const RegExLiteral* regExp() const { return m_type == TYPE_REGEXP ? m_payload.regExp : nullptr; }

    // Appends the Jasmine text of the value; depth 0 for a whole document. False when a
    // dictionary key would not read back as one key (the first such key goes to badKey);
    // the text is complete all the same.
    bool writeText(std::wstring& out, int depth, std::wstring* badKey = nullptr) const;
    // A key reads back when it lexes as one symbol or number token.
    static bool isWritableKey(const std::wstring& key);

private:
    void setText(Type type, const wchar_t* text, size_t length);

    Type m_type = TYPE_NULL;
    union Payload {
        int32_t i;
        uint32_t u;
        double real;
        bool b;
        wchar_t* text; // malloc'd, may be null
        List* list;
        JasmineDictionary* dictionary;
        RegExLiteral* regExp; // may be null
    } m_payload;
};

// Keys are exact UTF-16 strings, unique, kept in insertion order.
class JasmineDictionary {
public:
    struct Entry {
        std::wstring key;
        JasmineValue value;
    };

    class const_iterator {
    public:
        explicit const_iterator(std::vector<std::unique_ptr<Entry>>::const_iterator it) : m_it(it) {}
        const Entry& operator*() const { return **m_it; }
        const Entry* operator->() const { return m_it->get(); }
        const_iterator& operator++() {
            ++m_it;
            return *this;
        }
        bool operator==(const const_iterator& o) const { return m_it == o.m_it; }
        bool operator!=(const const_iterator& o) const { return m_it != o.m_it; }

    private:
        std::vector<std::unique_ptr<Entry>>::const_iterator m_it;
    };

    const_iterator begin() const { return const_iterator(m_entries.begin()); }
    const_iterator end() const { return const_iterator(m_entries.end()); }
    size_t size() const { return m_entries.size(); }
    // Entries by position, for callers that change values while walking.
    Entry& at(size_t i) { return *m_entries[i]; }
    const Entry& at(size_t i) const { return *m_entries[i]; }

    JasmineValue* find(const std::wstring& key);
    const JasmineValue* find(const std::wstring& key) const;
    JasmineValue& getOrAdd(const std::wstring& key);
    bool remove(const std::wstring& key);

private:
    // References to values stay valid while other keys are added: entries live apart.
    std::vector<std::unique_ptr<Entry>> m_entries;
    std::unordered_map<std::wstring, Entry*> m_index;
};

} // namespace corvel
