#include "zem/net/HTTPRequest.h"

#include "StartLine.h"
#include "zem/base/Exception.h"

namespace zem {
namespace net {

const wchar_t* const HTTPRequest::HTTP_GET = L"GET";
const wchar_t* const HTTPRequest::HTTP_HEAD = L"HEAD";
const wchar_t* const HTTPRequest::HTTP_PUT = L"PUT";
const wchar_t* const HTTPRequest::HTTP_POST = L"POST";
const wchar_t* const HTTPRequest::HTTP_OPTIONS = L"OPTIONS";
const wchar_t* const HTTPRequest::HTTP_DELETE = L"DELETE";
const wchar_t* const HTTPRequest::HTTP_TRACE = L"TRACE";
const wchar_t* const HTTPRequest::HTTP_CONNECT = L"CONNECT";

std::unique_ptr<HTTPRequest> HTTPRequest::create() {
    auto request = std::make_unique<HTTPRequest>();
    request->setMethod(HTTP_POST);
    request->setURI(L"corvel/version/check");
    return request;
}

HTTPRequest::HTTPRequest() : m_method(HTTP_GET), m_uri(L"/") {}

HTTPRequest::~HTTPRequest() = default;

void HTTPRequest::setBodyStream(std::ostream* stream) {
    m_body.reset();
    m_body.reset(stream);
}

void HTTPRequest::closeBodyStream() {
    m_body.reset();
}

void HTTPRequest::write(std::wostream& stream) const {
    stream << m_method << L' ' << m_uri << L' ' << getVersion() << L"\r\n";
    MessageHeader::write(stream);
    stream << L"\r\n";
}

void HTTPRequest::read(std::wistream& stream) {
    std::wint_t ch = beginStartLine(stream, L"No HTTP request header");
    std::wstreambuf* buffer = stream.rdbuf();
    std::wstring method, uri, version;
    ch = readToken(*buffer, ch, MAX_METHOD_LENGTH, method);
    if (!isLineSpace(ch))
        throw MessageException(L"HTTP request method invalid or too long");
    ch = readToken(*buffer, skipLineSpace(*buffer, ch), MAX_URI_LENGTH, uri);
    if (!isLineSpace(ch))
        throw MessageException(L"HTTP request URI invalid or too long");
    ch = readToken(*buffer, skipLineSpace(*buffer, ch), MAX_VERSION_LENGTH, version);
    if (!isLineSpace(ch))
        throw MessageException(L"Invalid HTTP version string");
    skipLine(*buffer);
    MessageHeader::read(stream);
    skipLine(*buffer);
    m_method = method;
    m_uri = uri;
    setVersion(version);
}

} // namespace net
} // namespace zem
