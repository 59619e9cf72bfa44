// An HTTP response: version, status and reason, header fields, and the body stream and
// text the client session reads into it.
#pragma once
#include "zem/net/HTTPMessage.h"

#include <istream>
#include <memory>

namespace zem {

class StreamTextReader;

namespace net {

class HTTPResponse : public HTTPMessage {
public:
    static constexpr size_t MAX_VERSION_LENGTH = 8;
    static constexpr size_t MAX_STATUS_LENGTH = 3;
    static constexpr size_t MAX_REASON_LENGTH = 512;

    static std::unique_ptr<HTTPResponse> create();

    HTTPResponse();
    ~HTTPResponse() override;

    int getStatus() const { return m_status; }
    void setStatus(int status) { m_status = status; }
    const std::wstring& getReason() const { return m_reason; }
    void setReason(const std::wstring& reason) { m_reason = reason; }

    // Takes ownership; drops the reader and text made over the previous stream.
    void setBodyStream(std::istream* stream);
    std::istream* getBodyStream() const { return m_body.get(); }
    // The reader over the body stream, made on first use with the encoding taken from a
    // byte-order mark (UTF-8 without one); null without a body stream.
    StreamTextReader* getBodyReader();
    bool hasBodyText() const { return m_hasBodyText; }
    const std::wstring& getBodyText() const { return m_bodyText; }
    void setBodyText(const std::wstring& text);

    // "VERSION STATUS REASON\r\n", the header, "\r\n".
    void write(std::wostream& stream) const override;
    // Reads a status line and its header; the start line is stored only when it all read.
    // Throws NoMessageException for an empty stream, MessageException for malformed text.
    void read(std::wistream& stream) override;

private:
    int m_status = 200;
    std::wstring m_reason = L"OK";
    std::unique_ptr<std::istream> m_body;
    std::unique_ptr<StreamTextReader> m_reader;
    std::wstring m_bodyText;
    bool m_hasBodyText = false;
};

} // namespace net
} // namespace zem
