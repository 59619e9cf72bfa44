// Sink of UTF-16 text that some writer encodes; line breaks follow the writer's style.
#pragma once
#include "zem/text/LineBreak.h"
#include "zem/text/TextEncoding.h"

#include <string>

namespace zem {

class TextWriter {
public:
    virtual ~TextWriter() = default;

    // Writes one unit; returns 1.
    virtual int put(wchar_t unit) = 0;
    int write(const std::wstring& text) { return write(text.data(), static_cast<int>(text.size())); }
    // Returns the number of units taken (0 for a null buffer).
    virtual int write(const wchar_t* buffer, int count) = 0;
    int writeLine(const std::wstring& text) { return writeLine(text.data(), static_cast<int>(text.size())); }
    // Writes the text and the style's line break; returns the units written, break included.
    virtual int writeLine(const wchar_t* buffer, int count) = 0;
    virtual void close() = 0;

    const TextEncodingPtr& getEncoding() const { return m_encoding; }
    int getLineEnding() const { return m_lineEnding; }
    // One of the LINE_ENDING_ kinds; writeLine refuses any other.
    void setLineEnding(int style) { m_lineEnding = style; }

protected:
    TextEncodingPtr m_encoding;
    int m_lineEnding = LINE_ENDING_CRLF;
};

} // namespace zem
