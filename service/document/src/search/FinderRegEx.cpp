#include "corvel/document/FinderRegEx.h"

#include "RegExPrefilter.h"
#include "corvel/document/Document.h"
#include "corvel/document/GappedStringIterator.h"
#include "zem/base/CharClass.h"

#include <boost/xpressive/xpressive_dynamic.hpp>

namespace corvel {

namespace xp = boost::xpressive;
typedef GappedStringIterator<Document> TextIterator;

struct FinderRegEx::Engine {
    xp::basic_regex<TextIterator> regex;
    xp::match_results<TextIterator> match;
    std::unique_ptr<RegExPrefilter> prefilter; // null: the engine scans alone

    // Searches [from, to) of the document; a start inside the text sees the unit before it.
    bool search(const Document& document, int32_t from, int32_t to, xp::regex_constants::match_flag_type flags) {
        if (from > 0)
            flags = flags | contextFlags(document.getChar(from - 1));
        return xp::regex_search(TextIterator(&document, from), TextIterator(&document, to), match, regex, flags);
    }

    // The engine takes a line start at the search start whenever the unit before it may
    // be read, so that flag is given only after a line break; otherwise the start is not
    // a line start, and a word unit before it is no word start (a word end right at the
    // search start after a word unit is then missed).
    xp::regex_constants::match_flag_type contextFlags(wchar_t before) const {
        if (before == L'\n')
            return xp::regex_constants::match_prev_avail;
        xp::regex_constants::match_flag_type flags = xp::regex_constants::match_not_bol;
        if (zem::getCharFlags(before) & zem::CHAR_WORD)
            flags = flags | xp::regex_constants::match_not_bow;
        return flags;
    }

    // The engine over runs of units a match may use around each occurrence of the
    // literal every match holds: the same first match as a search of the whole range.
    bool prefilteredSearch(const Document& document, int32_t lower, int32_t upper) {
        const std::wstring& literal = prefilter->literal();
        const int32_t length = static_cast<int32_t>(literal.size());
        TextIterator text(&document, 0);
        int32_t at = lower;
        while (at + length <= upper) {
            int32_t found = findLiteral(text, literal, at, upper);
            if (found < 0)
                return false;
            int32_t runStart = found;
            while (runStart > at && prefilter->allows(text[runStart - 1]))
                --runStart;
            int32_t runEnd = found + length;
            while (runEnd < upper && prefilter->allows(text[runEnd]))
                ++runEnd;
            if (search(document, runStart, runEnd, xp::regex_constants::match_default))
                return true;
            at = runEnd;
        }
        return false;
    }

    static int32_t findLiteral(const TextIterator& text, const std::wstring& literal, int32_t from, int32_t upper) {
        const wchar_t first = literal[0];
        const int32_t length = static_cast<int32_t>(literal.size());
        for (int32_t i = from; i + length <= upper; ++i) {
            if (text[i] != first)
                continue;
            int32_t k = 1;
            while (k < length && text[i + k] == literal[k])
                ++k;
            if (k == length)
                return i;
        }
        return -1;
    }
};

FinderRegEx::FinderRegEx(const std::wstring& pattern, bool ignoreCase) : m_engine(new Engine) {
    xp::regex_constants::syntax_option_type flags = xp::regex_constants::ECMAScript;
    if (ignoreCase)
        flags = flags | xp::regex_constants::icase;
    m_engine->regex = xp::basic_regex<TextIterator>::compile(pattern, flags);
    if (!ignoreCase)
        m_engine->prefilter = RegExPrefilter::analyse(pattern);
}

FinderRegEx::~FinderRegEx() = default;

const zem::MatchResults& FinderRegEx::find(const Document& document, int32_t lower, int32_t upper, bool backward) {
    m_results.clear();
    if (lower > upper)
        return m_results;
    bool found = false;
    if (!backward) {
        if (m_prefilterOn && m_engine->prefilter)
            found = m_engine->prefilteredSearch(document, lower, upper);
        else
            found = m_engine->search(document, lower, upper, xp::regex_constants::match_default);
    } else {
        // Down to lower itself, so a match at the range's start is found too.
        for (int32_t i = upper; i >= lower && !found; --i)
            found = m_engine->search(document, i, upper, xp::regex_constants::match_continuous);
    }
    if (!found)
        return m_results;
    const xp::match_results<TextIterator>& match = m_engine->match;
    for (size_t i = 0; i < match.size(); ++i) {
        if (match[i].matched)
            m_results.add(match[i].first.position(), match[i].second.position());
        else
            m_results.add(-1, -1);
    }
    m_lastDistance = backward ? upper - m_results.getBegin(0) : m_results.getBegin(0) - lower;
    return m_results;
}

} // namespace corvel
