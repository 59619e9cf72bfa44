// An input event as the window procedure hands it to views: the cursor position at the
// time the event was built, the modifier state with a detail (key or button), the
// character of a character event and the window message it came from.
#pragma once
#include <cstdint>
#include <windows.h>

namespace corvel {

class afEvent {
public:
    // A key or mouse event; detail is the virtual key, or the button (1 left, 2 right,
    // 4 middle; wheel events use 4), or 0.
    afEvent(const MSG& message, unsigned detail);
    static afEvent forChar(const MSG& message, wchar_t character);

    // Modifier state as afSystem::getModifierState gives it.
    int getModifiers() const { return (code >> 8) & 0xFF; }
    // The key code (afKey) of a key event: modifier bits and the virtual key.
    int getKeyCode() const { return static_cast<int>(code & 0xFFFF); }
    unsigned getDetail() const { return code & 0xFF; }
    unsigned getClickCount() const { return (code >> 16) & 7; }
    // At most 7 clicks are counted.
    void setClickCount(unsigned count) { code = (code & 0xFFFF) | ((count > 7 ? 7 : count) << 16); }

    // Screen coordinates of the cursor, from GetCursorPos, not from the message.
    int32_t x = 0;
    int32_t y = 0;
    // Bits 0-15: modifier state << 8 | detail; bits 16-18: click count of a button event.
    uint32_t code = 0;
    wchar_t character = 0;
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
};

} // namespace corvel
