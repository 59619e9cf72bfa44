// The characters of a bare word (symbol): the Jasmine lexer, the JSON reader and the
// writers agree on this one set, so whatever is written bare reads back as one symbol.
#pragma once

namespace zem {

// A-Z, a-z, 0-9, '-', '.', '_'. Takes an int so a reader's end-of-input (-1) is simply false.
inline bool isSymbolChar(int unit) {
    return (unit >= L'A' && unit <= L'Z') || (unit >= L'a' && unit <= L'z') || (unit >= L'0' && unit <= L'9') ||
           unit == L'-' || unit == L'.' || unit == L'_';
}

} // namespace zem
