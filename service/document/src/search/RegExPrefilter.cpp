#include "RegExPrefilter.h"

#include <cwchar>

namespace corvel {

namespace {

bool isMeta(wchar_t c) {
    return std::wcschr(L".^$|()[]{}*+?\\", c) != nullptr && c != 0;
}

bool isLetterOrDigit(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
}

// One quantifier after an atom: how many times the atom must at least occur (0 or
// more) and whether it may occur exactly once only.
struct Quantity {
    int32_t minimum = 1;
    bool exactlyOnce = true;
};

class Reader {
public:
    Reader(const std::wstring& text, std::vector<wchar_t>& units) : m_text(text), m_units(units) {}

    // Top-level literal runs; false when the pattern is outside the reading.
    bool read(std::wstring& longest) {
        std::wstring run;
        int depth = 0;
        while (m_at < m_text.size()) {
            wchar_t c = m_text[m_at];
            if (c == L'(') {
                ++m_at;
                if (m_at + 1 < m_text.size() && m_text[m_at] == L'?') {
                    if (m_text[m_at + 1] != L':')
                        return false; // look-arounds and flags
                    m_at += 2;
                }
                ++depth;
                keep(run, longest);
                continue;
            }
            if (c == L')') {
                if (depth == 0)
                    return false;
                --depth;
                ++m_at;
                Quantity q;
                if (!readQuantity(q))
                    return false;
                keep(run, longest);
                continue;
            }
            wchar_t literal = 0;
            bool isLiteral = false;
            if (c == L'[') {
                if (!readClass())
                    return false;
            } else if (c == L'\\') {
                if (m_at + 1 >= m_text.size() || isLetterOrDigit(m_text[m_at + 1]))
                    return false;
                literal = m_text[m_at + 1];
                isLiteral = true;
                m_units.push_back(literal);
                m_at += 2;
            } else if (isMeta(c)) {
                return false; // ".", anchors, alternation, a quantifier with nothing before it
            } else {
                literal = c;
                isLiteral = true;
                m_units.push_back(c);
                ++m_at;
            }
            Quantity q;
            if (!readQuantity(q))
                return false;
            if (depth > 0 || !isLiteral) {
                keep(run, longest);
                continue;
            }
            if (q.minimum == 0) {
                keep(run, longest);
                continue;
            }
            run += literal;
            if (!q.exactlyOnce)
                keep(run, longest);
        }
        keep(run, longest);
        return depth == 0;
    }

private:
    static void keep(std::wstring& run, std::wstring& longest) {
        if (run.size() > longest.size())
            longest = run;
        run.clear();
    }

    bool readQuantity(Quantity& q) {
        if (m_at >= m_text.size())
            return true;
        wchar_t c = m_text[m_at];
        if (c == L'*' || c == L'?') {
            q.minimum = 0;
            q.exactlyOnce = false;
            ++m_at;
        } else if (c == L'+') {
            q.exactlyOnce = false;
            ++m_at;
        } else if (c == L'{') {
            size_t close = m_text.find(L'}', m_at);
            if (close == std::wstring::npos)
                return false;
            std::wstring body = m_text.substr(m_at + 1, close - m_at - 1);
            if (body.empty() || !(body[0] >= L'0' && body[0] <= L'9'))
                return false;
            for (wchar_t d : body) {
                if (!(d >= L'0' && d <= L'9') && d != L',')
                    return false;
            }
            q.minimum = std::wcstol(body.c_str(), nullptr, 10);
            q.exactlyOnce = body == L"1";
            m_at = close + 1;
        } else {
            return true;
        }
        if (m_at < m_text.size() && (m_text[m_at] == L'?' || m_text[m_at] == L'+'))
            return false; // lazy and possessive forms are left to the engine alone
        return true;
    }

    // A positive class of plain units and ranges.
    bool readClass() {
        ++m_at;
        if (m_at < m_text.size() && (m_text[m_at] == L'^' || m_text[m_at] == L']'))
            return false; // negated, or a bracket the dialects read differently
        while (m_at < m_text.size() && m_text[m_at] != L']') {
            wchar_t lo = 0;
            if (!readClassUnit(lo))
                return false;
            if (m_at + 1 < m_text.size() && m_text[m_at] == L'-' && m_text[m_at + 1] != L']') {
                ++m_at;
                wchar_t hi = 0;
                if (!readClassUnit(hi) || hi < lo)
                    return false;
                for (uint32_t u = lo; u <= hi; ++u)
                    m_units.push_back(static_cast<wchar_t>(u));
            } else {
                m_units.push_back(lo);
            }
        }
        if (m_at >= m_text.size())
            return false;
        ++m_at;
        return true;
    }

    bool readClassUnit(wchar_t& unit) {
        wchar_t c = m_text[m_at];
        if (c == L'[')
            return false; // named classes
        if (c == L'\\') {
            if (m_at + 1 >= m_text.size() || isLetterOrDigit(m_text[m_at + 1]))
                return false;
            unit = m_text[m_at + 1];
            m_at += 2;
            return true;
        }
        unit = c;
        ++m_at;
        return true;
    }

    const std::wstring& m_text;
    size_t m_at = 0;
    std::vector<wchar_t>& m_units;
};

} // namespace

std::unique_ptr<RegExPrefilter> RegExPrefilter::analyse(const std::wstring& pattern) {
    std::vector<wchar_t> units;
    std::wstring literal;
    Reader reader(pattern, units);
    if (!reader.read(literal) || literal.empty())
        return nullptr;
    std::unique_ptr<RegExPrefilter> prefilter(new RegExPrefilter);
    prefilter->m_literal = literal;
    for (wchar_t unit : units)
        prefilter->allow(unit);
    return prefilter;
}

} // namespace corvel
