// How a document indents: measures the leading white space of a line in columns and
// writes an indentation of a given width with tabs or spaces under a rounding policy.
#pragma once
#include <cstddef>
#include <string>

namespace zem {

class Indentation {
public:
    // Rounding modes: how columns that do not fill a whole level are written.
    static constexpr int ROUND_EXACT = 0; // levels, then single spaces for the rest
    static constexpr int ROUND_UP = 1;    // up to whole levels
    static constexpr int ROUND_DOWN = 2;  // down to whole levels
    static constexpr int MIN_WIDTH = 1;
    static constexpr int MAX_WIDTH = 16;

    // Tabs of width 4, exact.
    Indentation();
    // From the settings: spaces when softTabs, width clamped to 1..16; a rounding mode
    // other than the three above throws IllegalStateException "Unexpected state".
    Indentation(bool softTabs, int width, int roundingMode);

    // Width in columns of the leading run of spaces and tabs (a tab moves to the next
    // multiple of the width); consumed, when given, receives the run's length in units.
    int measure(const wchar_t* text, size_t length, size_t* consumed = nullptr) const;
    // Appends the indentation for width columns; returns the units appended.
    size_t appendIndent(std::wstring* out, int width) const;
    // Appends the line (up to its first CR or LF) with its indentation rewritten;
    // returns the index in text where it stopped. A null out throws NullPointerException.
    size_t reindentLine(const wchar_t* text, size_t length, std::wstring* out) const;
    // Appends the whole text reindented, every line break written as LF.
    void reindentText(const wchar_t* text, size_t length, std::wstring* out) const;

    wchar_t getIndentChar() const { return m_softTabs ? L' ' : L'\t'; }
    int getWidth() const { return m_width; }
    bool isSoftTabs() const { return m_softTabs; }
    int getRoundingMode() const { return m_roundingMode; }

    bool operator==(const Indentation& other) const {
        return m_width == other.m_width && m_softTabs == other.m_softTabs && m_roundingMode == other.m_roundingMode;
    }
    bool operator!=(const Indentation& other) const { return !(*this == other); }

private:
    int m_width;        // MIN_WIDTH <= m_width <= MAX_WIDTH
    bool m_softTabs;    // one level is m_width spaces, else one tab
    int m_roundingMode; // ROUND_EXACT, ROUND_UP or ROUND_DOWN
};

} // namespace zem
