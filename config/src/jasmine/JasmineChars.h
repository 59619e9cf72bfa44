// The character classes of the product's Jasmine tokens, shared by the lexer and the
// writer's check that a key reads back as one token.
#pragma once

namespace corvel {
namespace jasmine {

inline bool isLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

inline bool isDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// After the first character of a symbol (a letter, '_' or "--").
inline bool isSymbolChar(wchar_t c) {
    return isLetter(c) || isDigit(c) || c == L'-' || c == L'.' || c == L'_';
}

// After the first character of a number ('-', '.' or a digit).
inline bool isNumberChar(wchar_t c) {
    return isDigit(c) || c == L'-' || c == L'.' || c == L'E' || c == L'e';
}

} // namespace jasmine
} // namespace corvel
