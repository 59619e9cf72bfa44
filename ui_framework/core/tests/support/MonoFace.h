// The monospaced face the text tests lay out and draw with: at 15 points on a 96 dpi
// screen every character cell is 12 x 20 pixels (ascent 16) and mapped characters are
// boxes that cover the cell's centre.
#pragma once
#include "MadeFont.h"
#include "corvel/ui/afUnicodeFontManager.h"

namespace uitest {

constexpr uint16_t MONO_POINTS = 15;
constexpr int MONO_CELL = 12;
constexpr int MONO_HEIGHT = 20;
constexpr int MONO_ASCENT = 16;

// A manager that knows the face "CorvelMono" (Latin, Greek, Cyrillic, Hebrew, a few
// symbols); made on first use and kept for the program's life.
inline corvel::afUnicodeFontManager& monoFontManager() {
    static InstalledFont* face = [] {
        MadeFontSpec spec;
        spec.family = L"CorvelMono";
        spec.unicodeBmp = {{0x20, 0x7E}, {0xA0, 0xFF}, {0x391, 0x3C9}, {0x410, 0x44F}, {0x5D0, 0x5EA}, {0x2192, 0x2192}};
        return new InstalledFont(spec);
    }();
    (void)face; // added before the manager enumerates; tests check hasFont(L"CorvelMono")
    static corvel::afUnicodeFontManager* manager = new corvel::afUnicodeFontManager();
    return *manager;
}

} // namespace uitest
