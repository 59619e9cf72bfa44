#include "corvel/config/ConfigValue.h"

#include "corvel/jasmine/JasmineValue.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>

namespace corvel {
namespace {

wchar_t* duplicate(const wchar_t* text) {
    size_t length = text ? std::wcslen(text) : 0;
    wchar_t* copy = static_cast<wchar_t*>(std::malloc((length + 1) * sizeof(wchar_t)));
    if (!copy)
        throw std::bad_alloc();
    if (length)
        std::memcpy(copy, text, length * sizeof(wchar_t));
    copy[length] = 0;
    return copy;
}

// Out of range a float-to-integer conversion is undefined; these saturate, NaN gives 0.
int32_t truncateToInt(double value) {
    if (std::isnan(value))
        return 0;
    if (value <= -2147483648.0)
        return INT32_MIN;
    if (value >= 2147483647.0)
        return INT32_MAX;
    return static_cast<int32_t>(value);
}

// Through 64 bits, as a negative float wraps to a large unsigned.
uint32_t truncateToUnsigned(double value) {
    if (std::isnan(value) || value <= -9.2e18 || value >= 9.2e18)
        return 0;
    return static_cast<uint32_t>(static_cast<int64_t>(value));
}

bool scanInt(const wchar_t* text, int32_t& out) {
    int value = 0;
    if (!text || std::swscanf(text, L"%d", &value) != 1)
        return false;
    out = value;
    return true;
}

bool scanUnsigned(const wchar_t* text, uint32_t& out) {
    unsigned value = 0;
    if (!text || std::swscanf(text, L"%u", &value) != 1)
        return false;
    out = value;
    return true;
}

bool scanFloat(const wchar_t* text, float& out) {
    float value = 0;
    if (!text || std::swscanf(text, L"%f", &value) != 1)
        return false;
    out = value;
    return true;
}

const ConfigValue::List& emptyList() {
    static const ConfigValue::List list;
    return list;
}

} // namespace

ConfigValue::ConfigValue(Type type) {
    m_payload.text = nullptr; // the widest member: every member then reads 0
    setType(type);
}

ConfigValue::ConfigValue(ConfigValue&& other) noexcept
    : m_typeFlags(other.m_typeFlags), m_payload(other.m_payload), m_namespace(other.m_namespace),
      m_name(std::move(other.m_name)) {
    other.m_typeFlags &= ~uint32_t(FLAG_HOLDS_VALUE);
    other.m_payload.text = nullptr; // the widest member: every member then reads 0
}

ConfigValue& ConfigValue::operator=(ConfigValue&& other) noexcept {
    if (this == &other)
        return *this;
    freePayload();
    m_typeFlags = other.m_typeFlags;
    m_payload = other.m_payload;
    m_namespace = other.m_namespace;
    m_name = std::move(other.m_name);
    other.m_typeFlags &= ~uint32_t(FLAG_HOLDS_VALUE);
    other.m_payload.text = nullptr; // the widest member: every member then reads 0
    return *this;
}

ConfigValue::~ConfigValue() {
    freePayload();
}

void ConfigValue::freePayload() {
    switch (getType()) {
    case TYPE_STRING:
        std::free(m_payload.text);
        break;
    case TYPE_LIST:
        delete m_payload.list;
        break;
    case TYPE_JASMINE:
        delete m_payload.jasmine;
        break;
    default:
        break;
    }
    m_payload.text = nullptr; // the widest member: every member then reads 0
}

void ConfigValue::storeText(const std::wstring& text) {
    wchar_t* copy = duplicate(text.c_str());
    std::free(m_payload.text);
    m_payload.text = copy;
}

bool ConfigValue::parseBoolText(const wchar_t* text) {
    if (!text || !text[0])
        return false;
    switch (text[0]) {
    case L'0':
    case L'F':
    case L'f':
        return false;
    case L'1':
    case L'T':
    case L't':
        return true;
    default:
        return (text[0] & 1) != 0;
    }
}

void ConfigValue::setBool(bool value) {
    markSet();
    switch (getType()) {
    case TYPE_UNSET:
        setType(TYPE_BOOL);
        m_payload.text = nullptr; // the widest member: every member then reads 0
        m_payload.b = value;
        break;
    case TYPE_INT:
    case TYPE_UNSIGNED:
        m_payload.u = value ? 1 : 0;
        break;
    case TYPE_BOOL:
        m_payload.b = value;
        break;
    case TYPE_STRING:
        storeText(value ? L"1" : L"0");
        break;
    case TYPE_FLOAT:
        m_payload.f = value ? 1.0f : 0.0f;
        break;
    default:
        break;
    }
}

void ConfigValue::setInt(int32_t value) {
    setInteger(TYPE_INT, static_cast<uint32_t>(value), std::to_wstring(value));
}

// Unsigned text: 3000000000 stays positive in a string value.
void ConfigValue::setUnsigned(uint32_t value) {
    setInteger(TYPE_UNSIGNED, value, std::to_wstring(value));
}

void ConfigValue::setInteger(Type ownType, uint32_t bits, const std::wstring& text) {
    markSet();
    switch (getType()) {
    case TYPE_UNSET:
        setType(ownType);
        m_payload.u = bits;
        break;
    case TYPE_INT:
    case TYPE_UNSIGNED:
        m_payload.u = bits;
        break;
    case TYPE_BOOL:
        m_payload.b = bits != 0;
        break;
    case TYPE_STRING:
        storeText(text);
        break;
    case TYPE_FLOAT:
        m_payload.f = ownType == TYPE_INT ? static_cast<float>(static_cast<int32_t>(bits)) : static_cast<float>(bits);
        break;
    default:
        break;
    }
}

void ConfigValue::setFloat(float value) {
    markSet();
    switch (getType()) {
    case TYPE_UNSET:
        setType(TYPE_FLOAT);
        m_payload.f = value;
        break;
    case TYPE_INT:
        m_payload.i = truncateToInt(value);
        break;
    case TYPE_UNSIGNED:
        m_payload.u = truncateToUnsigned(value);
        break;
    case TYPE_FLOAT:
        m_payload.f = value;
        break;
    default:
        break;
    }
}

void ConfigValue::setString(const wchar_t* text) {
    markSet();
    switch (getType()) {
    case TYPE_UNSET:
        setType(TYPE_STRING);
        m_payload.text = duplicate(text);
        break;
    case TYPE_INT:
        scanInt(text, m_payload.i);
        break;
    case TYPE_UNSIGNED:
        scanUnsigned(text, m_payload.u);
        break;
    case TYPE_BOOL:
        m_payload.b = parseBoolText(text);
        break;
    case TYPE_STRING:
        storeText(text ? text : L"");
        break;
    case TYPE_FLOAT:
        scanFloat(text, m_payload.f);
        break;
    default:
        break;
    }
}

void ConfigValue::setList(const List& values) {
    Type type = getType();
    if (type != TYPE_UNSET && type != TYPE_LIST)
        return;
    // Copied first: values may be this list's own elements.
    List* copy = new List();
    copy->reserve(values.size());
    for (const ConfigValue& source : values) {
        copy->emplace_back();
        copy->back().assign(source);
    }
    if (type == TYPE_LIST)
        clear();
    setType(TYPE_LIST);
    delete m_payload.list;
    m_payload.list = copy;
    m_typeFlags |= FLAG_HOLDS_VALUE | FLAG_CHANGED | FLAG_MODIFIED;
}

void ConfigValue::setJasmine(const JasmineValue& value) {
    markSet();
    Type type = getType();
    if (type != TYPE_UNSET && type != TYPE_JASMINE)
        return;
    JasmineValue* copy = new JasmineValue(value);
    if (type == TYPE_JASMINE)
        delete m_payload.jasmine;
    setType(TYPE_JASMINE);
    m_payload.jasmine = copy;
}

void ConfigValue::assign(const ConfigValue& source) {
    switch (source.getType()) {
    case TYPE_INT:
        setInt(source.m_payload.i);
        break;
    case TYPE_UNSIGNED:
        setUnsigned(source.m_payload.u);
        break;
    case TYPE_BOOL:
        setBool(source.m_payload.b);
        break;
    case TYPE_STRING:
        setString(source.getString());
        break;
    case TYPE_FLOAT:
        setFloat(source.m_payload.f);
        break;
    case TYPE_LIST:
        setList(source.getList());
        break;
    case TYPE_JASMINE:
        if (source.m_payload.jasmine)
            setJasmine(*source.m_payload.jasmine);
        else
            setJasmine(JasmineValue());
        break;
    default:
        break;
    }
}

bool ConfigValue::asBool() const {
    switch (getType()) {
    case TYPE_INT:
    case TYPE_UNSIGNED:
        return m_payload.u != 0;
    case TYPE_BOOL:
        return m_payload.b;
    case TYPE_STRING:
        return parseBoolText(getString());
    case TYPE_FLOAT:
        return m_payload.f != 0.0f;
    default:
        return false;
    }
}

int32_t ConfigValue::asInt() const {
    switch (getType()) {
    case TYPE_INT:
    case TYPE_UNSIGNED:
        return m_payload.i;
    case TYPE_BOOL:
        return m_payload.b ? 1 : 0;
    case TYPE_STRING: {
        int32_t value = 0;
        scanInt(getString(), value);
        return value;
    }
    case TYPE_FLOAT:
        return truncateToInt(m_payload.f);
    default:
        return 0;
    }
}

uint32_t ConfigValue::asUnsigned() const {
    switch (getType()) {
    case TYPE_INT:
    case TYPE_UNSIGNED:
        return m_payload.u;
    case TYPE_BOOL:
        return m_payload.b ? 1 : 0;
    case TYPE_STRING: {
        uint32_t value = 0;
        scanUnsigned(getString(), value);
        return value;
    }
    case TYPE_FLOAT:
        return truncateToUnsigned(m_payload.f);
    default:
        return 0;
    }
}

const wchar_t* ConfigValue::getString() const {
    if (getType() != TYPE_STRING || !m_payload.text)
        return L"";
    return m_payload.text;
}

float ConfigValue::getFloat() const {
    switch (getType()) {
    case TYPE_FLOAT:
        return m_payload.f;
    case TYPE_INT:
        return static_cast<float>(m_payload.i);
    case TYPE_UNSIGNED:
        return static_cast<float>(m_payload.u);
    case TYPE_BOOL:
        return m_payload.b ? 1.0f : 0.0f;
    case TYPE_STRING: {
        float value = 0;
        scanFloat(getString(), value);
        return value;
    }
    default:
        return 0.0f;
    }
}

const ConfigValue::List& ConfigValue::getList() const {
    if (getType() != TYPE_LIST || !m_payload.list)
        return emptyList();
    return *m_payload.list;
}

const JasmineValue* ConfigValue::getJasmine() const {
    return getType() == TYPE_JASMINE ? m_payload.jasmine : nullptr;
}

void ConfigValue::clear() {
    m_typeFlags |= FLAG_CHANGED | FLAG_MODIFIED;
    if (!(m_typeFlags & FLAG_HOLDS_VALUE))
        return;
    m_typeFlags &= ~uint32_t(FLAG_HOLDS_VALUE);
    freePayload();
}

void ConfigValue::toJasmine(JasmineValue& out) const {
    switch (getType()) {
    case TYPE_INT:
        out.setInt(m_payload.i);
        break;
    case TYPE_UNSIGNED:
        out.setUnsigned(m_payload.u);
        break;
    case TYPE_BOOL:
        out.setBool(m_payload.b);
        break;
    case TYPE_STRING:
        out.setString(getString());
        break;
    case TYPE_FLOAT:
        out.setReal(m_payload.f);
        break;
    case TYPE_LIST: {
        out.initPayload(JasmineValue::TYPE_LIST);
        for (const ConfigValue& element : getList())
            element.toJasmine(out.appendElement());
        break;
    }
    case TYPE_JASMINE:
        if (m_payload.jasmine)
            out = *m_payload.jasmine;
        else
            out.reset();
        break;
    default:
        out.reset();
        break;
    }
}

bool ConfigValue::fromJasmineValue(const JasmineValue& value) {
    clear();
    switch (value.getType()) {
    case JasmineValue::TYPE_INT:
        setType(TYPE_INT);
        m_payload.i = value.asInt(0);
        break;
    case JasmineValue::TYPE_UNSIGNED:
        setType(TYPE_UNSIGNED);
        m_payload.u = value.asUnsigned(0);
        break;
    case JasmineValue::TYPE_REAL:
        setType(TYPE_FLOAT);
        m_payload.f = static_cast<float>(value.asReal(0));
        break;
    case JasmineValue::TYPE_STRING:
        setType(TYPE_STRING);
        m_payload.text = duplicate(value.asString(L""));
        break;
    case JasmineValue::TYPE_BOOL:
        setType(TYPE_BOOL);
        m_payload.text = nullptr; // the widest member: every member then reads 0
        m_payload.b = value.asBool(false);
        break;
    case JasmineValue::TYPE_LIST: {
        List* list = new List();
        const JasmineValue* first = nullptr;
        const JasmineValue* last = nullptr;
        value.listRange(first, last);
        list->reserve(static_cast<size_t>(last - first));
        for (const JasmineValue* p = first; p != last; ++p) {
            list->emplace_back();
            list->back().fromJasmineValue(*p); // a refused element stays unset
        }
        setType(TYPE_LIST);
        m_payload.list = list;
        break;
    }
    case JasmineValue::TYPE_DICTIONARY:
        setType(TYPE_JASMINE);
        m_payload.jasmine = new JasmineValue(value);
        break;
    default:
        return false;
    }
    m_typeFlags |= FLAG_CHANGED | FLAG_HOLDS_VALUE;
    return true;
}

} // namespace corvel
