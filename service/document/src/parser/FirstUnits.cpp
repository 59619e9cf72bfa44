#include "corvel/document/FirstUnits.h"

#include "PatternRepeat.h"

#include "zem/text/RegEx.h"

namespace corvel {

namespace {

// Reads the pattern syntax the grammars use; whatever it does not know gives up, and the
// set becomes "any unit". first: the units a match of what was read can start with;
// empty: what was read can match empty text.
class FirstReader {
public:
    explicit FirstReader(const std::wstring& text) : m_text(text) {}

    bool read(FirstUnits& first) {
        bool empty = false;
        if (!alternation(first, empty) || m_at != m_text.size() || empty)
            return false;
        return true;
    }

private:
    bool more() const { return m_at < m_text.size(); }
    wchar_t peek() const { return m_text[m_at]; }

    bool alternation(FirstUnits& first, bool& empty) {
        empty = false;
        for (;;) {
            bool branchEmpty = false;
            if (!sequence(first, branchEmpty))
                return false;
            empty = empty || branchEmpty;
            if (!more() || peek() != L'|')
                return true;
            ++m_at;
        }
    }

    bool sequence(FirstUnits& first, bool& empty) {
        // While all before can match empty, each item's first units count.
        empty = true;
        while (more() && peek() != L'|' && peek() != L')') {
            FirstUnits item;
            bool itemEmpty = false;
            if (!atom(item, itemEmpty) || !quantifier(itemEmpty))
                return false;
            if (empty)
                first.addAll(item);
            empty = empty && itemEmpty;
        }
        return true;
    }

    bool quantifier(bool& empty) {
        wchar_t c = 0;
        if (!readRepeat(m_text, m_at, c))
            return false;
        if (!c)
            return true;
        if (c == L'*' || c == L'?')
            empty = true;
        return endRepeat(m_text, m_at);
    }

    bool atom(FirstUnits& first, bool& empty) {
        wchar_t c = m_text[m_at++];
        switch (c) {
        case L'^':
        case L'$':
            empty = true;
            return true;
        case L'.':
            first = FirstUnits::any();
            return true;
        case L'[':
            return characterClass(first);
        case L'(':
            return group(first, empty);
        case L'\\':
            return escape(first, empty, false);
        case L'*':
        case L'+':
        case L'?':
        case L'{':
        case L')':
            return false;
        default:
            first.add(c);
            return true;
        }
    }

    bool group(FirstUnits& first, bool& empty) {
        if (more() && peek() == L'?') {
            ++m_at;
            if (!more())
                return false;
            wchar_t kind = m_text[m_at++];
            if (kind == L'=' || kind == L'!') // look-ahead: consumes nothing
                return skipGroup(empty);
            if (kind == L'<' && more() && (peek() == L'=' || peek() == L'!')) { // look-behind
                ++m_at;
                return skipGroup(empty);
            }
            if (kind == L'<') { // a named group
                size_t close = m_text.find(L'>', m_at);
                if (close == std::wstring::npos)
                    return false;
                m_at = close + 1;
            } else if (kind != L':' && kind != L'>') {
                return false; // options, comments, conditions
            }
        }
        if (!alternation(first, empty) || !more() || peek() != L')')
            return false;
        ++m_at;
        return true;
    }

    // A look-around: read for its syntax only.
    bool skipGroup(bool& empty) {
        FirstUnits ignored;
        bool ignoredEmpty = false;
        if (!alternation(ignored, ignoredEmpty) || !more() || peek() != L')')
            return false;
        ++m_at;
        empty = true;
        return true;
    }

    bool escape(FirstUnits& first, bool& empty, bool inClass) {
        if (!more())
            return false;
        wchar_t c = m_text[m_at++];
        switch (c) {
        case L'b':
        case L'B':
        case L'A':
        case L'z':
        case L'Z':
        case L'G':
            if (inClass)
                return false;
            empty = true;
            return true;
        case L'w':
            first.addRange(L'a', L'z');
            first.addRange(L'A', L'Z');
            first.addRange(L'0', L'9');
            first.add(L'_');
            first.add(0x80); // letters and digits of other scripts
            return true;
        case L'd':
            first.addRange(L'0', L'9');
            first.add(0x80);
            return true;
        case L's':
            first.addRange(L'\t', L'\r');
            first.add(L' ');
            first.add(0x80);
            return true;
        case L't':
            first.add(L'\t');
            return true;
        case L'n':
            first.add(L'\n');
            return true;
        case L'r':
            first.add(L'\r');
            return true;
        case L'f':
            first.add(L'\f');
            return true;
        case L'v':
            first.add(L'\v');
            return true;
        default:
            // An escaped punctuation character stands for itself; letters and digits name
            // classes, references and code points this reading does not follow.
            if ((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c >= 0x80)
                return false;
            first.add(c);
            return true;
        }
    }

    bool characterClass(FirstUnits& first) {
        if (more() && peek() == L'^')
            return false;
        bool start = true;
        while (more()) {
            wchar_t c = m_text[m_at++];
            if (c == L']')
                return !start; // a class that starts with "]" is not read
            start = false;
            if (c == L'[' || (c == L'&' && more() && peek() == L'&'))
                return false; // nested classes and intersections
            if (c == L'\\') {
                bool ignored = false;
                if (!escape(first, ignored, true))
                    return false;
                continue;
            }
            if (more() && peek() == L'-' && m_at + 1 < m_text.size() && m_text[m_at + 1] != L']') {
                wchar_t last = m_text[m_at + 1];
                if (last == L'\\' || last == L'[' || last < c)
                    return false;
                m_at += 2;
                first.addRange(c, last);
                continue;
            }
            first.add(c);
        }
        return false;
    }

    const std::wstring& m_text;
    size_t m_at = 0;
};

} // namespace

FirstUnits FirstUnits::any() {
    FirstUnits out;
    out.m_ascii[0] = out.m_ascii[1] = ~0ull;
    out.m_other = true;
    return out;
}

FirstUnits FirstUnits::of(const std::wstring& pattern, uint32_t options) {
    // Under ignore-case or extended syntax a unit stands for more than itself.
    if (options & (zem::REGEX_IGNORE_CASE | zem::REGEX_EXTENDED))
        return any();
    FirstUnits out;
    FirstReader reader(pattern);
    return reader.read(out) ? out : any();
}

FirstUnits FirstUnits::presentIn(const wchar_t* text, int32_t length) {
    FirstUnits out;
    for (int32_t i = 0; i < length; ++i)
        out.add(text[i]);
    return out;
}

int FirstUnits::weight() const {
    return __builtin_popcountll(m_ascii[0]) + __builtin_popcountll(m_ascii[1]) + (m_other ? 1000 : 0);
}

void FirstUnits::add(wchar_t unit) {
    if (unit >= 128)
        m_other = true;
    else
        m_ascii[unit >> 6] |= 1ull << (unit & 63);
}

void FirstUnits::addRange(wchar_t first, wchar_t last) {
    for (wchar_t unit = first; unit <= last && unit < 128; ++unit)
        add(unit);
    if (last >= 128)
        m_other = true;
}

void FirstUnits::addAll(const FirstUnits& other) {
    m_ascii[0] |= other.m_ascii[0];
    m_ascii[1] |= other.m_ascii[1];
    m_other = m_other || other.m_other;
}

} // namespace corvel
