// The UTF-8 decoder of the document code pages, over any sink of UTF-16 units, so that the
// loader can scan line breaks as the units come instead of in a second pass.
//
// A sink has `size_t roomLeft() const` and `void put(wchar_t unit)`.
#pragma once
#include <cstddef>
#include <cstdint>

namespace corvel {

namespace utf8 {

const wchar_t REPLACEMENT = 0xFFFD;

// 2 to 6 for a lead byte; 0 for a continuation byte, FE and FF.
inline size_t sequenceLength(uint8_t lead) {
    if (lead >= 0xC0 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF7)
        return 4;
    if (lead >= 0xF8 && lead <= 0xFB)
        return 5;
    if (lead >= 0xFC && lead <= 0xFD)
        return 6;
    return 0;
}

// Overlong forms, 5- and 6-byte sequences and the non-characters FFFE and FFFF.
inline bool isRefused(size_t length, uint32_t value) {
    static const uint32_t SMALLEST_VALUE[] = {0, 0, 0x80, 0x800, 0x10000};
    return length > 4 || value < SMALLEST_VALUE[length] || value == 0xFFFE || value == 0xFFFF;
}

} // namespace utf8

// Decodes while bytes and room remain; returns the bytes consumed. A sequence broken by a
// byte that continues nothing gives U+FFFD for the bytes before it; surrogate values and
// values past U+10FFFF give U+FFFD. A sequence cut off by the end of the bytes stays
// unconsumed, or with `final` gives one U+FFFD. A pair that does not fit stops decoding.
template <typename Sink> size_t decodeUtf8(const uint8_t* source, size_t byteCount, Sink& sink, bool final) {
    size_t pos = 0;
    while (pos < byteCount && sink.roomLeft() > 0) {
        const uint8_t lead = source[pos];
        if (lead < 0x80) {
            sink.put(lead);
            ++pos;
            continue;
        }
        const size_t length = utf8::sequenceLength(lead);
        if (length == 0) {
            sink.put(utf8::REPLACEMENT);
            ++pos;
            continue;
        }
        uint32_t value = lead & (0x7F >> length);
        size_t taken = 1;
        while (taken < length && pos + taken < byteCount) {
            const uint8_t next = source[pos + taken];
            if ((next & 0xC0) != 0x80)
                break;
            value = (value << 6) | (next & 0x3F);
            ++taken;
        }
        if (taken < length) {
            if (pos + taken < byteCount) {
                sink.put(utf8::REPLACEMENT); // cut short by a byte that continues nothing
                pos += taken;
                continue;
            }
            if (final) {
                sink.put(utf8::REPLACEMENT);
                pos = byteCount;
            }
            return pos;
        }
        if (utf8::isRefused(length, value))
            value = utf8::REPLACEMENT;
        if (value >= 0x10000 && value < 0x110000) {
            if (sink.roomLeft() < 2)
                return pos;
            sink.put(static_cast<wchar_t>(0xD800 + ((value - 0x10000) >> 10)));
            sink.put(static_cast<wchar_t>(0xDC00 | (value & 0x3FF)));
        } else {
            const bool unpaired = value >= 0xD800 && value <= 0xDFFF;
            sink.put(unpaired || value >= 0x110000 ? utf8::REPLACEMENT : static_cast<wchar_t>(value));
        }
        pos += length;
    }
    return pos;
}

} // namespace corvel
