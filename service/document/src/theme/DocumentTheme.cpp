#include "corvel/document/DocumentTheme.h"

#include "corvel/document/ScopePath.h"
#include "corvel/document/ScopeSelector.h"
#include "zem/text/StringUtil.h"
#include "zem/value/AbstractDictionaryValue.h"
#include "zem/value/DictionaryValue.h"
#include "zem/value/ListValue.h"

#include <cwchar>

namespace corvel {

namespace {

struct GlobalColor {
    DocumentTheme::Color which;
    const wchar_t* key;
    const wchar_t* defaultText;
};

// In the order the reader takes the keys.
const GlobalColor GLOBALS[] = {
    {DocumentTheme::FOREGROUND, L"foreground", L"#333333"},
    {DocumentTheme::BACKGROUND, L"background", L"#ffffff"},
    {DocumentTheme::INVISIBLES, L"invisibles", L"#CCCCCC80"},
    {DocumentTheme::HOTSPOT, L"hotspot", L"#5EB21B30"},
    {DocumentTheme::SELECTION, L"selection", L"#289FDF60"},
    {DocumentTheme::LINE_HIGHLIGHT, L"line_highlight", L"#00000012"},
    {DocumentTheme::AREA_BACKGROUND, L"area_background", L"#888888"},
};

float channel(uint32_t value, int shift) {
    return ((value >> shift) & 0xFF) / 255.0f;
}

// Empty when the key is missing or not a string.
std::wstring stringAt(const zem::AbstractDictionaryValue* dictionary, const wchar_t* key) {
    std::wstring text;
    if (!dictionary)
        return text;
    const zem::Value* value = dictionary->findTyped(key, zem::Value::KIND_STRING);
    if (value)
        value->getString(&text);
    return text;
}

} // namespace

bool parseThemeColor(const std::wstring& text, ColorF& colour) {
    size_t length = text.size();
    if (length != 4 && length != 7 && length != 9)
        return false;
    uint32_t value = 0;
    size_t digits = 0;
    for (size_t i = 1; i < length && zem::hexDigitValue(text[i]) >= 0; ++i, ++digits)
        value = value << 4 | static_cast<uint32_t>(zem::hexDigitValue(text[i]));
    if (digits == 0)
        return false;
    if (length == 4) {
        uint32_t r = (value >> 8) & 0xF, g = (value >> 4) & 0xF, b = value & 0xF;
        colour = ColorF(r * 17 / 255.0f, g * 17 / 255.0f, b * 17 / 255.0f, 1.0f);
    } else if (length == 7) {
        colour = ColorF(channel(value, 16), channel(value, 8), channel(value, 0), 1.0f);
    } else {
        colour = ColorF(channel(value, 24), channel(value, 16), channel(value, 8), channel(value, 0));
    }
    return true;
}

uint32_t parseFontStyle(const wchar_t* text) {
    if (!text)
        return 0;
    if (!*text)
        return ThemeRule::RESET;
    uint32_t flags = 0;
    if (std::wcsstr(text, L"reset"))
        flags |= ThemeRule::RESET;
    if (std::wcsstr(text, L"bold"))
        flags |= ThemeRule::BOLD;
    if (std::wcsstr(text, L"italic"))
        flags |= ThemeRule::ITALIC;
    if (std::wcsstr(text, L"underline"))
        flags |= ThemeRule::UNDERLINE;
    return flags;
}

DocumentTheme::DocumentTheme() {
    reset();
}

DocumentTheme::~DocumentTheme() = default;

const wchar_t* DocumentTheme::colorKey(Color which) {
    for (const GlobalColor& global : GLOBALS) {
        if (global.which == which)
            return global.key;
    }
    return L"";
}

void DocumentTheme::reset() {
    m_rules.clear();
    for (const GlobalColor& global : GLOBALS)
        parseThemeColor(global.defaultText, m_colors[global.which]);
}

bool DocumentTheme::read(const zem::AbstractDictionaryValue& dictionary) {
    reset();
    const zem::ListValue* settings = dictionary.getList(L"settings");
    for (size_t i = 0; i < settings->size(); ++i) {
        const zem::DictionaryValue* item = settings->getDictionaryAt(static_cast<unsigned>(i));
        bool titled =
            item->findTyped(L"scope", zem::Value::KIND_STRING) && item->findTyped(L"title", zem::Value::KIND_STRING);
        if (i > 0 || titled)
            readRule(*item);
        else
            readGlobals(item->findDictionary(L"settings"));
    }
    return true;
}

void DocumentTheme::readGlobals(const zem::AbstractDictionaryValue* settings) {
    for (const GlobalColor& global : GLOBALS)
        parseThemeColor(stringAt(settings, global.key), m_colors[global.which]);
}

void DocumentTheme::readRule(const zem::AbstractDictionaryValue& item) {
    std::unique_ptr<ThemeRule> rule(new ThemeRule);
    rule->title = stringAt(&item, L"title");
    rule->scope = stringAt(&item, L"scope");
    rule->selector = ScopeSelector::create(rule->scope.c_str(), rule->scope.size());
    // A rule without a settings dictionary reads as one that sets nothing.
    const zem::DictionaryValue* settings = item.findDictionary(L"settings");
    rule->hasForeground = parseThemeColor(stringAt(settings, L"foreground"), rule->foreground);
    rule->hasBackground = parseThemeColor(stringAt(settings, L"background"), rule->background);
    rule->fontStyle = parseFontStyle(stringAt(settings, L"font_style").c_str());
    m_rules.push_back(std::move(rule));
}

void DocumentTheme::computeStyle(const ScopePath& path, TextStyle& style, const TextStyle* base) const {
    if (base) {
        style.background = base->background;
        style.foreground = base->foreground;
        style.flags = base->flags;
    } else {
        style.foreground = m_colors[FOREGROUND].packed();
        style.background = m_colors[BACKGROUND].packed();
        style.flags = (style.flags & ~0x7u) | ThemeRule::RESET;
    }
    if (path.empty())
        return;
    // Matching builds the path's index, a cache the path keeps beside its atoms.
    ScopeSelectorMatcher matcher(const_cast<ScopePath&>(path));
    std::vector<const ThemeRule*> best;
    uint64_t bestScore = 0;
    for (const std::unique_ptr<ThemeRule>& rule : m_rules) {
        if (!rule->selector)
            continue;
        ScopeMatch match;
        if (!matcher.match(*rule->selector, match, true))
            continue;
        if (match.score > bestScore) {
            best.clear();
            bestScore = match.score;
        } else if (match.score < bestScore) {
            continue;
        }
        best.push_back(rule.get());
    }
    for (const ThemeRule* rule : best)
        rule->applyTo(style, base);
}

} // namespace corvel
