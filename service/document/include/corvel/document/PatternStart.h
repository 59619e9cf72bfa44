// Where on a line a match of a pattern can start, read from the pattern's text: at a unit
// of its first units and, where the syntax says so, only at a word boundary, only at a
// line's start, or only where one of a few literal texts stands. The line parser starts the
// engine's search at the first of those places, and does not call it on a line without one.
// Whatever the reading does not know widens the places; it never narrows them.
#pragma once
#include "corvel/document/FirstUnits.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvel {

// One line as PatternStart reads it, worked out once per line for every pattern.
struct ScannedLine {
    const wchar_t* text = nullptr;
    int32_t length = 0;
    FirstUnits present;              // the units the line holds
    std::vector<int32_t> boundaries; // where a \b can hold, in order
    std::vector<int32_t> lineStarts; // where a ^ can hold, in order

    void scan(const wchar_t* lineText, int32_t lineLength);
};

class PatternStart {
public:
    // Every place of every line.
    PatternStart() : m_first(FirstUnits::any()) {}
    // From a pattern's text and its engine option bits.
    static PatternStart of(const std::wstring& pattern, uint32_t options);

    const FirstUnits& first() const { return m_first; }
    // Whether a line holding these units can hold a match: a match starts with a unit of
    // the first units and holds a unit of the required ones.
    bool canMatchIn(const FirstUnits& present) const {
        return m_first.meets(present) && (!m_hasRequired || m_required.meets(present));
    }
    bool startsAtBoundary() const { return m_boundary; }
    bool startsAtLineStart() const { return m_lineStart; }
    // Sorted; every match begins with one of them (empty: not known).
    const std::vector<std::wstring>& literals() const { return m_literals; }

    // -1, or the capture groups of a pattern that matches exactly one of its literals,
    // none of which begins another, with no assertion: 0, or 1 when one group holds it all.
    // Its match at a place is the literal standing there, found without the engine.
    int literalGroups() const { return m_literalGroups; }
    // The length of the literal at the place, 0 when none stands there.
    size_t literalLengthAt(const wchar_t* text, int32_t length, int32_t at) const;

    // The first place at or after `from` where a match can start; the line's length when none.
    int32_t next(const ScannedLine& line, int32_t from) const;

private:
    // Whether a match can start at a place that passed the boundary and line-start tests.
    bool canStartAt(const wchar_t* text, int32_t length, int32_t at) const {
        return m_first.has(text[at]) && (m_literals.empty() || literalAt(text, length, at));
    }
    bool literalAt(const wchar_t* text, int32_t length, int32_t at) const;
    int32_t nextAmong(const std::vector<int32_t>& places, const ScannedLine& line, int32_t from) const;

    FirstUnits m_first;
    bool m_boundary = false;  // a \b stands at the start of every match
    bool m_lineStart = false; // a ^ or \A stands at the start of every match
    std::vector<std::wstring> m_literals;
    // The first two units of each literal of two or more, as first << 16 | second, sorted;
    // and the literals of one unit.
    std::vector<uint32_t> m_leads;
    FirstUnits m_singles;
    FirstUnits m_required; // every match holds one of these
    int m_literalGroups = -1;
    bool m_hasRequired = false;
};

} // namespace corvel
