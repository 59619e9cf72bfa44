// The colours of one theme and its scope rules, read from a theme entry's dictionary; it
// answers the styler's one question: which colours and font flags a scope path gets.
#pragma once
#include "corvel/document/ColorF.h"
#include "corvel/document/TextStyle.h"
#include "corvel/document/ThemeRule.h"

#include <memory>
#include <string>
#include <vector>

namespace zem {
class AbstractDictionaryValue;
}

namespace corvel {

class ScopePath;

class DocumentTheme {
public:
    // The global colours, in the order the file's first item lists their keys.
    enum Color { FOREGROUND, BACKGROUND, INVISIBLES, LINE_HIGHLIGHT, SELECTION, HOTSPOT, AREA_BACKGROUND, COLOR_COUNT };

    // No rules and the default colours.
    DocumentTheme();
    virtual ~DocumentTheme();
    DocumentTheme(const DocumentTheme&) = delete;
    DocumentTheme& operator=(const DocumentTheme&) = delete;

    // Starts afresh (no rules, default colours), then reads "settings". A missing or
    // non-list "settings", an item that is not a dictionary or a bad scope selector
    // throws; what was read before stays.
    bool read(const zem::AbstractDictionaryValue& dictionary);

    // Fills style for a scope path over base (the enclosing scope's style, or null at
    // the outermost scope). Main thread.
    void computeStyle(const ScopePath& path, TextStyle& style, const TextStyle* base) const;

    const std::vector<std::unique_ptr<ThemeRule>>& getRules() const { return m_rules; }
    const ColorF& getColor(Color which) const { return m_colors[which]; }

    static const wchar_t* colorKey(Color which);

private:
    void reset();
    void readGlobals(const zem::AbstractDictionaryValue* settings);
    void readRule(const zem::AbstractDictionaryValue& item);

    std::vector<std::unique_ptr<ThemeRule>> m_rules; // in file order
    ColorF m_colors[COLOR_COUNT];
};

// True and colour set when text is "#RGB", "#RRGGBB" or "#RRGGBBAA" (any first
// character); otherwise false and colour untouched.
bool parseThemeColor(const std::wstring& text, ColorF& colour);
// "reset", "bold", "italic", "underline" found anywhere set 8, 1, 2, 4; empty gives 8.
uint32_t parseFontStyle(const wchar_t* text);

} // namespace corvel
