// The colours and flags painted for one style number: filled from the document theme,
// read by the text renderer for every run.
#pragma once
#include <cstdint>

namespace corvel {

struct TextStyle {
    uint32_t background = 0; // packed colour: red in the low byte, alpha in the high byte
    uint32_t foreground = 0; // packed colour; its alpha is its opacity over the background
    uint32_t reserved = 0;
    // Low 16 bits: style flags; the low four pick the font variant (bit 0 bold, bit 1
    // italic, bit 2 underline). A fresh record carries 8.
    uint32_t flags = 8;
};

} // namespace corvel
