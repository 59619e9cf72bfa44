// The backslash escapes of a double-quoted string. The Jasmine lexer and the JSON reader
// accept the same ones and both parsers decode them here, so a quoted string reads the
// same in either dialect and what a scanner lets through is exactly what gets decoded.
#pragma once
#include <string>

namespace zem {

// 0-9, A-F, a-f. Takes an int so a reader's end-of-input (-1) is simply false.
inline bool isHexDigit(int unit) {
    return (unit >= L'0' && unit <= L'9') || (unit >= L'A' && unit <= L'F') || (unit >= L'a' && unit <= L'f');
}

// The unit that a backslash and this one letter stand for (\b \f \n \r \t \v, and the
// quote, slash and backslash for themselves), or -1 when the letter begins no such
// escape; \x and \u are not among them, since hexadecimal digits follow them.
inline int simpleEscapeUnit(int letter) {
    switch (letter) {
    case L'b':
        return 8;
    case L'f':
        return 12;
    case L'n':
        return 10;
    case L'r':
        return 13;
    case L't':
        return 9;
    case L'v':
        return 11;
    case L'"':
    case L'/':
    case L'\\':
        return letter;
    default:
        return -1;
    }
}

// The text between the quotes of a double-quoted string with its escapes decoded. A
// scanner has checked them; text it never saw is still read within [begin, end).
std::wstring decodeDoubleQuotedText(const wchar_t* begin, const wchar_t* end);

} // namespace zem
