#include "corvel/jasmine/JasmineValue.h"

#include "zem/base/Assert.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>

namespace corvel {
namespace {

wchar_t* duplicateText(const wchar_t* text, size_t length) {
    wchar_t* copy = static_cast<wchar_t*>(std::malloc((length + 1) * sizeof(wchar_t)));
    if (!copy)
        throw std::bad_alloc();
    std::memcpy(copy, text, length * sizeof(wchar_t));
    copy[length] = 0;
    return copy;
}

const JasmineValue& sharedNull() {
    static const JasmineValue value;
    return value;
}

const std::wstring& versionKey() {
    static const std::wstring key = L"version";
    return key;
}

} // namespace

// ---- JasmineDictionary ----

JasmineValue* JasmineDictionary::find(const std::wstring& key) {
    auto it = m_index.find(key);
    return it == m_index.end() ? nullptr : &it->second->value;
}

const JasmineValue* JasmineDictionary::find(const std::wstring& key) const {
    auto it = m_index.find(key);
    return it == m_index.end() ? nullptr : &it->second->value;
}

JasmineValue& JasmineDictionary::getOrAdd(const std::wstring& key) {
    auto it = m_index.find(key);
    if (it != m_index.end())
        return it->second->value;
    m_entries.push_back(std::unique_ptr<Entry>(new Entry{key, JasmineValue()}));
    Entry* entry = m_entries.back().get();
    m_index.emplace(key, entry);
    return entry->value;
}

bool JasmineDictionary::remove(const std::wstring& key) {
    auto it = m_index.find(key);
    if (it == m_index.end())
        return false;
    Entry* entry = it->second;
    m_index.erase(it);
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].get() == entry) {
            m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    return true;
}

// ---- JasmineValue ----

JasmineValue::JasmineValue(Type type) {
    m_payload.real = 0;
    initPayload(type);
}

JasmineValue::JasmineValue(const JasmineValue& other) {
    m_payload.real = 0;
    assign(other);
}

JasmineValue::JasmineValue(JasmineValue&& other) noexcept : m_type(other.m_type), m_payload(other.m_payload) {
    other.m_type = TYPE_NULL;
    other.m_payload.real = 0;
}

JasmineValue& JasmineValue::operator=(const JasmineValue& other) {
    assign(other);
    return *this;
}

JasmineValue& JasmineValue::operator=(JasmineValue&& other) noexcept {
    if (this == &other)
        return *this;
    // other may live inside this value's payload: take it out before freeing.
    Type type = other.m_type;
    Payload payload = other.m_payload;
    other.m_type = TYPE_NULL;
    other.m_payload.real = 0;
    reset();
    m_type = type;
    m_payload = payload;
    return *this;
}

void JasmineValue::reset() {
    switch (m_type) {
    case TYPE_STRING:
    case TYPE_RAW_TEXT:
        std::free(m_payload.text);
        break;
    case TYPE_LIST:
        delete m_payload.list;
        break;
    case TYPE_DICTIONARY:
        delete m_payload.dictionary;
        break;
    case TYPE_REGEXP:
        delete m_payload.regExp;
        break;
    default:
        break;
    }
    m_type = TYPE_NULL;
    m_payload.real = 0;
}

void JasmineValue::initPayload(Type type) {
    reset();
    switch (type) {
    case TYPE_LIST:
        m_payload.list = new List();
        break;
    case TYPE_DICTIONARY:
        m_payload.dictionary = new JasmineDictionary();
        break;
    default:
        break;
    }
    m_type = type;
}

void JasmineValue::assign(const JasmineValue& other) {
    if (this == &other)
        return;
    // Built apart first: other may be an element of this value's own payload.
    JasmineValue copy;
    copy.m_type = other.m_type;
    switch (other.m_type) {
    case TYPE_STRING:
    case TYPE_RAW_TEXT:
        copy.m_payload.text =
            other.m_payload.text ? duplicateText(other.m_payload.text, std::wcslen(other.m_payload.text)) : nullptr;
        break;
    case TYPE_LIST:
        copy.m_payload.list = new List(*other.m_payload.list);
        break;
    case TYPE_DICTIONARY: {
        copy.m_payload.dictionary = new JasmineDictionary();
        for (const JasmineDictionary::Entry& entry : *other.m_payload.dictionary)
            copy.m_payload.dictionary->getOrAdd(entry.key).assign(entry.value);
        break;
    }
    case TYPE_REGEXP:
        copy.m_payload.regExp = other.m_payload.regExp ? new RegExLiteral(*other.m_payload.regExp) : nullptr;
        break;
    default:
        copy.m_payload = other.m_payload;
        break;
    }
    *this = std::move(copy);
}

bool JasmineValue::equals(const JasmineValue& other) const {
    if (m_type != other.m_type)
        return false;
    switch (m_type) {
    case TYPE_NULL:
        return true;
    case TYPE_INT:
    case TYPE_UNSIGNED:
        return m_payload.u == other.m_payload.u;
    case TYPE_REAL:
        return m_payload.real == other.m_payload.real;
    case TYPE_BOOL:
        return m_payload.b == other.m_payload.b;
    case TYPE_STRING:
    case TYPE_RAW_TEXT:
        return m_payload.text && other.m_payload.text && std::wcscmp(m_payload.text, other.m_payload.text) == 0;
    case TYPE_LIST:
        return *m_payload.list == *other.m_payload.list;
    case TYPE_DICTIONARY: {
        const JasmineDictionary& mine = *m_payload.dictionary;
        const JasmineDictionary& theirs = *other.m_payload.dictionary;
        if (mine.size() != theirs.size())
            return false;
        for (const JasmineDictionary::Entry& entry : mine) {
            const JasmineValue* found = theirs.find(entry.key);
            if (!found || !entry.value.equals(*found))
                return false;
        }
        return true;
    }
    case TYPE_REGEXP:
        if (!m_payload.regExp || !other.m_payload.regExp)
            return !m_payload.regExp && !other.m_payload.regExp;
        return *m_payload.regExp == *other.m_payload.regExp;
    }
    return false;
}

void JasmineValue::setInt(int32_t value) {
    reset();
    m_type = TYPE_INT;
    m_payload.i = value;
}

void JasmineValue::setUnsigned(uint32_t value) {
    reset();
    m_type = TYPE_UNSIGNED;
    m_payload.u = value;
}

void JasmineValue::setReal(double value) {
    reset();
    m_type = TYPE_REAL;
    m_payload.real = value;
}

void JasmineValue::setBool(bool value) {
    reset();
    m_type = TYPE_BOOL;
    m_payload.b = value;
}

void JasmineValue::setText(Type type, const wchar_t* text, size_t length) {
    wchar_t* copy = text ? duplicateText(text, length) : nullptr;
    reset();
    m_type = type;
    m_payload.text = copy;
}

void JasmineValue::setString(const wchar_t* text) {
    setText(TYPE_STRING, text, text ? std::wcslen(text) : 0);
}

void JasmineValue::setString(const wchar_t* text, size_t length) {
    setText(TYPE_STRING, text, length);
}

void JasmineValue::setRawText(const wchar_t* text) {
    setText(TYPE_RAW_TEXT, text, text ? std::wcslen(text) : 0);
}

void JasmineValue::setRegExp(const std::wstring& pattern, const std::wstring& options) {
    RegExLiteral* literal = new RegExLiteral(pattern, options);
    reset();
    m_type = TYPE_REGEXP;
    m_payload.regExp = literal;
}

const JasmineValue& JasmineValue::find(const std::wstring& key) const {
    if (m_type != TYPE_DICTIONARY)
        return sharedNull();
    const JasmineValue* found = m_payload.dictionary->find(key);
    return found ? *found : sharedNull();
}

JasmineValue& JasmineValue::getOrAddEntry(const std::wstring& key) {
    if (m_type == TYPE_NULL)
        initPayload(TYPE_DICTIONARY);
    ZEM_ASSERT_MSG(m_type == TYPE_DICTIONARY, L"getOrAddEntry on a value that is neither null nor a dictionary");
    return m_payload.dictionary->getOrAdd(key);
}

const JasmineValue* JasmineValue::findVersion() const {
    if (m_type != TYPE_DICTIONARY)
        return nullptr;
    return m_payload.dictionary->find(versionKey());
}

void JasmineValue::removeVersion() {
    removeEntry(versionKey());
}

bool JasmineValue::removeEntry(const std::wstring& key) {
    return m_type == TYPE_DICTIONARY && m_payload.dictionary->remove(key);
}

size_t JasmineValue::dictionarySize() const {
    return m_type == TYPE_DICTIONARY ? m_payload.dictionary->size() : 0;
}

void JasmineValue::listRange(JasmineValue*& first, JasmineValue*& last) {
    first = last = nullptr;
    if (m_type != TYPE_LIST || m_payload.list->empty())
        return;
    first = m_payload.list->data();
    last = first + m_payload.list->size();
}

void JasmineValue::listRange(const JasmineValue*& first, const JasmineValue*& last) const {
    first = last = nullptr;
    if (m_type != TYPE_LIST || m_payload.list->empty())
        return;
    first = m_payload.list->data();
    last = first + m_payload.list->size();
}

JasmineValue& JasmineValue::appendElement() {
    ZEM_ASSERT_MSG(m_type == TYPE_LIST, L"appendElement on a value that is not a list");
    m_payload.list->emplace_back();
    return m_payload.list->back();
}

void JasmineValue::clearList() {
    if (m_type == TYPE_LIST)
        m_payload.list->clear();
}

const wchar_t* JasmineValue::asString(const wchar_t* defaultValue) const {
    switch (m_type) {
    case TYPE_STRING:
    case TYPE_RAW_TEXT:
        return m_payload.text ? m_payload.text : defaultValue;
    case TYPE_BOOL:
        return m_payload.b ? L"true" : L"false";
    case TYPE_REGEXP:
        return m_payload.regExp ? m_payload.regExp->pattern().c_str() : defaultValue;
    default:
        return defaultValue;
    }
}

bool JasmineValue::asBool(bool defaultValue) const {
    switch (m_type) {
    case TYPE_BOOL:
        return m_payload.b;
    case TYPE_INT:
    case TYPE_UNSIGNED:
        return m_payload.u != 0;
    case TYPE_REAL:
        return m_payload.real != 0.0;
    case TYPE_STRING:
    case TYPE_RAW_TEXT:
        return m_payload.text && m_payload.text[0] != 0;
    case TYPE_REGEXP:
        return m_payload.regExp && !m_payload.regExp->pattern().empty();
    default:
        return defaultValue;
    }
}

int32_t JasmineValue::asInt(int32_t defaultValue) const {
    switch (m_type) {
    case TYPE_INT:
    case TYPE_UNSIGNED:
        return m_payload.i;
    case TYPE_REAL:
        // Out of range the conversion is undefined; saturate instead.
        if (!(m_payload.real > -2147483649.0))
            return m_payload.real != m_payload.real ? 0 : INT32_MIN;
        if (!(m_payload.real < 2147483648.0))
            return INT32_MAX;
        return static_cast<int32_t>(m_payload.real);
    case TYPE_BOOL:
        return 0;
    default:
        return defaultValue;
    }
}

uint32_t JasmineValue::asUnsigned(uint32_t defaultValue) const {
    switch (m_type) {
    case TYPE_INT:
    case TYPE_UNSIGNED:
        return m_payload.u;
    case TYPE_REAL: {
        double r = m_payload.real;
        if (!(r > -9.2e18 && r < 9.2e18))
            return 0;
        return static_cast<uint32_t>(static_cast<int64_t>(r));
    }
    case TYPE_BOOL:
        return 0;
    default:
        return defaultValue;
    }
}

double JasmineValue::asReal(double defaultValue) const {
    switch (m_type) {
    case TYPE_INT:
        return m_payload.i;
    case TYPE_UNSIGNED:
        return m_payload.u;
    case TYPE_REAL:
        return m_payload.real;
    case TYPE_BOOL:
        return 0.0;
    default:
        return defaultValue;
    }
}

} // namespace corvel
