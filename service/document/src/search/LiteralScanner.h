// The fast first pass of literal search: finds window starts whose first and last units
// can belong to a match, eight positions at a time (SSE2), reading each side of the gap
// in place. Every unit that folds to a pattern unit is a variant of it; a candidate
// still needs the full comparison.
#pragma once
#include "corvel/document/GapBuffer.h"

#include <cstdint>
#include <memory>
#include <string>

namespace corvel {

class LiteralScanner {
public:
    static const int MAX_VARIANTS = 4;

    // pattern as the finder compares it (folded when fold is given). Null when the
    // pattern is shorter than two units, a unit has too many variants, or the processor
    // lacks SSE2.
    static std::unique_ptr<LiteralScanner> create(const std::wstring& pattern, const wchar_t* fold);

    // The first window start in [from, lastStart] whose two scanned units pass; -1 when none.
    int32_t next(const GapBuffer::Sides& sides, int32_t from, int32_t lastStart) const;

private:
    LiteralScanner() = default;
    int32_t scan(const wchar_t* base, int32_t from, int32_t to) const;
    bool passes(wchar_t head, wchar_t tail) const;

    int32_t m_last = 0; // pattern length - 1
    wchar_t m_head[MAX_VARIANTS] = {};
    wchar_t m_tail[MAX_VARIANTS] = {};
    int m_headCount = 0;
    int m_tailCount = 0;
};

} // namespace corvel
