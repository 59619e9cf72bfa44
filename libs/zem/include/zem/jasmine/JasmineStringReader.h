// A TextReader over text already in memory, for parsing Jasmine held in a string
// (the text is referenced, not copied, and must outlive the reader).
#pragma once
#include "zem/text/TextReader.h"

#include <string>

namespace zem {

class JasmineStringReader : public TextReader {
public:
    explicit JasmineStringReader(const std::wstring& text) : m_text(text) {}

    int read(wchar_t* buffer, int count) override;
    int readAll(std::wstring& text) override;
    int readLine(std::wstring& text) override;
    int peek() override { return m_pos < m_text.size() ? m_text[m_pos] : -1; }
    int read() override { return m_pos < m_text.size() ? m_text[m_pos++] : -1; }
    void close() override { m_pos = m_text.size(); }

private:
    const std::wstring& m_text;
    size_t m_pos = 0; // <= m_text.size()
};

} // namespace zem
