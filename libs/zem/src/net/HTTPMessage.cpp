#include "zem/net/HTTPMessage.h"

#include "zem/text/StringUtil.h"

#include <cwchar>

namespace zem {
namespace net {

const wchar_t* const HTTPMessage::HTTP_1_0 = L"HTTP/1.0";
const wchar_t* const HTTPMessage::HTTP_1_1 = L"HTTP/1.1";
const wchar_t* const HTTPMessage::HOST = L"Host";
const wchar_t* const HTTPMessage::COOKIE = L"Cookie";
const wchar_t* const HTTPMessage::AUTHORIZATION = L"Authorization";
const wchar_t* const HTTPMessage::SET_COOKIE = L"Set-Cookie";
const wchar_t* const HTTPMessage::DATE = L"Date";
const wchar_t* const HTTPMessage::CONTENT_LENGTH = L"Content-Length";
const wchar_t* const HTTPMessage::CONTENT_TYPE = L"Content-Type";
const wchar_t* const HTTPMessage::TRANSFER_ENCODING = L"Transfer-Encoding";
const wchar_t* const HTTPMessage::CONNECTION = L"Connection";
const wchar_t* const HTTPMessage::KEEP_ALIVE = L"Keep-Alive";
const wchar_t* const HTTPMessage::IDENTITY_TRANSFER_ENCODING = L"identity";
const wchar_t* const HTTPMessage::CHUNKED_TRANSFER_ENCODING = L"chunked";
const wchar_t* const HTTPMessage::CONNECTION_CLOSE = L"Close";

void HTTPMessage::setContentLength(int length) {
    if (length == -1) {
        erase(CONTENT_LENGTH);
        return;
    }
    std::wstring text;
    formatInt(text, length);
    set(CONTENT_LENGTH, text);
}

void HTTPMessage::setTransferEncoding(const std::wstring& encoding) {
    if (_wcsicmp(encoding.c_str(), IDENTITY_TRANSFER_ENCODING) == 0)
        erase(TRANSFER_ENCODING);
    else
        set(TRANSFER_ENCODING, encoding);
}

void HTTPMessage::setContentType(const std::wstring& type) {
    if (type.empty())
        erase(CONTENT_TYPE);
    else
        set(CONTENT_TYPE, type);
}

void HTTPMessage::setKeepAlive(bool keepAlive) {
    if (keepAlive)
        erase(CONNECTION);
    else
        set(CONNECTION, CONNECTION_CLOSE);
}

void HTTPMessage::skipLine(std::wstreambuf& buffer) {
    for (std::wint_t ch = buffer.sbumpc(); ch != WEOF && ch != L'\n'; ch = buffer.sbumpc()) {
    }
}

} // namespace net
} // namespace zem
