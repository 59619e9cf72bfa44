// Turns Jasmine text from a TextReader into tokens that keep every character of the
// source, each with exact begin and end positions. Errors are JasmineSyntaxException.
#pragma once
#include "zem/jasmine/JasmineToken.h"

#include <string>

namespace zem {

class TextReader;

class JasmineLexer {
public:
    // The reader is not owned and must outlive the lexer.
    explicit JasmineLexer(TextReader& reader);
    JasmineLexer(const JasmineLexer&) = delete;
    JasmineLexer& operator=(const JasmineLexer&) = delete;

    // Reads the next token into out. Its text stays valid until the next call. At the end
    // of the input every call yields another end-of-stream token.
    void nextToken(JasmineToken& out);

    // Where the next token will begin.
    const SourcePosition& position() const { return m_position; }

private:
    int peek();
    // Consumes one unit: appends it to the token text and moves the position.
    int take();
    void startToken(JasmineToken& out);
    void finishToken(JasmineToken& out, int32_t kind);
    [[noreturn]] void fail(const std::wstring& detail, const SourcePosition& begin) const;

    void readDoubleQuoted(const JasmineToken& token);
    void readEscape(const JasmineToken& token);
    void readHexDigits(int count, const SourcePosition& escapeBegin);
    void readSingleQuoted(const JasmineToken& token);
    int32_t readNumberOrSymbol();
    void readSymbolRun();
    // After the first slash: comment, regular expression or (at the end) nothing.
    int32_t readAfterSlash(JasmineToken& token);
    void readWhitespace();

    TextReader& m_reader;
    std::wstring m_text;       // characters of the token being read
    SourcePosition m_position; // of the next unconsumed character
    bool m_crPending = false;  // the last unit consumed was a carriage return
    int32_t m_nextIndex = 0;
};

} // namespace zem
