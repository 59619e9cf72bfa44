// A pattern as grammar and bundle data store it: the pattern text and its option letters,
// compiled on demand.
#pragma once
#include "corvel/text/RegEx.h"

#include <string>

namespace corvel {

class Stream;

class RegExLiteral {
public:
    RegExLiteral() = default;
    RegExLiteral(std::wstring pattern, std::wstring options)
        : m_pattern(std::move(pattern)), m_options(std::move(options)) {}

    const std::wstring& pattern() const { return m_pattern; }
    const std::wstring& options() const { return m_options; }
    void setPattern(std::wstring pattern) { m_pattern = std::move(pattern); }
    void setOptions(std::wstring options) { m_options = std::move(options); }

    // Always a handle; an empty or rejected pattern leaves it uncompiled (see RegEx::create).
    RegExPtr compile() const;

    // Pattern, then options: each a 32-bit little-endian count of UTF-16 units and the
    // units. write is false when the stream took fewer bytes; read is false when either
    // text comes short, and leaves the literal as it was.
    bool write(Stream& stream) const;
    bool read(Stream& stream);

    bool operator==(const RegExLiteral& other) const {
        return m_pattern == other.m_pattern && m_options == other.m_options;
    }
    bool operator!=(const RegExLiteral& other) const { return !(*this == other); }

private:
    std::wstring m_pattern;
    std::wstring m_options;
};

} // namespace corvel
