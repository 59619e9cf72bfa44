// A regular-expression literal: pattern and option texts exactly as written, never
// compiled here.
#pragma once
#include "zem/value/Value.h"

namespace zem {

class RegExpValue : public Value {
public:
    RegExpValue(std::wstring pattern, std::wstring options)
        : Value(KIND_REGEXP), m_pattern(std::move(pattern)), m_options(std::move(options)) {}

    Value* clone() const override;
    bool equals(const Value* other) const override;

    const std::wstring& pattern() const { return m_pattern; }
    const std::wstring& options() const { return m_options; }

private:
    std::wstring m_pattern;
    std::wstring m_options;
};

// A new node owned by the caller; both texts are stored unchanged.
Value* createRegExpValue(const std::wstring& pattern, const std::wstring& options);

} // namespace zem
