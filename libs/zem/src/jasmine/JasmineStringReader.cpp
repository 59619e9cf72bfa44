#include "zem/jasmine/JasmineStringReader.h"

namespace zem {

int JasmineStringReader::read(wchar_t* buffer, int count) {
    int n = 0;
    while (n < count && m_pos < m_text.size())
        buffer[n++] = m_text[m_pos++];
    return n;
}

int JasmineStringReader::readAll(std::wstring& text) {
    text.assign(m_text, m_pos, std::wstring::npos);
    m_pos = m_text.size();
    return static_cast<int>(text.size());
}

int JasmineStringReader::readLine(std::wstring& text) {
    if (m_pos >= m_text.size())
        return -1;
    while (m_pos < m_text.size() && m_text[m_pos] != L'\r' && m_text[m_pos] != L'\n')
        text.push_back(m_text[m_pos++]);
    if (m_pos < m_text.size() && m_text[m_pos++] == L'\r' && m_pos < m_text.size() && m_text[m_pos] == L'\n')
        ++m_pos;
    return static_cast<int>(text.size());
}

} // namespace zem
