#include "corvel/document/FinderBoyerMoore.h"

#include "LiteralScanner.h"
#include "corvel/document/Document.h"
#include "corvel/document/GappedStringIterator.h"
#include "zem/base/CharClass.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace corvel {

namespace {

typedef GappedStringIterator<Document> TextIterator;

// Every unit's upper case, as CharUpperBuffW gives it unit by unit; built once.
const wchar_t* upperCaseTable() {
    static const std::vector<wchar_t> table = [] {
        std::vector<wchar_t> units(0x10000);
        for (size_t i = 0; i < units.size(); ++i)
            units[i] = static_cast<wchar_t>(i);
        for (size_t i = 0; i < units.size(); i += 0x1000)
            CharUpperBuffW(&units[i], 0x1000);
        return units;
    }();
    return table.data();
}

} // namespace

void buildBadCharTable(const std::wstring& pattern, int32_t table[256]) {
    std::fill(table, table + 256, 0);
    for (size_t i = 0; i < pattern.size(); ++i)
        table[pattern[i] & 0xFF] = static_cast<int32_t>(i);
}

// The strong good-suffix rule with the usual border preprocessing, stored one place
// down so that entry k answers a mismatch at pattern index k.
std::vector<int32_t> buildGoodSuffixTable(const std::wstring& p) {
    const int32_t m = static_cast<int32_t>(p.size());
    std::vector<int32_t> f(m + 1, 0), s(m + 1, 0);
    int32_t i = m, j = m + 1;
    f[i] = j;
    while (i > 0) {
        while (j <= m && p[i - 1] != p[j - 1]) {
            if (s[j] == 0)
                s[j] = j - i;
            j = f[j];
        }
        --i;
        --j;
        f[i] = j;
    }
    j = f[0];
    for (int32_t k = 0; k <= m; ++k) {
        if (k > 0)
            s[k - 1] = s[k] != 0 ? s[k] : j;
        if (k == j)
            j = f[j];
    }
    return s;
}

FinderBoyerMoore::FinderBoyerMoore(const std::wstring& pattern, bool ignoreCase, bool wholeWord)
    : m_pattern(pattern), m_last(static_cast<int32_t>(pattern.size()) - 1), m_ignoreCase(ignoreCase),
      m_wholeWord(wholeWord) {
    if (ignoreCase) {
        m_fold = upperCaseTable();
        for (wchar_t& unit : m_pattern)
            unit = m_fold[unit];
    }
    m_scanner = LiteralScanner::create(m_pattern, m_fold);
}

FinderBoyerMoore::~FinderBoyerMoore() = default;

const FinderBoyerMoore::Tables& FinderBoyerMoore::tables(bool backward) {
    std::unique_ptr<Tables>& slot = backward ? m_backward : m_forward;
    if (!slot) {
        std::wstring pattern = m_pattern;
        if (backward)
            std::reverse(pattern.begin(), pattern.end());
        slot.reset(new Tables);
        buildBadCharTable(pattern, slot->badChar);
        slot->goodSuffix = buildGoodSuffixTable(pattern);
    }
    return *slot;
}

bool FinderBoyerMoore::isWholeWord(const Document& document, int32_t start) const {
    int32_t end = start + m_last + 1;
    if (start > 0 && !zem::isWordClassBoundary(zem::getCharFlags(document.getChar(start - 1)),
                                               zem::getCharFlags(document.getChar(start))))
        return false;
    if (end < document.getLength() && !zem::isWordClassBoundary(zem::getCharFlags(document.getChar(end - 1)),
                                                                zem::getCharFlags(document.getChar(end))))
        return false;
    return true;
}

const zem::MatchResults& FinderBoyerMoore::find(const Document& document, int32_t lower, int32_t upper, bool backward) {
    m_results.clear();
    if (lower >= upper || m_pattern.empty())
        return m_results;
    if (!backward && m_scanner && m_fastScan)
        return scanForward(document, lower, upper);
    const Tables& t = tables(backward);
    const wchar_t* p = backward ? nullptr : m_pattern.c_str();
    const TextIterator text(&document, 0);
    const int32_t length = m_last + 1;
    // x is the window's distance from the search origin: lower forward, upper backward
    // (where the text and the pattern are both read reversed).
    const int32_t room = upper - lower;
    const wchar_t* fold = m_fold;
    int32_t x = 0;
    while (x + m_last < room) {
        int32_t n = m_last;
        wchar_t u = 0;
        for (; n >= 0; --n) {
            u = backward ? text[upper - 1 - x - n] : text[lower + x + n];
            if (fold)
                u = fold[u];
            wchar_t expected = p ? p[n] : m_pattern[m_last - n];
            if (u != expected)
                break;
        }
        if (n >= 0) {
            x += std::max(t.goodSuffix[n], n - t.badChar[u & 0xFF]);
            continue;
        }
        int32_t start = backward ? upper - x - length : lower + x;
        if (!m_wholeWord || isWholeWord(document, start)) {
            m_results.add(start, start + length);
            return m_results;
        }
        ++x;
    }
    return m_results;
}

const zem::MatchResults& FinderBoyerMoore::scanForward(const Document& document, int32_t lower, int32_t upper) {
    const GapBuffer::Sides sides = document.getTextSides();
    const TextIterator text(&document, 0);
    const int32_t lastStart = upper - (m_last + 1);
    for (int32_t at = lower; at <= lastStart;) {
        int32_t candidate = m_scanner->next(sides, at, lastStart);
        if (candidate < 0)
            break;
        int32_t n = m_last - 1;
        for (; n > 0; --n) {
            wchar_t u = text[candidate + n];
            if ((m_fold ? m_fold[u] : u) != m_pattern[n])
                break;
        }
        if (n <= 0 && (!m_wholeWord || isWholeWord(document, candidate))) {
            m_results.add(candidate, candidate + m_last + 1);
            break;
        }
        at = candidate + 1;
    }
    return m_results;
}

} // namespace corvel
