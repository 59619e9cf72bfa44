// Source of UTF-16 text decoded from somewhere; the lexers and the HTTP client read
// through it without knowing the encoding.
#pragma once
#include "zem/text/TextEncoding.h"

#include <string>

namespace zem {

class TextReader {
public:
    virtual ~TextReader() = default;

    // Fills buffer with up to count units; returns their number, 0 at the end of input.
    virtual int read(wchar_t* buffer, int count) = 0;
    // Replaces text with all remaining input; returns the number of units read.
    virtual int readAll(std::wstring& text) = 0;
    // Appends the next line, without its CR, LF or CR LF, to text; returns the text's
    // length, or -1 when no input remains.
    virtual int readLine(std::wstring& text) = 0;
    // The next unit without consuming it, or -1 at the end of input.
    virtual int peek() = 0;
    // The next unit, consumed, or -1 at the end of input.
    virtual int read() = 0;
    virtual void close() = 0;

    const TextEncodingPtr& getEncoding() const { return m_encoding; }

protected:
    TextEncodingPtr m_encoding;
};

} // namespace zem
