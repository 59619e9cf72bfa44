// How a line's characters get their colours: a style id per character resolved through
// the editor's style provider, plus overlay layers (selection, search hits) that mark
// characters in per-cell masks and are pre-blended into 32 combinations.
#pragma once
#include "corvel/document/ColorF.h"
#include "corvel/document/TextStyle.h"

#include <cstdint>
#include <vector>

namespace corvel {

// The document's text style, as the renderer reads it.
typedef TextStyle afUnicodeStyle;

struct afUnicodeStyleCell {
    uint16_t styleId = 0;
    uint8_t layerMask = 0; // which layers colour this character (index into the blended styles)
    uint8_t barMask = 0;   // layers drawn as a two-pixel bar; 0 = none
};

struct afUnicodeBlendedStyle {
    ColorF background;
    ColorF foreground;
    uint16_t flags = 0;
};

class afUnicodeStyleProvider {
public:
    virtual ~afUnicodeStyleProvider() = default;
    // Stays valid while the line is processed and drawn.
    virtual const afUnicodeStyle& styleFor(uint16_t styleId) = 0;
};

class afUnicodeStyleLayer {
public:
    virtual ~afUnicodeStyleLayer() = default;
    // Sets mask() in the layer or bar mask of the cells this layer covers on the line;
    // cells[0] is the line's first character, and cells may run past endOffset.
    virtual void restyle(int lineNumber, int firstOffset, int endOffset, std::vector<afUnicodeStyleCell>& cells) = 0;
    virtual void getStyle(afUnicodeBlendedStyle* style) = 0;

    // The bit the context gave this layer: 1 << its position in the context's list.
    uint8_t mask() const { return m_mask; }
    void setMask(uint8_t mask) { m_mask = mask; }

private:
    uint8_t m_mask = 0;
};

} // namespace corvel
