// An HTTP request: method, target and version, header fields, and once sent the body
// stream the client session handed out, which the request owns.
#pragma once
#include "zem/net/HTTPMessage.h"

#include <memory>
#include <ostream>

namespace zem {
namespace net {

class HTTPRequest : public HTTPMessage {
public:
    static const wchar_t* const HTTP_GET;
    static const wchar_t* const HTTP_HEAD;
    static const wchar_t* const HTTP_PUT;
    static const wchar_t* const HTTP_POST;
    static const wchar_t* const HTTP_OPTIONS;
    static const wchar_t* const HTTP_DELETE;
    static const wchar_t* const HTTP_TRACE;
    static const wchar_t* const HTTP_CONNECT;

    static constexpr size_t MAX_METHOD_LENGTH = 32;
    static constexpr size_t MAX_URI_LENGTH = 4096;
    static constexpr size_t MAX_VERSION_LENGTH = 8;

    // The update check's request: "POST corvel/version/check HTTP/1.0".
    static std::unique_ptr<HTTPRequest> create();

    HTTPRequest();
    ~HTTPRequest() override;

    const std::wstring& getMethod() const { return m_method; }
    void setMethod(const std::wstring& method) { m_method = method; }
    const std::wstring& getURI() const { return m_uri; }
    void setURI(const std::wstring& uri) { m_uri = uri; }

    // Takes ownership; the previous stream is destroyed first.
    void setBodyStream(std::ostream* stream);
    std::ostream* getBodyStream() const { return m_body.get(); }
    // Destroys the body stream (for a session's stream: flushes it and closes the request).
    void closeBodyStream();

    // "METHOD URI VERSION\r\n", the header, "\r\n".
    void write(std::wostream& stream) const override;
    // Reads a request line and its header; the start line is stored only when it all read.
    // Throws NoMessageException for an empty stream, MessageException for malformed text.
    void read(std::wistream& stream) override;

private:
    std::wstring m_method;
    std::wstring m_uri;
    std::unique_ptr<std::ostream> m_body;
};

} // namespace net
} // namespace zem
