#include "corvel/document/FilterMatcher.h"

#include <algorithm>
#include <cwchar>
#include <memory>
#include <windows.h>

namespace corvel {

namespace {

const uint32_t FIELD_MAX = 0xFFFF;

// Every unit through CharLowerBuffW once: candidates are lower-cased unit by unit on
// every keystroke, and a call per unit costs more than the match itself.
const wchar_t* lowerTable() {
    static const std::unique_ptr<wchar_t[]> table = [] {
        std::unique_ptr<wchar_t[]> t(new wchar_t[0x10000]);
        for (uint32_t i = 0; i < 0x10000; ++i)
            t[i] = static_cast<wchar_t>(i);
        CharLowerBuffW(t.get(), 0x10000);
        return t;
    }();
    return table.get();
}

uint32_t capped(uint32_t value) {
    return std::min(value, FIELD_MAX);
}

uint32_t scoreOf(uint32_t gap, uint32_t sum) {
    return (capped(gap) << 16) | capped(sum);
}

} // namespace

wchar_t FilterMatcher::toLower(wchar_t c) {
    return lowerTable()[static_cast<uint16_t>(c)];
}

FilterMatcher::FilterMatcher(const wchar_t* filter) {
    setFilter(filter);
}

FilterMatcher::FilterMatcher(const FilterMatcher& other) : m_flags(other.m_flags), m_filter(other.m_filter) {
    split();
}

FilterMatcher& FilterMatcher::operator=(const FilterMatcher& other) {
    m_flags = other.m_flags;
    m_filter = other.m_filter;
    split();
    return *this;
}

bool FilterMatcher::setFilter(const wchar_t* filter) {
    return setFilter(filter, filter ? std::wcslen(filter) : 0);
}

bool FilterMatcher::setFilter(const wchar_t* filter, size_t length) {
    m_filter.assign(filter ? filter : L"", filter ? length : 0);
    if (!m_filter.empty())
        CharLowerBuffW(&m_filter[0], static_cast<DWORD>(m_filter.size()));
    split();
    return !m_words.empty();
}

// From the end: each run back to a separator is a word (empty when the filter ends with
// a separator), then the separators before it are skipped.
void FilterMatcher::split() {
    m_words.clear();
    const wchar_t* text = m_filter.data();
    size_t pos = m_filter.size();
    while (pos > 0) {
        size_t start = pos;
        while (start > 0 && !isWordSeparator(text[start - 1]))
            --start;
        m_words.push_back(Part{text + start, pos - start});
        pos = start;
        while (pos > 0 && isWordSeparator(text[pos - 1]))
            --pos;
    }
}

bool FilterMatcher::fits(const Part& word, const wchar_t* segment, size_t length, uint32_t& unmatched) {
    const wchar_t* table = lowerTable();
    size_t consumed = 0;
    for (size_t i = 0; i < length && consumed < word.length; ++i) {
        if (table[static_cast<uint16_t>(segment[i])] == word.text[consumed])
            ++consumed;
    }
    if (consumed < word.length)
        return false;
    size_t left = length - consumed;
    unmatched = left > FIELD_MAX ? FIELD_MAX : static_cast<uint32_t>(left);
    return true;
}

bool FilterMatcher::match(const wchar_t* text, size_t length, uint32_t& score) const {
    score = 0;
    if (m_words.empty() || !text)
        return false;
    size_t end = length;
    size_t word = 0;
    uint32_t index = 0;
    uint32_t previous = 0; // segment index of the previous word
    uint32_t gap = 0;
    uint32_t sum = 0;
    for (;;) {
        size_t start = end;
        while (start > 0 && !isSegmentSeparator(text[start - 1]))
            --start;
        size_t segmentEnd = end;
        end = start;
        while (end > 0 && isSegmentSeparator(text[end - 1]))
            --end;
        uint32_t unmatched = 0;
        if (fits(m_words[word], text + start, segmentEnd - start, unmatched)) {
            gap = capped(gap + (word == 0 ? index : index - previous - 1));
            previous = index;
            sum = capped(sum + unmatched);
            if (++word == m_words.size()) {
                // Every segment still to the left is one more left unmatched; a leading
                // separator counts as one.
                for (size_t pos = start; pos > 0;) {
                    gap = capped(gap + 1);
                    while (pos > 0 && isSegmentSeparator(text[pos - 1]))
                        --pos;
                    while (pos > 0 && !isSegmentSeparator(text[pos - 1]))
                        --pos;
                }
                score = scoreOf(gap, sum);
                return true;
            }
        } else if ((m_flags & ANCHORED) && index == 0 && word == 0) {
            return false;
        }
        ++index;
        if (end == 0)
            return false;
    }
}

bool FilterMatcher::matchParts(const std::vector<Part>& parts, uint32_t& score) const {
    score = 0;
    if (m_words.empty())
        return false;
    size_t word = 0;
    uint32_t previous = 0;
    uint32_t gap = 0;
    uint32_t sum = 0;
    for (size_t index = 0; index < parts.size(); ++index) {
        const Part& part = parts[parts.size() - 1 - index];
        uint32_t unmatched = 0;
        if (!fits(m_words[word], part.text, part.text ? part.length : 0, unmatched))
            continue;
        gap = capped(gap + static_cast<uint32_t>(word == 0 ? index : index - previous - 1));
        previous = static_cast<uint32_t>(index);
        sum = capped(sum + unmatched);
        if (++word == m_words.size()) {
            gap = capped(gap + static_cast<uint32_t>(parts.size() - 1 - index));
            score = scoreOf(gap, sum);
            return true;
        }
    }
    return false;
}

} // namespace corvel
