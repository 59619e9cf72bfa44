// One run of a laid-out line: characters of one script direction, one font and one
// kind, with its slice of the line's glyph arrays.
#pragma once
#include <windows.h>
#include <usp10.h>

#include <cstdint>

namespace corvel {

class afUnicodeFont;

struct afUnicodeItem {
    enum Kind : uint8_t { TEXT = 0, TAB = 1, LINE_BREAK = 2, CONTROL = 3 };
    enum Flags : uint8_t { LOGICAL_WIDTHS = 1 };

    SCRIPT_ANALYSIS analysis{}; // with its SCRIPT_STATE; the bidi level is s.uBidiLevel
    uint8_t kind = TEXT;
    int firstChar = 0;
    int charCount = 0;
    int firstGlyph = 0; // the line's cluster values of this item count from here
    int glyphCount = 0;
    int width = 0;
    uint16_t itemizerScript = 0; // 0 when the itemizer item was merged
    afUnicodeFont* font = nullptr;
    uint8_t flags = 0;

    int endChar() const { return firstChar + charCount; }
    bool rightToLeft() const { return analysis.fRTL != 0; }
};

} // namespace corvel
