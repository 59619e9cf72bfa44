// One scope rule of a theme: where it applies (a compiled scope selector) and which
// colours and font flags it gives there.
#pragma once
#include "corvel/document/ColorF.h"
#include "corvel/document/ScopeSelector.h"
#include "corvel/document/TextStyle.h"

#include <cstdint>
#include <memory>
#include <string>

namespace corvel {

struct ThemeRule {
    enum FontStyle : uint32_t { BOLD = 1, ITALIC = 2, UNDERLINE = 4, RESET = 8 };

    std::wstring title;
    std::wstring scope;
    std::unique_ptr<ScopeSelector> selector; // null: the rule never applies
    ColorF foreground;
    bool hasForeground = false;
    ColorF background;
    bool hasBackground = false;
    uint32_t fontStyle = RESET;

    // Lays the rule over style; base is the enclosing scope's style or null.
    void applyTo(TextStyle& style, const TextStyle* base) const;
};

} // namespace corvel
