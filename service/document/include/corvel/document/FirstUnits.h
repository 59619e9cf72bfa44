// The code units a match of a pattern can start with, read from the pattern's text, so
// that the line parser can pass over a pattern on a line that holds none of them without
// running the engine. Anything the reading does not know makes the set "any unit".
#pragma once
#include <cstdint>
#include <string>

namespace corvel {

class FirstUnits {
public:
    // Every unit: what an unknown pattern, or one that can match empty text, starts with.
    static FirstUnits any();
    // From a pattern's text and its engine option bits.
    static FirstUnits of(const std::wstring& pattern, uint32_t options);
    // The units present in a text.
    static FirstUnits presentIn(const wchar_t* text, int32_t length);

    bool isAny() const { return m_ascii[0] == ~0ull && m_ascii[1] == ~0ull && m_other; }
    // Whether a unit of this set is in the other.
    bool meets(const FirstUnits& other) const {
        return (m_ascii[0] & other.m_ascii[0]) || (m_ascii[1] & other.m_ascii[1]) || (m_other && other.m_other);
    }

    bool has(wchar_t unit) const { return unit >= 128 ? m_other : ((m_ascii[unit >> 6] >> (unit & 63)) & 1) != 0; }

    // How many units the set holds, all those from 128 on counted as many.
    int weight() const;

    void add(wchar_t unit);
    void addRange(wchar_t first, wchar_t last);
    void addAll(const FirstUnits& other);

private:
    uint64_t m_ascii[2] = {0, 0}; // units below 128
    bool m_other = false;         // any unit from 128 on
};

} // namespace corvel
