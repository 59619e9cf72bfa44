#include "LiteralScanner.h"

#include <emmintrin.h>
#include <windows.h>

namespace corvel {

namespace {

// The units whose fold is target (target alone without folding); false past the limit.
bool collectVariants(wchar_t target, const wchar_t* fold, wchar_t* out, int& count) {
    count = 0;
    if (!fold) {
        out[count++] = target;
        return true;
    }
    for (uint32_t unit = 0; unit < 0x10000; ++unit) {
        if (fold[unit] != target)
            continue;
        if (count == LiteralScanner::MAX_VARIANTS)
            return false;
        out[count++] = static_cast<wchar_t>(unit);
    }
    return count > 0;
}

__attribute__((target("sse2"))) __m128i anyEqual(__m128i units, const __m128i* variants, int count) {
    __m128i hits = _mm_cmpeq_epi16(units, variants[0]);
    for (int i = 1; i < count; ++i)
        hits = _mm_or_si128(hits, _mm_cmpeq_epi16(units, variants[i]));
    return hits;
}

__attribute__((target("sse2"))) int32_t scanSse2(const wchar_t* base, int32_t from, int32_t to, int32_t last,
                                                 const wchar_t* head, int headCount, const wchar_t* tail,
                                                 int tailCount) {
    __m128i heads[LiteralScanner::MAX_VARIANTS], tails[LiteralScanner::MAX_VARIANTS];
    for (int i = 0; i < headCount; ++i)
        heads[i] = _mm_set1_epi16(static_cast<short>(head[i]));
    for (int i = 0; i < tailCount; ++i)
        tails[i] = _mm_set1_epi16(static_cast<short>(tail[i]));
    int32_t at = from;
    for (; at + 7 <= to; at += 8) {
        __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + at));
        __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + at + last));
        int mask =
            _mm_movemask_epi8(_mm_and_si128(anyEqual(first, heads, headCount), anyEqual(second, tails, tailCount)));
        if (mask)
            return at + (__builtin_ctz(static_cast<unsigned>(mask)) >> 1);
    }
    return at;
}

} // namespace

std::unique_ptr<LiteralScanner> LiteralScanner::create(const std::wstring& pattern, const wchar_t* fold) {
    static const bool sse2 = IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) != 0;
    if (!sse2 || pattern.size() < 2)
        return nullptr;
    std::unique_ptr<LiteralScanner> scanner(new LiteralScanner);
    scanner->m_last = static_cast<int32_t>(pattern.size()) - 1;
    if (!collectVariants(pattern.front(), fold, scanner->m_head, scanner->m_headCount) ||
        !collectVariants(pattern.back(), fold, scanner->m_tail, scanner->m_tailCount))
        return nullptr;
    return scanner;
}

bool LiteralScanner::passes(wchar_t head, wchar_t tail) const {
    bool headOk = false, tailOk = false;
    for (int i = 0; i < m_headCount; ++i)
        headOk |= m_head[i] == head;
    for (int i = 0; i < m_tailCount; ++i)
        tailOk |= m_tail[i] == tail;
    return headOk && tailOk;
}

// Window starts in [from, to] of one side; base[i] is unit i for every unit the windows read.
int32_t LiteralScanner::scan(const wchar_t* base, int32_t from, int32_t to) const {
    int32_t at = scanSse2(base, from, to, m_last, m_head, m_headCount, m_tail, m_tailCount);
    if (at < from || at > to)
        return -1;
    if (at + 7 <= to || passes(base[at], base[at + m_last]))
        return at; // a hit of the wide pass, or the first tail position
    for (++at; at <= to; ++at) {
        if (passes(base[at], base[at + m_last]))
            return at;
    }
    return -1;
}

int32_t LiteralScanner::next(const GapBuffer::Sides& sides, int32_t from, int32_t lastStart) const {
    const int32_t split = sides.firstLength;
    // Windows wholly before the gap.
    int32_t firstEnd = std::min(lastStart, split - 1 - m_last);
    if (from <= firstEnd) {
        int32_t hit = scan(sides.first, from, firstEnd);
        if (hit >= 0)
            return hit;
    }
    // Windows across the gap.
    for (int32_t at = std::max(from, split - m_last); at < split && at <= lastStart; ++at) {
        wchar_t head = sides.first[at];
        wchar_t tail = at + m_last < split ? sides.first[at + m_last] : sides.second[at + m_last - split];
        if (passes(head, tail))
            return at;
    }
    // Windows wholly after it.
    int32_t start = std::max(from, split);
    if (start <= lastStart)
        return scan(sides.second - split, start, lastStart);
    return -1;
}

} // namespace corvel
