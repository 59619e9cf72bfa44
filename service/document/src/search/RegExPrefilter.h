// What a conservative reading of a regular expression tells about every match: a literal
// it must contain and the units it may be made of. Find uses it to run the engine only
// over runs of such units around the literal. Patterns outside the reading (anchors,
// alternation, any-character, escapes of letters, negated classes, case folding) give
// no prefilter.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvel {

class RegExPrefilter {
public:
    // Null when the pattern is outside the reading or no literal is required.
    static std::unique_ptr<RegExPrefilter> analyse(const std::wstring& pattern);

    const std::wstring& literal() const { return m_literal; }
    bool allows(wchar_t unit) const { return (m_allowed[unit >> 5] >> (unit & 31)) & 1; }

private:
    RegExPrefilter() : m_allowed(0x10000 / 32, 0) {}
    void allow(wchar_t unit) { m_allowed[unit >> 5] |= 1u << (unit & 31); }

    std::wstring m_literal;
    std::vector<uint32_t> m_allowed; // one bit per UTF-16 unit
};

} // namespace corvel
