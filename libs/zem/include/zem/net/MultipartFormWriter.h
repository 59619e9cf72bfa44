// Writes the framing of a multipart body: a boundary line before each part with the part's
// header, and the closing boundary.
#pragma once
#include <ostream>
#include <string>

namespace zem {
namespace net {

class MessageHeader;

class MultipartFormWriter {
public:
    // An empty boundary makes one with createBoundary.
    MultipartFormWriter(std::ostream& stream, const std::wstring& boundary);

    // "\r\n" before every part but the first, "--boundary\r\n", the header fields, "\r\n".
    void nextPart(const MessageHeader& header);
    // "\r\n--boundary--\r\n".
    void close();
    const std::wstring& getBoundary() const { return m_boundary; }

    // "MIME_boundary_" and two random numbers as 8 upper-case hexadecimal digits each,
    // drawn from a generator seeded with the time in whole seconds.
    static std::wstring createBoundary();

private:
    std::ostream& m_stream;
    std::wstring m_boundary;
    bool m_firstPart = true;
};

// Appends text to the stream as UTF-8, without a byte-order mark.
void writeUtf8(std::ostream& stream, const std::wstring& text);

} // namespace net
} // namespace zem
