// Keyboard shortcuts as one small code: the virtual key in bits 0-7, the held modifiers
// in bits 8-13. Shortcuts are stored and shown as text such as "Ctrl+Shift+Z".
#pragma once
#include <cstddef>
#include <string>

namespace corvel {

// Name of each virtual key (0-255), null where a key has none. Names are unique.
extern const wchar_t* const afKeyNames[256];

class afKey {
public:
    // Modifier bits of a code; the modifier state of afSystem is these shifted right by 8.
    enum : int {
        CTRL = 0x100,
        SHIFT = 0x200,
        ALT = 0x400, // left Alt, or Alt without a side
        RIGHT_ALT = 0x800,
        LEFT_WIN = 0x1000,
        RIGHT_WIN = 0x2000,
        MODIFIERS = 0x3F00,
        KEY = 0xFF,
    };

    // Reads key text ("Shift+Ctrl+Home"); 0 when the text is not valid.
    static int parse(const wchar_t* text, size_t length);
    static int parse(const std::wstring& text) { return parse(text.data(), text.size()); }

    // The canonical text of a code: Ctrl, Alt, R-Alt, Shift, L-Win, R-Win, then the key.
    static std::wstring toString(int code);
    // Writes the text into out; false when the code's key has no name (out then holds
    // the modifiers and a trailing "+").
    static bool appendText(int code, std::wstring& out);

    // True for codes whose key is itself a modifier (a shortcut still being held down).
    static bool isModifier(int code);
};

} // namespace corvel
