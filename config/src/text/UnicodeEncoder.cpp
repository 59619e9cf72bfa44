#include "UnicodeEncoder.h"

namespace corvel {

namespace {

bool isHigh(wchar_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLow(wchar_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

} // namespace

UnicodeEncoder::UnicodeEncoder(size_t unitBytes, bool bigEndian) : m_unitBytes(unitBytes), m_bigEndian(bigEndian) {}

void UnicodeEncoder::putUnit(uint32_t value) {
    for (size_t i = 0; i < m_unitBytes; ++i) {
        const size_t shift = m_bigEndian ? 8 * (m_unitBytes - 1 - i) : 8 * i;
        m_bytes.push_back(static_cast<uint8_t>(value >> shift));
    }
}

bool UnicodeEncoder::encode(const wchar_t* units, size_t count, ByteSink& sink) {
    if (count == 0)
        return true;
    if (m_unitBytes == 2 && !m_bigEndian)
        return sink.writeBytes(units, count * 2);
    m_bytes.clear();
    m_bytes.reserve(count * m_unitBytes);
    for (size_t i = 0; i < count; ++i) {
        const wchar_t unit = units[i];
        if (m_unitBytes == 2) {
            putUnit(unit);
        } else if (isHigh(unit) && i + 1 < count && isLow(units[i + 1])) {
            putUnit(0x10000 + ((uint32_t(unit) - 0xD800) << 10) + (uint32_t(units[i + 1]) - 0xDC00));
            ++i;
        } else {
            putUnit(isHigh(unit) || isLow(unit) ? 0xFFFD : unit);
        }
    }
    return sink.writeBytes(m_bytes.data(), m_bytes.size());
}

} // namespace corvel
