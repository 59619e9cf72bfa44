#include "zem/net/HTTPResponse.h"

#include "StartLine.h"
#include "zem/base/Exception.h"
#include "zem/text/StreamTextReader.h"

namespace zem {
namespace net {

std::unique_ptr<HTTPResponse> HTTPResponse::create() {
    return std::make_unique<HTTPResponse>();
}

HTTPResponse::HTTPResponse() = default;

HTTPResponse::~HTTPResponse() {
    // The reader reads from the body stream: it goes first.
    m_reader.reset();
    m_body.reset();
}

void HTTPResponse::setBodyStream(std::istream* stream) {
    m_reader.reset();
    m_body.reset(stream);
    m_bodyText.clear();
    m_hasBodyText = false;
}

StreamTextReader* HTTPResponse::getBodyReader() {
    if (!m_body)
        return nullptr;
    if (!m_reader)
        m_reader = std::make_unique<StreamTextReader>(*m_body, TextEncodingPtr());
    return m_reader.get();
}

void HTTPResponse::setBodyText(const std::wstring& text) {
    m_bodyText = text;
    m_hasBodyText = true;
}

void HTTPResponse::write(std::wostream& stream) const {
    stream << getVersion() << L' ' << m_status << L' ' << m_reason << L"\r\n";
    MessageHeader::write(stream);
    stream << L"\r\n";
}

void HTTPResponse::read(std::wistream& stream) {
    std::wint_t ch = beginStartLine(stream, L"No HTTP response header");
    std::wstreambuf* buffer = stream.rdbuf();
    std::wstring version, status, reason;
    ch = readToken(*buffer, ch, MAX_VERSION_LENGTH, version);
    if (!isLineSpace(ch))
        throw MessageException(L"Invalid HTTP version string");
    ch = readToken(*buffer, skipLineSpace(*buffer, ch), MAX_STATUS_LENGTH, status);
    if (!isLineSpace(ch))
        throw MessageException(L"Invalid HTTP status code");
    while (ch != L'\r' && ch != L'\n' && isLineSpace(ch))
        ch = buffer->snextc();
    while (ch != WEOF && ch != L'\r' && ch != L'\n' && reason.size() < MAX_REASON_LENGTH) {
        reason += static_cast<wchar_t>(ch);
        ch = buffer->snextc();
    }
    if (!isLineSpace(ch))
        throw MessageException(L"HTTP reason string too long");
    if (ch == L'\r')
        ch = buffer->snextc();
    if (ch == L'\n')
        buffer->sbumpc();
    MessageHeader::read(stream);
    skipLine(*buffer);
    int code = 0;
    for (wchar_t digit : status) {
        if (digit < L'0' || digit > L'9')
            break;
        code = code * 10 + (digit - L'0');
    }
    setVersion(version);
    m_status = code;
    m_reason = reason;
}

} // namespace net
} // namespace zem
