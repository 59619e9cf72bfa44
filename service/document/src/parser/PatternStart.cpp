#include "corvel/document/PatternStart.h"

#include "PatternRepeat.h"

#include "zem/text/RegEx.h"

#include <algorithm>

namespace corvel {

namespace {

// Beyond these a literal set says too little to be worth its lookups.
constexpr size_t MAX_LITERALS = 256;
constexpr size_t MAX_LITERAL_LENGTH = 16;

typedef std::vector<std::wstring> Literals;

// What a part of a pattern tells about where its matches start.
struct Part {
    enum Kind {
        UNKNOWN, // nothing known of its text
        EXACT,   // it matches exactly one of `literals` (which may hold the empty text)
        PREFIX,  // every match begins with one of `literals` (none of them empty)
    };
    Kind kind = UNKNOWN;
    Literals literals;
    bool zeroWidth = false; // an assertion: it never consumes text
    bool asserts = false;   // an assertion stands somewhere in it
    bool boundary = false;  // every match starts at a \b
    bool lineStart = false; // every match starts at a ^ or \A
    bool hasRequired = false;
    FirstUnits required; // every match holds one of these units
};

bool holdsEmpty(const Literals& literals) {
    return std::find(literals.begin(), literals.end(), std::wstring()) != literals.end();
}

void sortUnique(Literals& literals) {
    std::sort(literals.begin(), literals.end());
    literals.erase(std::unique(literals.begin(), literals.end()), literals.end());
}

// Each text of `left` followed by each of `right`; false when the result grows too large.
bool concatenate(const Literals& left, const Literals& right, Literals& out) {
    if (left.size() * right.size() > MAX_LITERALS)
        return false;
    out.clear();
    for (const std::wstring& a : left) {
        for (const std::wstring& b : right) {
            std::wstring both = a + b;
            if (both.size() > MAX_LITERAL_LENGTH)
                return false;
            out.push_back(both);
        }
    }
    sortUnique(out);
    return true;
}

bool isAsciiWord(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'_';
}

bool isHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool isLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

bool isLineTerminator(wchar_t c) {
    return c == L'\n' || c == L'\r' || c == L'\v' || c == L'\f' || c == 0x85 || c == 0x2028 || c == 0x2029;
}

// Reads the pattern syntax the grammars use; whatever it does not know gives up, and
// nothing is then narrowed.
class StartReader {
public:
    explicit StartReader(const std::wstring& text) : m_text(text) {}

    bool read(Part& out) {
        if (!alternation(out) || m_at != m_text.size())
            return false;
        return true;
    }

    // Capture groups of the pattern; whether one plain group holds all of it.
    int captures() const { return m_named ? -1 : m_captures; }
    bool wrapped() const { return m_wrapped; }

private:
    bool more() const { return m_at < m_text.size(); }
    wchar_t peek() const { return m_text[m_at]; }

    bool alternation(Part& out) {
        bool first = true;
        for (;;) {
            Part branch;
            if (!sequence(branch))
                return false;
            if (first) {
                out = branch;
            } else {
                out.boundary = out.boundary && branch.boundary;
                out.lineStart = out.lineStart && branch.lineStart;
                out.zeroWidth = out.zeroWidth && branch.zeroWidth;
                out.asserts = out.asserts || branch.asserts;
                out.hasRequired = out.hasRequired && branch.hasRequired;
                out.required.addAll(branch.required);
                unite(out, branch);
            }
            first = false;
            if (!more() || peek() != L'|')
                return true;
            ++m_at;
        }
    }

    static void unite(Part& out, const Part& branch) {
        if (out.kind == Part::UNKNOWN || branch.kind == Part::UNKNOWN) {
            out.kind = Part::UNKNOWN;
            out.literals.clear();
            return;
        }
        out.literals.insert(out.literals.end(), branch.literals.begin(), branch.literals.end());
        sortUnique(out.literals);
        if (branch.kind == Part::PREFIX)
            out.kind = Part::PREFIX;
        // A prefix set that holds the empty text, or one too large, says nothing.
        if ((out.kind == Part::PREFIX && holdsEmpty(out.literals)) || out.literals.size() > MAX_LITERALS) {
            out.kind = Part::UNKNOWN;
            out.literals.clear();
        }
    }

    bool sequence(Part& out) {
        out = Part();
        out.kind = Part::EXACT;
        out.literals.assign(1, std::wstring());
        out.zeroWidth = true;
        bool open = true; // the literals can still grow
        while (more() && peek() != L'|' && peek() != L')') {
            Part item;
            if (!atom(item) || !quantifier(item))
                return false;
            out.asserts = out.asserts || item.asserts;
            if (item.hasRequired && (!out.hasRequired || item.required.weight() < out.required.weight())) {
                out.hasRequired = true;
                out.required = item.required;
            }
            if (item.zeroWidth) {
                // Assertions before anything that consumes stand where the match starts.
                if (out.zeroWidth) {
                    out.boundary = out.boundary || item.boundary;
                    out.lineStart = out.lineStart || item.lineStart;
                }
                continue;
            }
            // The first part that consumes starts where the match starts.
            if (out.zeroWidth) {
                out.boundary = out.boundary || item.boundary;
                out.lineStart = out.lineStart || item.lineStart;
            }
            out.zeroWidth = false;
            if (!open)
                continue;
            Literals joined;
            if (item.kind == Part::UNKNOWN || !concatenate(out.literals, item.literals, joined)) {
                out.kind = Part::PREFIX;
                open = false;
                continue;
            }
            out.literals.swap(joined);
            if (item.kind == Part::PREFIX) {
                out.kind = Part::PREFIX;
                open = false;
            }
        }
        if (out.kind == Part::PREFIX && holdsEmpty(out.literals)) {
            out.kind = Part::UNKNOWN;
            out.literals.clear();
        }
        return true;
    }

    bool quantifier(Part& item) {
        wchar_t c = 0;
        if (!readRepeat(m_text, m_at, c))
            return false;
        if (!c)
            return true;
        const bool optional = c == L'*' || c == L'?';
        // A repeated assertion is not read.
        if (item.zeroWidth)
            return false;
        // What may be left out says nothing about where a match starts.
        if (optional) {
            item.boundary = false;
            item.lineStart = false;
            item.hasRequired = false;
        }
        if (c == L'?' && item.kind == Part::EXACT) {
            item.literals.push_back(std::wstring());
            sortUnique(item.literals);
        } else if (optional) {
            item.kind = Part::UNKNOWN;
            item.literals.clear();
        } else if (item.kind == Part::EXACT) {
            // One or more: each match begins with one of the texts.
            item.kind = holdsEmpty(item.literals) ? Part::UNKNOWN : Part::PREFIX;
            if (item.kind == Part::UNKNOWN)
                item.literals.clear();
        }
        return endRepeat(m_text, m_at);
    }

    static Part exact(wchar_t c) {
        Part part;
        part.kind = Part::EXACT;
        part.literals.assign(1, std::wstring(1, c));
        part.hasRequired = true;
        part.required.add(c);
        return part;
    }

    static Part assertion() {
        Part part;
        part.zeroWidth = true;
        part.asserts = true;
        return part;
    }

    bool atom(Part& out) {
        wchar_t c = m_text[m_at++];
        switch (c) {
        case L'^':
            out = assertion();
            out.lineStart = true;
            return true;
        case L'$':
            out = assertion();
            return true;
        case L'.':
            out = Part();
            return true;
        case L'[':
            return characterClass(out);
        case L'(':
            return group(out);
        case L'\\':
            return escape(out);
        case L'*':
        case L'+':
        case L'?':
        case L'{':
        case L')':
            return false;
        default:
            out = exact(c);
            return true;
        }
    }

    bool group(Part& out) {
        bool lookAround = false;
        bool positive = false;
        size_t open = m_at - 1;
        bool capturing = !more() || peek() != L'?';
        if (capturing)
            ++m_captures;
        if (more() && peek() == L'?') {
            ++m_at;
            if (!more())
                return false;
            wchar_t kind = m_text[m_at++];
            if (kind == L'=' || kind == L'!') {
                lookAround = true;
                positive = kind == L'=';
            } else if (kind == L'<' && more() && (peek() == L'=' || peek() == L'!')) {
                positive = peek() == L'=';
                ++m_at;
                lookAround = true;
            } else if (kind == L'<') { // a named group
                size_t close = m_text.find(L'>', m_at);
                if (close == std::wstring::npos)
                    return false;
                m_at = close + 1;
                m_named = true;
            } else if (kind != L':' && kind != L'>') {
                return false; // options, comments, conditions, absent groups
            }
        }
        Part inner;
        if (!alternation(inner) || !more() || peek() != L')')
            return false;
        ++m_at;
        if (capturing && open == 0 && m_at == m_text.size())
            m_wrapped = true;
        // A look-around consumes nothing, and says nothing about where a match starts; the
        // text a positive one asks for is in the line all the same.
        out = lookAround ? assertion() : inner;
        if (lookAround && positive) {
            out.hasRequired = inner.hasRequired;
            out.required = inner.required;
        }
        return true;
    }

    bool escape(Part& out) {
        if (!more())
            return false;
        wchar_t c = m_text[m_at++];
        out = Part();
        switch (c) {
        case L'b':
            out = assertion();
            out.boundary = true;
            return true;
        case L'A':
            out = assertion();
            out.lineStart = true;
            return true;
        case L'B':
        case L'z':
        case L'Z':
        case L'G':
            out = assertion();
            return true;
        case L'w':
        case L'W':
        case L'd':
        case L'D':
        case L's':
        case L'S':
        case L'h':
        case L'H':
            return true;
        case L't':
            out = exact(L'\t');
            return true;
        case L'n':
            out = exact(L'\n');
            return true;
        case L'r':
            out = exact(L'\r');
            return true;
        case L'f':
            out = exact(L'\f');
            return true;
        case L'v':
            out = exact(L'\v');
            return true;
        default:
            // Letters and digits name what this reading does not follow.
            if ((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c >= 0x80)
                return false;
            out = exact(c);
            return true;
        }
    }

    // A class of a few plain characters is a set of one-unit texts; any other class is
    // read for its syntax only.
    bool characterClass(Part& out) {
        out = Part();
        bool negated = more() && peek() == L'^';
        if (negated)
            ++m_at;
        Literals members;
        bool plain = !negated;
        bool start = true;
        while (more()) {
            wchar_t c = m_text[m_at++];
            if (c == L']') {
                if (start)
                    return false; // a class that starts with "]" is not read
                if (plain && !members.empty() && members.size() <= 8) {
                    sortUnique(members);
                    out.hasRequired = true;
                    for (const std::wstring& member : members)
                        out.required.add(member[0]);
                    out.kind = Part::EXACT;
                    out.literals.swap(members);
                }
                return true;
            }
            start = false;
            if (c == L'[' || (c == L'&' && more() && peek() == L'&'))
                return false; // nested classes and intersections
            if (c == L'\\') {
                if (!more())
                    return false;
                wchar_t e = m_text[m_at++];
                if ((e >= L'a' && e <= L'z') || (e >= L'A' && e <= L'Z') || (e >= L'0' && e <= L'9') || e >= 0x80) {
                    // Only the class escapes the grammars use; anything else is not read.
                    if (std::wstring(L"wWdDsShHtnrfv").find(e) == std::wstring::npos)
                        return false;
                    plain = false;
                    continue;
                }
                members.push_back(std::wstring(1, e));
                continue;
            }
            if (more() && peek() == L'-' && m_at + 1 < m_text.size() && m_text[m_at + 1] != L']') {
                wchar_t last = m_text[m_at + 1];
                if (last == L'\\' || last == L'[' || last < c)
                    return false;
                m_at += 2;
                plain = false;
                continue;
            }
            members.push_back(std::wstring(1, c));
        }
        return false;
    }

    const std::wstring& m_text;
    size_t m_at = 0;
    int m_captures = 0;
    bool m_named = false; // a named group: plain groups may then not capture
    bool m_wrapped = false;
};

// No literal of the sorted set begins another: at most one stands at a place.
bool noneBeginsAnother(const Literals& literals) {
    for (size_t k = 0; k + 1 < literals.size(); ++k) {
        if (literals[k + 1].compare(0, literals[k].size(), literals[k]) == 0)
            return false;
    }
    return true;
}

} // namespace

PatternStart PatternStart::of(const std::wstring& pattern, uint32_t options) {
    PatternStart out;
    out.m_first = FirstUnits::of(pattern, options);
    // Under ignore-case or extended syntax a unit stands for more than itself.
    if (options & (zem::REGEX_IGNORE_CASE | zem::REGEX_EXTENDED))
        return out;
    Part part;
    StartReader reader(pattern);
    if (!reader.read(part))
        return out;
    out.m_hasRequired = part.hasRequired;
    out.m_required = part.required;
    out.m_boundary = part.boundary;
    out.m_lineStart = part.lineStart;
    // A pattern of assertions alone matches empty text: no literal begins it.
    if (part.zeroWidth || part.kind == Part::UNKNOWN || holdsEmpty(part.literals))
        return out;
    out.m_literals = part.literals;
    // Without assertions the match is the literal at the place: the engine adds nothing.
    int captures = reader.captures();
    if (part.kind == Part::EXACT && !part.asserts && noneBeginsAnother(part.literals) &&
        (captures == 0 || (captures == 1 && reader.wrapped())))
        out.m_literalGroups = captures;
    for (const std::wstring& literal : out.m_literals) {
        if (literal.size() == 1)
            out.m_singles.add(literal[0]);
        else
            out.m_leads.push_back(uint32_t(literal[0]) << 16 | literal[1]);
    }
    std::sort(out.m_leads.begin(), out.m_leads.end());
    return out;
}

void ScannedLine::scan(const wchar_t* lineText, int32_t lineLength) {
    text = lineText;
    length = lineLength;
    present = FirstUnits();
    boundaries.clear();
    lineStarts.clear();
    wchar_t before = 0;
    for (int32_t at = 0; at < length; ++at) {
        wchar_t unit = text[at];
        present.add(unit);
        // Outside ASCII the engine's idea of a word character is not followed here.
        if (at == 0 || before >= 0x80 || unit >= 0x80 || isAsciiWord(before) != isAsciiWord(unit))
            boundaries.push_back(at);
        if (at == 0 || isLineTerminator(before))
            lineStarts.push_back(at);
        before = unit;
    }
}

int32_t PatternStart::next(const ScannedLine& line, int32_t from) const {
    int32_t at = line.length;
    if (m_lineStart) {
        at = nextAmong(line.lineStarts, line, from);
    } else if (m_boundary) {
        at = nextAmong(line.boundaries, line, from);
    } else {
        for (at = std::max(from, 0); at < line.length && !canStartAt(line.text, line.length, at); ++at) {
        }
    }
    // The engine takes a surrogate pair as one character: a search never starts inside one.
    if (at > from && at < line.length && isLowSurrogate(line.text[at]) && isHighSurrogate(line.text[at - 1]))
        --at;
    return at;
}

int32_t PatternStart::nextAmong(const std::vector<int32_t>& places, const ScannedLine& line, int32_t from) const {
    auto it = std::lower_bound(places.begin(), places.end(), from);
    for (; it != places.end(); ++it) {
        // A ^ also stands under a \b only where that holds too.
        if (m_lineStart && m_boundary && !std::binary_search(line.boundaries.begin(), line.boundaries.end(), *it))
            continue;
        if (canStartAt(line.text, line.length, *it))
            return *it;
    }
    return line.length;
}

size_t PatternStart::literalLengthAt(const wchar_t* text, int32_t length, int32_t at) const {
    auto it = std::lower_bound(m_literals.begin(), m_literals.end(), text[at],
                               [](const std::wstring& literal, wchar_t unit) { return literal[0] < unit; });
    size_t left = static_cast<size_t>(length - at);
    for (; it != m_literals.end() && (*it)[0] == text[at]; ++it) {
        if (it->size() <= left && std::equal(it->begin(), it->end(), text + at))
            return it->size();
    }
    return 0;
}

bool PatternStart::literalAt(const wchar_t* text, int32_t length, int32_t at) const {
    // The first two units decide: the engine tells the rest.
    if (m_singles.has(text[at]))
        return true;
    if (at + 1 >= length)
        return false;
    uint32_t lead = uint32_t(text[at]) << 16 | text[at + 1];
    return std::binary_search(m_leads.begin(), m_leads.end(), lead);
}

} // namespace corvel
