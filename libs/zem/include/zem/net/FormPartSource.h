// A file-like part of a multipart form: media type, optional file name, its own header
// fields and the bytes to send.
#pragma once
#include "zem/net/MessageHeader.h"

#include <istream>
#include <string>

namespace zem {
namespace net {

class FormPartSource {
public:
    FormPartSource(const std::wstring& mediaType, const std::wstring& fileName)
        : m_mediaType(mediaType), m_fileName(fileName) {}
    virtual ~FormPartSource() = default;

    const std::wstring& getMediaType() const { return m_mediaType; }
    const std::wstring& getFileName() const { return m_fileName; }
    MessageHeader& getHeader() { return m_header; }
    const MessageHeader& getHeader() const { return m_header; }
    virtual std::istream& stream() = 0;

private:
    std::wstring m_mediaType;
    std::wstring m_fileName;
    MessageHeader m_header;
};

} // namespace net
} // namespace zem
