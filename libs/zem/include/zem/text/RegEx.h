// A compiled Oniguruma pattern over UTF-16LE text (Ruby syntax), shared by reference,
// and the match results that read its capture groups. Compile errors are not thrown:
// the handle keeps the engine's code and getError() reports it.
#pragma once
#include "zem/text/MatchResults.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

struct re_registers;
struct re_pattern_buffer;

namespace zem {

class RegEx;
typedef std::shared_ptr<RegEx> RegExPtr;

// Oniguruma option bits as the system passes them.
constexpr uint32_t REGEX_IGNORE_CASE = 1;
constexpr uint32_t REGEX_EXTENDED = 2;
constexpr uint32_t REGEX_MULTILINE = 4; // dot matches a line feed
constexpr uint32_t REGEX_CAPTURE_GROUP = 256;

struct RegExError {
    int code = 0;         // the engine's error code
    std::wstring message; // the engine's text for it
    int begin = 0;        // offending part of the pattern, in units; 0 when the engine named none
    int end = 0;
};

// Capture groups of one match, held in an Oniguruma region (byte offsets into the subject).
class MatchResultsRegEx : public MatchResults {
public:
    MatchResultsRegEx();
    ~MatchResultsRegEx() override;
    MatchResultsRegEx(const MatchResultsRegEx&) = delete;
    MatchResultsRegEx& operator=(const MatchResultsRegEx&) = delete;

    void clear() override;
    int getCount() const override;
    int getBegin(int i) const override;
    int getEnd(int i) const override;
    int countMatchedGroups() const override;
    int getFirstMatchedGroup() const override;
    // Writes group i (negative i is ignored); the count grows to cover it and groups
    // between the old count and i read as unmatched.
    void set(int i, int begin, int end) override;
    // Writes the group after the last one.
    void add(int begin, int end) override;

private:
    friend class RegEx;
    void invalidateCaches();

    re_registers* m_region; // owned
    mutable int m_matchedCount = 0;
    mutable bool m_matchedCountValid = false;
    mutable int m_firstMatched = 0;
    mutable bool m_firstMatchedValid = false;
};

std::unique_ptr<MatchResultsRegEx> createMatchResultsRegEx();

class RegEx {
public:
    ~RegEx();
    RegEx(const RegEx&) = delete;
    RegEx& operator=(const RegEx&) = delete;

    // Always returns a handle. A null or empty pattern is not compiled (no regex, no
    // error); a pattern the engine rejects leaves no regex and its error code.
    static RegExPtr create(const wchar_t* pattern, uint32_t options = REGEX_CAPTURE_GROUP, uint8_t globalFlag = 0);
    static RegExPtr create(const std::wstring& pattern, uint32_t options = REGEX_CAPTURE_GROUP, uint8_t globalFlag = 0);
    static RegExPtr create(const wchar_t* pattern, size_t length, uint32_t options, uint8_t globalFlag);

    // False when there is no error; otherwise fills out and returns true.
    bool getError(RegExError& out) const;

    // Anchored match at `at` within [textStart, textEnd). results, when given, is cleared
    // and reused; when null a new object is returned, which the caller owns. A handle
    // without a regex, or an `at` outside the subject, leaves the results empty.
    static MatchResultsRegEx* match(MatchResultsRegEx* results, const RegEx* regex, const wchar_t* textStart,
                                    const wchar_t* textEnd, const wchar_t* at);
    // Search from searchStart towards searchRange (backwards when searchRange lies before
    // it), both within [textStart, textEnd]; results as for match().
    static MatchResultsRegEx* search(MatchResultsRegEx* results, const RegEx* regex, const wchar_t* textStart,
                                     const wchar_t* textEnd, const wchar_t* searchStart, const wchar_t* searchRange);

    // The engine reads "\xHH" as one byte, which in UTF-16LE is half a character: each
    // such escape gets "\x00" appended. An escaped backslash is passed over, so "\\x41"
    // stays a backslash followed by "x41". True when something was rewritten.
    static bool rewriteHexEscapes(const std::wstring& pattern, std::wstring& out);

    bool isCompiled() const { return m_regex != nullptr; }
    // Capture groups the compiled pattern defines (group 0 not counted); 0 when not compiled.
    int captureCount() const;
    const std::wstring& pattern() const { return m_pattern; }
    uint32_t options() const { return m_options; }
    uint8_t globalFlag() const { return m_globalFlag; }
    int lastErrorCode() const { return m_lastError.load(); }

private:
    RegEx(const wchar_t* pattern, size_t length, uint32_t options, uint8_t globalFlag);
    void compile();
    static MatchResultsRegEx* prepareResults(MatchResultsRegEx* results);
    // Records an engine failure and leaves failed results empty.
    void finishRun(int code, MatchResultsRegEx* results) const;

    std::wstring m_pattern;
    re_pattern_buffer* m_regex = nullptr; // null when not compiled
    uint32_t m_options;
    uint8_t m_globalFlag;
    // Set by a failed compile, and by a match the engine failed (any thread).
    mutable std::atomic<int> m_lastError{0};
    int m_errorBegin = 0; // offending part of the pattern, in units
    int m_errorEnd = 0;
};

} // namespace zem
