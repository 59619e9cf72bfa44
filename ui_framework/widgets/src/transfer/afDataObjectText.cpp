#include "corvel/widgets/afDataObjectText.h"

#include <cstring>

namespace corvel {

afDataObjectText::afDataObjectText() : afDataObjectSimple(CF_UNICODETEXT) {}

afDataObjectText::afDataObjectText(const std::wstring& text) : afDataObjectSimple(CF_UNICODETEXT), m_text(text) {
    m_empty = 0;
}

size_t afDataObjectText::getSize() {
    return (m_text.size() + 1) * sizeof(wchar_t);
}

bool afDataObjectText::getValue(void* destination) {
    if (!destination)
        return false;
    std::memcpy(destination, m_text.c_str(), getSize());
    return true;
}

bool afDataObjectText::setValue(size_t size, const void* source) {
    m_text.clear();
    if (size == 0)
        return true;
    if (!source)
        return false;
    m_text.assign(static_cast<const wchar_t*>(source), size / sizeof(wchar_t));
    m_empty = 0;
    return true;
}

std::wstring afDataObjectText::getText() {
    m_empty = 0;
    return m_text;
}

void afDataObjectText::setText(const wchar_t* text, size_t count) {
    if (!text || count == 0)
        return;
    m_text.assign(text, count);
    m_empty = 0;
}

} // namespace corvel
