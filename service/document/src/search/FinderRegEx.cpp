#include "corvel/document/FinderRegEx.h"

#include "RegExPrefilter.h"
#include "corvel/document/Document.h"
#include "corvel/document/GappedStringIterator.h"
#include "zem/base/CharClass.h"

#include "zem/log/LogManager.h"

#include <boost/xpressive/xpressive_dynamic.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace corvel {

namespace xp = boost::xpressive;

namespace {

typedef GappedStringIterator<Document> DocumentIterator;

// The pattern is the user's text, and the engine recurses while it parses groups and
// once for each step of a repeat while it matches, and backtracks without end over
// nested repeats. One search is bounded by the steps it takes over the text and by the
// stack it uses; past either it gives up, and the finder reports no match.
struct SearchBounds {
    const char* stackStart;
    uint64_t stepsLeft;
};
constexpr ptrdiff_t STACK_BUDGET = 512 * 1024;
constexpr uint64_t BASE_STEPS = 20000000;
constexpr uint64_t STEPS_PER_UNIT = 200;
constexpr int MAX_GROUP_NESTING = 100;

struct TooComplex {};

void takeStep(SearchBounds* bounds) {
    if (!bounds)
        return;
    char probe = 0;
    if (--bounds->stepsLeft == 0 || bounds->stackStart - &probe > STACK_BUDGET)
        throw TooComplex();
}

// The document iterator with every move and comparison counted against the bounds of the
// search that made it (none for one made without).
class TextIterator {
public:
    typedef std::random_access_iterator_tag iterator_category;
    typedef wchar_t value_type;
    typedef std::ptrdiff_t difference_type;
    typedef const wchar_t* pointer;
    typedef const wchar_t& reference;

    TextIterator() = default;
    TextIterator(const Document* document, int32_t position, SearchBounds* bounds)
        : m_it(document, position), m_bounds(bounds) {}

    int32_t position() const { return m_it.position(); }
    // Reads are not counted: every step of a search moves or compares iterators.
    reference operator*() const { return *m_it; }
    reference operator[](difference_type n) const { return m_it[n]; }
    TextIterator& operator+=(difference_type n) {
        takeStep(m_bounds);
        m_it += n;
        return *this;
    }
    TextIterator& operator-=(difference_type n) { return *this += -n; }
    TextIterator& operator++() { return *this += 1; }
    TextIterator& operator--() { return *this -= 1; }
    TextIterator operator++(int) {
        TextIterator old = *this;
        *this += 1;
        return old;
    }
    TextIterator operator--(int) {
        TextIterator old = *this;
        *this -= 1;
        return old;
    }
    TextIterator operator+(difference_type n) const { return TextIterator(*this) += n; }
    TextIterator operator-(difference_type n) const { return TextIterator(*this) -= n; }
    friend TextIterator operator+(difference_type n, const TextIterator& it) { return it + n; }
    difference_type operator-(const TextIterator& other) const { return m_it - other.m_it; }
    // Counted too: a repeat of an empty match compares positions without moving.
    bool operator==(const TextIterator& other) const {
        takeStep(m_bounds);
        return m_it == other.m_it;
    }
    bool operator!=(const TextIterator& other) const { return !(*this == other); }
    bool operator<(const TextIterator& other) const { return m_it < other.m_it; }
    bool operator>(const TextIterator& other) const { return m_it > other.m_it; }
    bool operator<=(const TextIterator& other) const { return m_it <= other.m_it; }
    bool operator>=(const TextIterator& other) const { return m_it >= other.m_it; }

private:
    DocumentIterator m_it;
    SearchBounds* m_bounds = nullptr;
};

// How deep the pattern's groups nest; escapes and character classes hold none.
int groupNesting(const std::wstring& pattern) {
    int depth = 0;
    int deepest = 0;
    bool inClass = false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const wchar_t c = pattern[i];
        if (c == L'\\') {
            ++i;
        } else if (inClass) {
            inClass = c != L']';
        } else if (c == L'[') {
            inClass = true;
        } else if (c == L'(') {
            deepest = std::max(deepest, ++depth);
        } else if (c == L')' && depth > 0) {
            --depth;
        }
    }
    return deepest;
}

// The pattern without its comments "(?#...)", which match nothing. The engine's own reading
// of a comment never ends on a quantifier character inside it ("(?#*)"): they are taken
// out here, and a comment left open is refused as the engine refuses an open group.
std::wstring withoutComments(const std::wstring& pattern) {
    std::wstring out;
    out.reserve(pattern.size());
    bool inClass = false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const wchar_t c = pattern[i];
        if (c == L'\\') {
            out.append(pattern, i, 2);
            ++i;
            continue;
        }
        if (inClass || c != L'(' || pattern.compare(i, 3, L"(?#") != 0) {
            inClass = inClass ? c != L']' : c == L'[';
            out += c;
            continue;
        }
        size_t end = i + 3;
        while (end < pattern.size() && pattern[end] != L')')
            end += pattern[end] == L'\\' ? 2 : 1;
        if (end >= pattern.size())
            throw xp::regex_error(xp::regex_constants::error_paren, "mismatched parenthesis");
        i = end;
    }
    return out;
}

} // namespace

struct FinderRegEx::Engine {
    xp::basic_regex<TextIterator> regex;
    xp::match_results<TextIterator> match;
    std::unique_ptr<RegExPrefilter> prefilter; // null: the engine scans alone

    // Searches [from, to) of the document; a start inside the text sees the unit before it.
    bool search(const Document& document, int32_t from, int32_t to, xp::regex_constants::match_flag_type flags) {
        if (from > 0)
            flags = flags | contextFlags(document.getChar(from - 1));
        return xp::regex_search(TextIterator(&document, from, bounds), TextIterator(&document, to, bounds), match,
                                regex, flags);
    }

    // Runs one search of the finder within the bounds of its length; false, with failure
    // set, when the search passed them or the engine refused to run the pattern.
    template <class Search> bool bounded(int32_t length, const Search& run) {
        char start = 0;
        SearchBounds bounds{&start, BASE_STEPS + STEPS_PER_UNIT * static_cast<uint64_t>(length > 0 ? length : 0)};
        this->bounds = &bounds;
        try {
            const bool found = run();
            this->bounds = nullptr;
            return found;
        } catch (const TooComplex&) {
            this->bounds = nullptr;
            failure = L"The expression is too complex to search this text with.";
            return false;
        } catch (const xp::regex_error& e) {
            // The engine finds some faults of a pattern only when it runs it.
            this->bounds = nullptr;
            failure.clear();
            for (const char* c = e.what(); *c; ++c)
                failure += static_cast<wchar_t>(static_cast<unsigned char>(*c));
            return false;
        } catch (...) {
            this->bounds = nullptr;
            throw;
        }
    }
    SearchBounds* bounds = nullptr; // while a search runs
    std::wstring failure;           // why the last search gave up; empty when it did not

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
        DocumentIterator text(&document, 0);
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

    static int32_t findLiteral(const DocumentIterator& text, const std::wstring& literal, int32_t from, int32_t upper) {
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
    const std::wstring bare = withoutComments(pattern);
    if (groupNesting(bare) > MAX_GROUP_NESTING)
        throw xp::regex_error(xp::regex_constants::error_complexity, "The expression is nested too deeply.");
    m_engine->regex = xp::basic_regex<TextIterator>::compile(bare, flags);
    if (!ignoreCase)
        m_engine->prefilter = RegExPrefilter::analyse(bare);
}

FinderRegEx::~FinderRegEx() = default;

const zem::MatchResults& FinderRegEx::find(const Document& document, int32_t lower, int32_t upper, bool backward) {
    m_results.clear();
    if (lower > upper)
        return m_results;
    Engine& engine = *m_engine;
    engine.failure.clear();
    const bool found = engine.bounded(upper - lower, [&] {
        if (!backward) {
            if (m_prefilterOn && engine.prefilter)
                return engine.prefilteredSearch(document, lower, upper);
            return engine.search(document, lower, upper, xp::regex_constants::match_default);
        }
        // Down to lower itself, so a match at the range's start is found too.
        for (int32_t i = upper; i >= lower; --i) {
            if (engine.search(document, i, upper, xp::regex_constants::match_continuous))
                return true;
        }
        return false;
    });
    if (!engine.failure.empty())
        zem::logMessage(zem::LOG_ERROR, zem::LOG_UNKNOWN_SOURCE, L"FinderRegEx::find(): %s", engine.failure.c_str());
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
