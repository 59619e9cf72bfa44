// Character steps shared by the request and status line readers.
#pragma once
#include "zem/base/Exception.h"

#include <cwchar>
#include <istream>
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

// The first unit of a start line, leading white space skipped. An empty stream throws
// NoMessageException; one holding white space only, MessageException with noHeader.
inline std::wint_t beginStartLine(std::wistream& stream, const wchar_t* noHeader) {
    std::wstreambuf* buffer = stream.rdbuf();
    std::wint_t ch = buffer ? buffer->sgetc() : WEOF;
    if (ch == WEOF)
        throw NoMessageException(L"");
    ch = skipLineSpace(*buffer, ch);
    if (ch == WEOF)
        throw MessageException(noHeader);
    return ch;
}

} // namespace net
} // namespace zem
