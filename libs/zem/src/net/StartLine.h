// Character steps shared by the request and status line readers.
#pragma once
#include <cwchar>
#include <streambuf>
#include <string>

namespace zem {
namespace net {

inline bool isLineSpace(std::wint_t ch) {
    return ch == L'\t' || ch == L'\n' || ch == L'\v' || ch == L'\f' || ch == L'\r' || ch == L' ';
}

inline std::wint_t skipLineSpace(std::wstreambuf& buffer, std::wint_t ch) {
    while (isLineSpace(ch))
        ch = buffer.snextc();
    return ch;
}

// Appends up to limit units that are not white space; returns the unit that stopped it.
inline std::wint_t readToken(std::wstreambuf& buffer, std::wint_t ch, size_t limit, std::wstring& token) {
    while (ch != WEOF && !isLineSpace(ch) && token.size() < limit) {
        token += static_cast<wchar_t>(ch);
        ch = buffer.snextc();
    }
    return ch;
}

} // namespace net
} // namespace zem
