// Identifier of bundles, bundle entries, languages and face presets: 16 bytes in the
// GUID layout (a 32-bit field, two 16-bit fields and 8 bytes, in the platform's byte
// order), made, parsed and printed by the operating system's RPC run-time.
#pragma once
#include <cstdint>
#include <string>

namespace zem {

class Uuid {
public:
    // The nil UUID (all zero bytes).
    Uuid();

    // Fills the value with a new random UUID; throws SystemException on failure.
    void create();
    // Parses the 36-character form (8-4-4-4-12 hexadecimal digits in either case, no
    // braces). False, leaving the nil UUID, for any other text; a null text throws
    // NullPointerException.
    bool fromString(const wchar_t* text);
    bool fromString(const std::wstring& text) { return fromString(text.c_str()); }
    // The 36-character form in lower case; throws SystemException on failure.
    std::wstring toString() const;

    void assign(const Uuid& other);
    bool isNil() const;
    const uint8_t* bytes() const { return m_bytes; }

    // Orders by the 16 stored bytes as unsigned bytes in memory order, so the first
    // field compares by its least significant byte first. Negative, 0 or positive.
    static int compare(const Uuid& a, const Uuid& b);

    bool operator==(const Uuid& other) const { return compare(*this, other) == 0; }
    bool operator!=(const Uuid& other) const { return compare(*this, other) != 0; }
    bool operator<(const Uuid& other) const { return compare(*this, other) < 0; }

private:
    uint8_t m_bytes[16];
};

} // namespace zem
