#include "zem/text/RegEx.h"

#include "zem/base/Assert.h"
#include "zem/base/Exception.h"

#include <oniguruma.h>

#include <cwchar>

namespace zem {
namespace {

OnigEncoding encoding() {
    return ONIG_ENCODING_UTF16_LE;
}

// The engine sets up its encoding tables on first use; doing it once here keeps two
// threads compiling their first patterns from racing on it.
void ensureEngine() {
    static const bool ready = [] {
        OnigEncoding encodings[] = {encoding()};
        return onig_initialize(encodings, 1) == ONIG_NORMAL;
    }();
    (void)ready;
}

const OnigUChar* bytes(const wchar_t* p) {
    return reinterpret_cast<const OnigUChar*>(p);
}

int unitsBetween(const OnigUChar* from, const OnigUChar* to) {
    return static_cast<int>((to - from) / 2);
}

bool isHexDigit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

// Region entries hold byte offsets; an unmatched entry holds -1, which must not halve to 0.
int toUnits(int byteOffset) {
    return byteOffset < 0 ? -1 : byteOffset / 2;
}

const wchar_t EMPTY_TEXT[1] = {0};

} // namespace

// ---- MatchResultsRegEx ----

MatchResultsRegEx::MatchResultsRegEx() : m_region(onig_region_new()) {
    if (!m_region)
        throw OutOfMemoryException(L"Out of memory.");
}

MatchResultsRegEx::~MatchResultsRegEx() {
    onig_region_free(m_region, 1);
}

void MatchResultsRegEx::invalidateCaches() {
    m_matchedCountValid = false;
    m_firstMatchedValid = false;
}

void MatchResultsRegEx::clear() {
    onig_region_clear(m_region);
    m_region->num_regs = 0;
    invalidateCaches();
}

int MatchResultsRegEx::getCount() const {
    return m_region->num_regs;
}

int MatchResultsRegEx::getBegin(int i) const {
    if (i < 0 || i >= m_region->num_regs)
        return -1;
    return toUnits(m_region->beg[i]);
}

int MatchResultsRegEx::getEnd(int i) const {
    if (i < 0 || i >= m_region->num_regs)
        return -1;
    return toUnits(m_region->end[i]);
}

int MatchResultsRegEx::countMatchedGroups() const {
    if (!m_matchedCountValid) {
        m_matchedCount = computeMatchedGroupCount();
        m_matchedCountValid = true;
    }
    return m_matchedCount;
}

int MatchResultsRegEx::getFirstMatchedGroup() const {
    if (!m_firstMatchedValid) {
        m_firstMatched = computeFirstMatchedGroup();
        m_firstMatchedValid = true;
    }
    return m_firstMatched;
}

void MatchResultsRegEx::set(int i, int begin, int end) {
    if (i < 0)
        return;
    int oldCount = m_region->num_regs;
    if (i >= m_region->allocated) {
        // Resizing also sets the count to i + 1; the new entries hold garbage until filled below.
        if (onig_region_resize(m_region, i + 1) != ONIG_NORMAL)
            throw OutOfMemoryException(L"Out of memory.");
    } else if (i >= oldCount) {
        m_region->num_regs = i + 1;
    }
    for (int k = oldCount; k < i; ++k) {
        m_region->beg[k] = -1;
        m_region->end[k] = -1;
    }
    m_region->beg[i] = begin < 0 ? -1 : begin * 2;
    m_region->end[i] = end < 0 ? -1 : end * 2;
    invalidateCaches();
}

void MatchResultsRegEx::add(int begin, int end) {
    set(getCount(), begin, end);
}

std::unique_ptr<MatchResultsRegEx> createMatchResultsRegEx() {
    return std::unique_ptr<MatchResultsRegEx>(new MatchResultsRegEx);
}

// ---- RegEx ----

RegEx::RegEx(const wchar_t* pattern, size_t length, uint32_t options, uint8_t globalFlag)
    : m_pattern(pattern ? std::wstring(pattern, length) : std::wstring()), m_options(options),
      m_globalFlag(globalFlag) {}

RegEx::~RegEx() {
    if (m_regex)
        onig_free(m_regex);
}

RegExPtr RegEx::create(const wchar_t* pattern, uint32_t options, uint8_t globalFlag) {
    return create(pattern, pattern ? wcslen(pattern) : 0, options, globalFlag);
}

RegExPtr RegEx::create(const std::wstring& pattern, uint32_t options, uint8_t globalFlag) {
    return create(pattern.data(), pattern.size(), options, globalFlag);
}

RegExPtr RegEx::create(const wchar_t* pattern, size_t length, uint32_t options, uint8_t globalFlag) {
    RegExPtr regex(new RegEx(pattern, length, options, globalFlag));
    if (!regex->m_pattern.empty())
        regex->compile();
    return regex;
}

void RegEx::compile() {
    ensureEngine();
    const OnigUChar* start = bytes(m_pattern.data());
    const OnigUChar* end = bytes(m_pattern.data() + m_pattern.size());
    OnigErrorInfo info{};
    info.enc = encoding();
    OnigRegex compiled = nullptr;
    int code = onig_new(&compiled, start, end, m_options, encoding(), ONIG_SYNTAX_RUBY, &info);
    if (code == ONIG_NORMAL) {
        m_regex = compiled;
        return;
    }
    if (compiled)
        onig_free(compiled);
    m_lastError = code;
    if (info.par && info.par >= start && info.par <= end) {
        m_errorBegin = unitsBetween(start, info.par);
        m_errorEnd = info.par_end && info.par_end >= info.par && info.par_end <= end ? unitsBetween(start, info.par_end)
                                                                                     : m_errorBegin;
    }
}

int RegEx::captureCount() const {
    return m_regex ? onig_number_of_captures(m_regex) : 0;
}

bool RegEx::getError(RegExError& out) const {
    int code = m_lastError.load();
    if (code == 0)
        return false;
    // The message may quote the offending part of the pattern, which the engine reads
    // back through the error information.
    OnigErrorInfo info{};
    info.enc = encoding();
    if (m_errorEnd > m_errorBegin) {
        info.par = const_cast<OnigUChar*>(bytes(m_pattern.data() + m_errorBegin));
        info.par_end = const_cast<OnigUChar*>(bytes(m_pattern.data() + m_errorEnd));
    }
    OnigUChar text[ONIG_MAX_ERROR_MESSAGE_LEN + 1] = {0};
    int length = onig_error_code_to_str(text, code, &info);
    if (length < 0)
        length = 0;
    if (length > ONIG_MAX_ERROR_MESSAGE_LEN)
        length = ONIG_MAX_ERROR_MESSAGE_LEN;
    out.code = code;
    out.message.assign(text, text + length);
    out.begin = m_errorBegin;
    out.end = m_errorEnd;
    return true;
}

void RegEx::finishRun(int code, MatchResultsRegEx* results) const {
    // ONIG_MISMATCH is a plain "no match"; anything below it is the engine failing.
    if (code < ONIG_MISMATCH)
        m_lastError = code;
    if (code < 0)
        results->clear();
}

MatchResultsRegEx* RegEx::prepareResults(MatchResultsRegEx* results) {
    if (!results)
        results = new MatchResultsRegEx;
    results->clear();
    return results;
}

MatchResultsRegEx* RegEx::match(MatchResultsRegEx* results, const RegEx* regex, const wchar_t* textStart,
                                const wchar_t* textEnd, const wchar_t* at) {
    results = prepareResults(results);
    if (!regex || !regex->m_regex)
        return results;
    if (!textStart && !textEnd && !at)
        textStart = textEnd = at = EMPTY_TEXT;
    if (!textStart || !textEnd || !at || textEnd < textStart || at < textStart || at > textEnd)
        return results;
    int code =
        onig_match(regex->m_regex, bytes(textStart), bytes(textEnd), bytes(at), results->m_region, regex->m_options);
    regex->finishRun(code, results);
    return results;
}

MatchResultsRegEx* RegEx::search(MatchResultsRegEx* results, const RegEx* regex, const wchar_t* textStart,
                                 const wchar_t* textEnd, const wchar_t* searchStart, const wchar_t* searchRange) {
    results = prepareResults(results);
    if (!regex || !regex->m_regex)
        return results;
    if (!textStart && !textEnd && !searchStart && !searchRange)
        textStart = textEnd = searchStart = searchRange = EMPTY_TEXT;
    if (!textStart || !textEnd || !searchStart || !searchRange || textEnd < textStart)
        return results;
    if (searchStart < textStart || searchStart > textEnd || searchRange < textStart || searchRange > textEnd)
        return results;
    int code = onig_search(regex->m_regex, bytes(textStart), bytes(textEnd), bytes(searchStart), bytes(searchRange),
                           results->m_region, regex->m_options);
    regex->finishRun(code, results);
    return results;
}

bool RegEx::rewriteHexEscapes(const std::wstring& pattern, std::wstring& out) {
    out.clear();
    size_t length = pattern.size();
    if (length < 4) {
        out = pattern;
        return false;
    }
    out.reserve(length + length / 2);
    bool rewritten = false;
    size_t i = 0;
    while (i < length) {
        wchar_t c = pattern[i];
        if (c != L'\\' || i + 1 >= length) {
            out += c;
            ++i;
            continue;
        }
        if (i + 3 < length && pattern[i + 1] == L'x' && isHexDigit(pattern[i + 2]) && isHexDigit(pattern[i + 3])) {
            out.append(pattern, i, 4);
            out += L"\\x00";
            rewritten = true;
            i += 4;
            continue;
        }
        // Any other escape is copied whole, so the second backslash of "\\" never starts one.
        out.append(pattern, i, 2);
        i += 2;
    }
    return rewritten;
}

} // namespace zem
