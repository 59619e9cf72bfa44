// Writes UTF-16 text as UTF-16 or UTF-32 in either byte order; pairs become one UTF-32 unit.
#pragma once
#include "corvel/text/TextEncoder.h"

#include <vector>

namespace corvel {

class UnicodeEncoder : public TextEncoder {
public:
    UnicodeEncoder(size_t unitBytes, bool bigEndian);
    bool encode(const wchar_t* units, size_t count, ByteSink& sink) override;

private:
    void putUnit(uint32_t value);

    size_t m_unitBytes; // 2 or 4
    bool m_bigEndian;
    std::vector<uint8_t> m_bytes; // reused between runs
};

} // namespace corvel
