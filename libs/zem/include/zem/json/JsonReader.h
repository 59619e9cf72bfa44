// Reads JSON text into a value tree. Strict JSON plus comments and the escapes \v and
// \xHH always; trailing or missing commas, single-quoted strings, bare words and
// regular-expression literals when the settings ask for them. Bad input throws a
// parser exception with the positions of the offending text; no partial tree is ever
// returned.
#pragma once
#include "zem/base/ParserException.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace zem {

class Value;

struct JsonReaderSettings {
    bool allowTrailingComma = false; // a comma directly before "}" or "]"
    bool allowMissingComma = false;  // entries and elements need no comma between them
    bool allowRegExp = false;        // "/" starts a regular-expression literal
    bool allowSymbols = false;       // bare words are strings (and number tokens may be keys)
    bool allowSingleQuoted = false;  // "'" starts a string in which "''" is one apostrophe
    // Carried for the callers that pass them; the reader does not consult them.
    bool reservedFlag = false;
    int32_t reservedNumber = 1;
};

// Values nested deeper than this (the root is at depth 1) throw JsonTooMuchNestingException.
constexpr int JSON_MAX_DEPTH = 100;

// "Unexpected state" for a number that is not finite as a double, and for a list
// element followed by neither "," nor "]". The text and class are what callers have
// always caught; the positions say where the input went wrong.
class JsonUnexpectedStateException : public IllegalStateException {
public:
    JsonUnexpectedStateException(SourcePosition begin, SourcePosition end)
        : IllegalStateException(L"Unexpected state"), m_begin(begin), m_end(end) {}
    void raise() const override { throw *this; }

    const SourcePosition& begin() const { return m_begin; }
    const SourcePosition& end() const { return m_end; }

private:
    SourcePosition m_begin;
    SourcePosition m_end;
};

// Returns a new DictionaryValue or ListValue that the caller owns. The text ends at its
// end: a NUL code unit inside it is a character like any other (an invalid token
// outside strings), so a document cannot be cut short by one.
Value* parseJson(const JsonReaderSettings& settings, const std::wstring& text);
Value* parseJson(const JsonReaderSettings& settings, const wchar_t* text, size_t length);

} // namespace zem
