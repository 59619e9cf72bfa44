// Header fields plus the protocol version: what requests and responses share.
#pragma once
#include "zem/net/MessageHeader.h"

namespace zem {
namespace net {

class HTTPMessage : public MessageHeader {
public:
    static const wchar_t* const HTTP_1_0;
    static const wchar_t* const HTTP_1_1;

    static const wchar_t* const HOST;
    static const wchar_t* const COOKIE;
    static const wchar_t* const AUTHORIZATION;
    static const wchar_t* const SET_COOKIE;
    static const wchar_t* const DATE;
    static const wchar_t* const CONTENT_LENGTH;
    static const wchar_t* const CONTENT_TYPE;
    static const wchar_t* const TRANSFER_ENCODING;
    static const wchar_t* const CONNECTION;
    static const wchar_t* const KEEP_ALIVE;
    static const wchar_t* const IDENTITY_TRANSFER_ENCODING; // "identity"
    static const wchar_t* const CHUNKED_TRANSFER_ENCODING;  // "chunked"
    static const wchar_t* const CONNECTION_CLOSE;           // "Close"

    const std::wstring& getVersion() const { return m_version; }
    void setVersion(const std::wstring& version) { m_version = version; }

    // -1 erases the field.
    void setContentLength(int length);
    // "identity" (any case) erases the field.
    void setTransferEncoding(const std::wstring& encoding);
    // An empty type erases the field.
    void setContentType(const std::wstring& type);
    // Off sets "Connection: Close"; on erases it.
    void setKeepAlive(bool keepAlive);

protected:
    // Reads the end of a start line: everything up to and including the next LF.
    static void skipLine(std::wstreambuf& buffer);

private:
    std::wstring m_version = HTTP_1_0;
};

} // namespace net
} // namespace zem
