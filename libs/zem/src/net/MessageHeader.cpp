#include "zem/net/MessageHeader.h"

#include "zem/base/Exception.h"

namespace zem {
namespace net {

namespace {

const std::wint_t kEnd = WEOF;

bool isTrailingSpace(wchar_t unit) {
    return unit == L'\t' || unit == L'\n' || unit == L'\v' || unit == L'\f' || unit == L'\r' || unit == L' ';
}

// Reads to the end of the line into value; the line's CR LF (or the stream end) is consumed.
std::wint_t readValueLine(std::wstreambuf& buffer, std::wint_t ch, std::wstring& value, const wchar_t* fault) {
    while (ch != kEnd && ch != L'\r' && ch != L'\n' && value.size() < MessageHeader::MAX_VALUE_LENGTH) {
        value += static_cast<wchar_t>(ch);
        ch = buffer.snextc();
    }
    if (ch == L'\r')
        ch = buffer.snextc();
    if (ch == L'\n')
        return buffer.snextc();
    if (ch != kEnd)
        throw MessageException(fault);
    return ch;
}

} // namespace

void MessageHeader::write(std::wostream& stream) const {
    for (const auto& field : *this)
        stream << field.first << L": " << field.second << L"\r\n";
}

void MessageHeader::read(std::wistream& stream) {
    std::wstreambuf* buffer = stream.rdbuf();
    if (!buffer)
        return;
    std::wint_t ch = buffer->sgetc();
    while (ch != kEnd && ch != L'\r' && ch != L'\n') {
        std::wstring name;
        while (ch != kEnd && ch != L':' && ch != L'\n' && name.size() < MAX_NAME_LENGTH) {
            name += static_cast<wchar_t>(ch);
            ch = buffer->snextc();
        }
        if (ch == L'\n') {
            ch = buffer->snextc();
            continue;
        }
        if (ch != L':')
            throw MessageException(L"Field name too long/no colon found");
        ch = buffer->snextc();
        while (ch != kEnd && ch != L'\r' && ch != L'\n' && std::iswspace(static_cast<wchar_t>(ch)))
            ch = buffer->snextc();
        std::wstring value;
        ch = readValueLine(*buffer, ch, value, L"Field value too long/no CRLF found");
        while (ch == L' ' || ch == L'\t')
            ch = readValueLine(*buffer, ch, value, L"Folded field value too long/no CRLF found");
        while (!value.empty() && isTrailingSpace(value.back()))
            value.pop_back();
        add(name, value);
    }
}

} // namespace net
} // namespace zem
