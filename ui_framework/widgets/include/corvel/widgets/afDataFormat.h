// A private clipboard format registered by name; the id is meaningful only while the
// system runs, so it is looked up at start rather than stored.
#pragma once
#include <cstdint>

namespace corvel {

class afDataFormat {
public:
    afDataFormat() = default;
    explicit afDataFormat(const wchar_t* name) { setFormat(name); }

    // Registers the name; a failure logs and leaves the id 0.
    uint16_t setFormat(const wchar_t* name);
    uint16_t getFormat() const { return m_format; }

private:
    uint16_t m_format = 0;
};

} // namespace corvel
