// The characters of a bare word (symbol) and the digits of a number: the Jasmine lexer,
// the JSON reader and the writers agree on these sets, so whatever is written bare reads
// back as one symbol.
#pragma once

namespace zem {

// 0-9 only: the digits of the readers' number tokens. Takes an int so a reader's
// end-of-input (-1) is simply false.
inline bool isDecimalDigit(int unit) {
    return unit >= L'0' && unit <= L'9';
}

// A-Z, a-z, 0-9, '-', '.', '_'.
inline bool isSymbolChar(int unit) {
    return (unit >= L'A' && unit <= L'Z') || (unit >= L'a' && unit <= L'z') || isDecimalDigit(unit) || unit == L'-' ||
           unit == L'.' || unit == L'_';
}

} // namespace zem
