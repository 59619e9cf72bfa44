// Narrows a list as the user types: a candidate passes when every typed word is an
// abbreviation (a case-insensitive subsequence) of its own segment of the candidate,
// taken from the right. The score says how loosely it fits; lower is better:
// unmatched segments in the upper 16 bits, unmatched characters in the lower 16.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace corvel {

class FilterMatcher {
public:
    enum : uint32_t { ANCHORED = 1 }; // the last word must fit the last segment

    struct Part {
        const wchar_t* text;
        size_t length;
    };

    explicit FilterMatcher(const wchar_t* filter = L"");
    FilterMatcher(const FilterMatcher& other);
    FilterMatcher& operator=(const FilterMatcher& other);

    // Replaces the filter; returns whether at least one word resulted.
    bool setFilter(const wchar_t* filter);
    bool setFilter(const wchar_t* filter, size_t length);

    uint32_t flags() const { return m_flags; }
    void setFlags(uint32_t flags) { m_flags = flags; }
    // Last typed word first.
    const std::vector<Part>& words() const { return m_words; }

    // Scores a candidate; on failure the score is 0.
    bool match(const wchar_t* text, size_t length, uint32_t& score) const;
    // The candidate given as its segments, in order; never anchored.
    bool matchParts(const std::vector<Part>& parts, uint32_t& score) const;

    static bool isWordSeparator(wchar_t c) { return c == L' ' || c == L'/' || c == L'\\'; }
    static bool isSegmentSeparator(wchar_t c) { return c == L'*' || c == L'/' || c == L':' || c == L'?' || c == L'\\'; }
    // The platform's lower case of one unit, from a table built once.
    static wchar_t toLower(wchar_t c);

private:
    void split();
    // Whether word is a subsequence of the segment; unmatched then receives the
    // segment's units left over.
    static bool fits(const Part& word, const wchar_t* segment, size_t length, uint32_t& unmatched);

    uint32_t m_flags = ANCHORED;
    std::vector<Part> m_words; // views into m_filter, last word first
    std::wstring m_filter;     // lower-cased
};

} // namespace corvel
