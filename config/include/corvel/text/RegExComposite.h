// Many partial patterns joined into one alternation, so that one anchored match both
// matches and tells which partial matched: the first matched group of a composite match
// is the group number push() gave that partial, and payloadForGroup() maps it back to
// the caller's object. Back-references inside a partial are renumbered to stay its own.
#pragma once
#include "corvel/text/RegEx.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace corvel {

class RegExComposite {
public:
    RegExComposite() = default;
    RegExComposite(const RegExComposite&) = delete;
    RegExComposite& operator=(const RegExComposite&) = delete;

    // optionBits: zem::REGEX_IGNORE_CASE, _EXTENDED, _MULTILINE, applied to this partial
    // only. Returns the group number of the partial, or 0 (logged) when it does not compile;
    // the payload is not owned.
    int push(uint32_t optionBits, const std::wstring& pattern, void* payload);
    // The same for a partial the caller has compiled already, with its capture count.
    int pushCompiled(uint32_t optionBits, const std::wstring& pattern, int captureCount, void* payload);

    // Compiles the alternation when a push made it stale; null when it does not compile.
    // outText, when given, receives the composite's text.
    RegExPtr build(std::wstring* outText = nullptr);

    // Anchored match at `at` over [text, text + length). results, when given, is reused;
    // when null a new object is returned, owned by the caller. Without a compiled
    // composite the results are only cleared.
    MatchResultsRegEx* match(MatchResultsRegEx* results, const wchar_t* text, int length, int at) const;

    void* payloadForGroup(int group) const;

    const std::vector<std::wstring>& partials() const { return m_partials; }
    int nextGroupNumber() const { return m_nextGroup; }

private:
    std::vector<std::wstring> m_partials; // in push order, already wrapped and renumbered
    size_t m_totalLength = 0;             // sum of (partial length + 2)
    int m_nextGroup = 1;                  // group number the next partial's wrapper gets
    RegExPtr m_composite;                 // null until built, and after every push
    std::map<int, void*> m_payloads;      // group number -> caller's payload
};

} // namespace corvel
