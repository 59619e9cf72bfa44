#include "corvel/text/RegExLiteral.h"

#include "corvel/config/Stream.h"

#include <algorithm>

namespace corvel {
namespace {

bool writeText(Stream& stream, const std::wstring& text) {
    uint32_t count = static_cast<uint32_t>(text.size());
    uint8_t header[4] = {uint8_t(count), uint8_t(count >> 8), uint8_t(count >> 16), uint8_t(count >> 24)};
    if (stream.write(header, 4) != 4)
        return false;
    uint32_t bytes = count * 2;
    return bytes == 0 || stream.write(text.data(), bytes) == bytes;
}

// The count comes from the stream: the text grows as units arrive, so a corrupt count
// ends in a short read rather than one huge allocation.
bool readText(Stream& stream, std::wstring& out) {
    uint8_t header[4];
    if (stream.read(header, 4) != 4)
        return false;
    uint32_t count = uint32_t(header[0]) | uint32_t(header[1]) << 8 | uint32_t(header[2]) << 16 |
                     uint32_t(header[3]) << 24;
    out.clear();
    const uint32_t step = 4096;
    while (count > 0) {
        uint32_t n = std::min(count, step);
        size_t at = out.size();
        out.resize(at + n);
        if (stream.read(&out[at], n * 2) != n * 2)
            return false;
        count -= n;
    }
    return true;
}

} // namespace

RegExPtr RegExLiteral::compile() const {
    RegExOptions options = parseRegExOptions(m_options.c_str());
    return RegEx::create(m_pattern, options.bits, options.globalFlag);
}

bool RegExLiteral::write(Stream& stream) const {
    return writeText(stream, m_pattern) && writeText(stream, m_options);
}

bool RegExLiteral::read(Stream& stream) {
    std::wstring pattern;
    std::wstring options;
    if (!readText(stream, pattern) || !readText(stream, options))
        return false;
    m_pattern.swap(pattern);
    m_options.swap(options);
    return true;
}

} // namespace corvel
