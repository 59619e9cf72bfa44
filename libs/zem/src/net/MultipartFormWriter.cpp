#include "zem/net/MultipartFormWriter.h"

#include "zem/base/Random.h"
#include "zem/net/MessageHeader.h"
#include "zem/text/StringUtil.h"

#include <windows.h>

#include <ctime>
#include <sstream>
#include <vector>

namespace zem {
namespace net {

void writeUtf8(std::ostream& stream, const std::wstring& text) {
    if (text.empty())
        return;
    int count =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::vector<char> bytes(static_cast<size_t>(count));
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), count, nullptr, nullptr);
    stream.write(bytes.data(), count);
}

MultipartFormWriter::MultipartFormWriter(std::ostream& stream, const std::wstring& boundary)
    : m_stream(stream), m_boundary(boundary.empty() ? createBoundary() : boundary) {}

void MultipartFormWriter::nextPart(const MessageHeader& header) {
    std::wostringstream text;
    if (!m_firstPart)
        text << L"\r\n";
    m_firstPart = false;
    text << L"--" << m_boundary << L"\r\n";
    header.write(text);
    text << L"\r\n";
    writeUtf8(m_stream, text.str());
}

void MultipartFormWriter::close() {
    writeUtf8(m_stream, L"\r\n--" + m_boundary + L"--\r\n");
}

std::wstring MultipartFormWriter::createBoundary() {
    uint8_t state[256];
    Random random(state, sizeof state, static_cast<uint32_t>(std::time(nullptr)));
    std::wstring boundary = L"MIME_boundary_";
    formatUInt(boundary, static_cast<uint32_t>(random.next()), 16, 8);
    formatUInt(boundary, static_cast<uint32_t>(random.next()), 16, 8);
    return boundary;
}

} // namespace net
} // namespace zem
