// Walks a UTF-16 buffer from left to right, matching regular expressions anchored at its
// position and moving past each match: the base library's small tokenizer.
#pragma once
#include "zem/text/RegEx.h"

#include <memory>
#include <string>

namespace zem {

class StringScanner {
public:
    // The buffer is not owned and must outlive the scanner; null reads as empty. length -1
    // or 0 means up to the terminating zero; any other length must not reach past it.
    explicit StringScanner(const wchar_t* buffer, int length = -1);
    virtual ~StringScanner();
    StringScanner(const StringScanner&) = delete;
    StringScanner& operator=(const StringScanner&) = delete;

    // Makes the simple (true) or the regex (false) results current, cleared; the last
    // scan then counts as failed.
    void useMatchData(bool simple);

    // Moves n units on (never past the end, never before the start); returns the old position.
    int advance(int n);

    // Matches regex anchored at the position; on success moves past the match and returns true.
    // regex must not be null.
    bool scan(const RegEx* regex);
    bool scan(const RegExPtr& regex) { return scan(regex.get()); }

    // Text of group i of the last successful scan; empty when the scan failed or the group
    // did not take part.
    std::wstring getGroup(int i) const;

    // The unit at the position, moving past it; 0 at the end, where nothing moves.
    wchar_t getChar();
    // The unit at the position without moving; 0 at the end.
    wchar_t peekChar() const { return m_position < m_length ? m_text[m_position] : 0; }

    bool isEnd() const { return m_position >= m_length; }
    bool isMatched() const { return m_matched; }
    int position() const { return m_position; }
    int previousPosition() const { return m_previousPosition; }
    int length() const { return m_length; }
    const wchar_t* text() const { return m_text; }
    // The current results: those of the last scan, or what useMatchData made current.
    const MatchResults* matchData() const { return m_matchData; }
    bool isSimpleMatchData() const { return m_matchData != nullptr && m_matchData == m_simpleResults.get(); }

private:
    const wchar_t* m_text; // not owned
    int m_length;
    int m_position = 0;         // 0 <= m_position <= m_length
    int m_previousPosition = 0; // where the last move started
    bool m_matched = false;     // the last scan succeeded

    // Both results objects are made on first use and kept; m_matchData is one of them or null.
    MatchResults* m_matchData = nullptr;
    std::unique_ptr<MatchResultsRegEx> m_regexResults;
    std::unique_ptr<MatchResultsSimple> m_simpleResults;
};

} // namespace zem
