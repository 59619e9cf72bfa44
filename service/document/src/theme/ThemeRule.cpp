#include "corvel/document/ThemeRule.h"

namespace corvel {

void ThemeRule::applyTo(TextStyle& style, const TextStyle* base) const {
    if (hasForeground)
        style.foreground = foreground.packed();
    else if (base && style.foreground == 0)
        style.foreground = base->foreground;
    if (hasBackground) {
        if (base)
            style.background = ColorF::fromPacked(base->background).blend(background, background.alpha).packed();
        else
            style.background = background.packed();
    }
    if (style.flags & RESET)
        style.flags = (style.flags & ~0xFu) | (fontStyle & 0xFu);
    else
        style.flags |= fontStyle & 0xFu;
    style.flags &= ~static_cast<uint32_t>(RESET);
}

} // namespace corvel
