#include "zem/files/WorkString.h"

#include "zem/base/Assert.h"
#include "zem/files/Path.h"

#include <cstring>
#include <cwchar>

namespace zem {

WorkString::WorkString() : m_data(m_inline), m_length(0), m_capacity(INLINE_CAPACITY) {
    m_inline[0] = 0;
}

WorkString::WorkString(const wchar_t* text) : WorkString() {
    assign(text);
}

WorkString::WorkString(const wchar_t* text, size_t length) : WorkString() {
    assign(text, length);
}

WorkString::WorkString(const WorkString& other) : WorkString() {
    assign(other.m_data, other.m_length);
}

WorkString& WorkString::operator=(const WorkString& other) {
    if (this != &other)
        assign(other.m_data, other.m_length);
    return *this;
}

WorkString::~WorkString() {
    if (m_data != m_inline)
        delete[] m_data;
}

void WorkString::truncate(size_t length) {
    if (length >= m_length)
        return;
    m_length = length;
    m_data[m_length] = 0;
}

void WorkString::reserve(size_t length) {
    if (length < m_capacity)
        return;
    size_t capacity = (length + 1 + GROW_STEP - 1) / GROW_STEP * GROW_STEP;
    wchar_t* block = new wchar_t[capacity];
    std::memcpy(block, m_data, (m_length + 1) * sizeof(wchar_t));
    if (m_data != m_inline)
        delete[] m_data;
    m_data = block;
    m_capacity = capacity;
}

WorkString& WorkString::assign(const wchar_t* text) {
    return assign(text, text ? std::wcslen(text) : 0);
}

WorkString& WorkString::assign(const wchar_t* text, size_t length) {
    if (text >= m_data && text <= m_data + m_length) {
        // A part of ourselves: no reallocation can happen, the text only shrinks.
        std::memmove(m_data, text, length * sizeof(wchar_t));
        m_length = length;
        m_data[m_length] = 0;
        return *this;
    }
    m_length = 0;
    m_data[0] = 0;
    return append(text, length);
}

WorkString& WorkString::append(const wchar_t* text) {
    return append(text, text ? std::wcslen(text) : 0);
}

WorkString& WorkString::append(const wchar_t* text, size_t length) {
    if (length == 0)
        return *this;
    if (text >= m_data && text <= m_data + m_length) {
        WorkString copy(text, length);
        return append(copy.c_str(), length);
    }
    reserve(m_length + length);
    std::memcpy(m_data + m_length, text, length * sizeof(wchar_t));
    m_length += length;
    m_data[m_length] = 0;
    return *this;
}

WorkString& WorkString::append(wchar_t ch) {
    reserve(m_length + 1);
    m_data[m_length++] = ch;
    m_data[m_length] = 0;
    return *this;
}

WorkString& WorkString::insert(size_t position, const wchar_t* text) {
    return insert(position, text, text ? std::wcslen(text) : 0);
}

WorkString& WorkString::insert(size_t position, const wchar_t* text, size_t length) {
    ZEM_ASSERT(position <= m_length);
    if (length == 0)
        return *this;
    if (text >= m_data && text <= m_data + m_length) {
        WorkString copy(text, length);
        return insert(position, copy.c_str(), length);
    }
    reserve(m_length + length);
    std::memmove(m_data + position + length, m_data + position, (m_length - position + 1) * sizeof(wchar_t));
    std::memcpy(m_data + position, text, length * sizeof(wchar_t));
    m_length += length;
    return *this;
}

void WorkString::syncLength() {
    m_data[m_capacity - 1] = 0;
    m_length = std::wcslen(m_data);
}

const wchar_t* WorkString::getFileName() const {
    for (size_t i = m_length; i > 0; --i) {
        if (isPathSeparator(m_data[i - 1]))
            return m_data + i;
    }
    return m_data;
}

const wchar_t* WorkString::getExtension() const {
    const wchar_t* name = getFileName();
    const wchar_t* dot = std::wcsrchr(name, L'.');
    return dot ? dot + 1 : m_data + m_length;
}

bool WorkString::operator==(const wchar_t* text) const {
    return text && std::wcslen(text) == m_length && std::wmemcmp(text, m_data, m_length) == 0;
}

} // namespace zem
